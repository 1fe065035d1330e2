#pragma once

#include <QTest>

#include "DeviceSession.h"

namespace k57::test {

// Lets the event loop run until the session's worker has nothing left: the
// requests submitted so far, and those their results submitted in turn,
// have all been handed back.
inline bool Settle(k57::DeviceSession& session, int ms = 30000) {
    bool idle = QTest::qWaitFor([&] { return !session.running(); }, ms);
    // What the last continuation queued for after the request ends.
    QCoreApplication::processEvents();
    return idle;
}

}  // namespace k57::test
