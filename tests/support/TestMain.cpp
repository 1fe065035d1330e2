// main() of the test programs without windows.

#include <gtest/gtest.h>

#include "TestDataDir.h"

int main(int argc, char** argv) {
    if (!k57::test::UseOwnDataDir(argc, argv)) {
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    int failed = RUN_ALL_TESTS();
    return failed ? failed : k57::test::DataDirKept() ? 0 : 1;
}
