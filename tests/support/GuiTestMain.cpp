// main() of the GUI test programs: one application, offscreen.

#include <gtest/gtest.h>

#include "Application.h"
#include "ScriptedDialogs.h"
#include "TestDataDir.h"

namespace k57::test {

ScriptedDialogs& ApplicationDialogs() {
    static ScriptedDialogs dialogs;
    return dialogs;
}

}  // namespace k57::test

int main(int argc, char** argv) {
    if (!k57::test::UseOwnDataDir(argc, argv)) {
        return 1;
    }
    // Offscreen, unless a test asks for another platform or a faked screen.
    QByteArray platform = qgetenv("K57_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    // Russian, as the windows are written, unless a test program asks for
    // English (K57_TEST_LANG=en): never the language of the machine's user.
    const bool english = qgetenv("K57_TEST_LANG") == "en";
    k57::Application app(argc, argv, k57::test::ApplicationDialogs(),
                         english ? k57::Language::English : k57::Language::Russian);
    ::testing::InitGoogleTest(&argc, argv);
    int failed = RUN_ALL_TESTS();
    return failed ? failed : k57::test::DataDirKept() ? 0 : 1;
}
