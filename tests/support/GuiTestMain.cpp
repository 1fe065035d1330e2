// main() of the GUI test programs: one application, offscreen.

#include <gtest/gtest.h>

#include "Application.h"
#include "ScriptedDialogs.h"

namespace k57::test {

ScriptedDialogs& ApplicationDialogs() {
    static ScriptedDialogs dialogs;
    return dialogs;
}

}  // namespace k57::test

int main(int argc, char** argv) {
    // Offscreen, unless a test asks for another platform or a faked screen.
    QByteArray platform = qgetenv("K57_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    k57::Application app(argc, argv, k57::test::ApplicationDialogs());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
