#pragma once

namespace k57::test {

// Gives the test program a data folder of its own, so that no test ever
// reaches the service journal of whoever runs it: a fresh folder (removed
// at the end) under the one named by --k57-data-dir=FOLDER (taken out of
// the arguments) or else by K57_DATA_DIR, and K57_DATA_DIR pointing at it
// for the program and the programs it starts. When neither names a folder
// it says so and returns false: the program must not run. Listing the
// tests needs no folder.
//
// After every test K57_DATA_DIR must still be that folder (a test that
// changes it gives it back); one that is left changed is named, put back,
// and DataDirKept() is false.
bool UseOwnDataDir(int& argc, char** argv);
bool DataDirKept();

}  // namespace k57::test
