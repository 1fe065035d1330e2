// The session's one worker thread: requests run there in order, results
// come back on the GUI thread, and an abandon ends only the request it was
// meant for.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <thread>

#include "DeviceSession.h"
#include "Settle.h"
#include "SimulatedUnits.h"

namespace {

class RequestWorkerTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
    }

    k57::DeviceSession session;  // the real four seconds
};

TEST_F(RequestWorkerTest, OneThreadRunsTheRequestsInOrderAndResultsComeBackOnTheGuiThread) {
    Plug(5);
    std::vector<std::thread::id> ran;
    std::vector<int> order;
    bool onGuiThread = true;
    for (int i = 0; i < 3; ++i) {
        session.Submit(
            nullptr,
            [&ran](DeviceInterface& device) {
                ran.push_back(std::this_thread::get_id());
                uint32_t serial = 0;
                return device.ReadIdInfo(serial);
            },
            [&, i](int result) {
                onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
                order.push_back(result == k57::kReplyOk ? i : -1);
            });
    }
    EXPECT_TRUE(session.running());  // Submit does not wait
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(onGuiThread);
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], ran[2]);
    EXPECT_NE(ran[0], std::this_thread::get_id());
}

// A request queued behind an abandoned one used to clear the abandon when it
// was submitted, and the abandoned request waited out its whole time-out.
TEST_F(RequestWorkerTest, ARequestQueuedBehindAnAbandonedOneDoesNotReviveIt) {
    k57::sim::UnitOptions silent;
    silent.fault = k57::sim::UnitOptions::Fault::Silent;
    Plug(5, silent);
    QElapsedTimer took;
    took.start();
    qint64 firstEnded = -1;
    int firstResult = 0, secondResult = 0;
    session.Submit(
        nullptr,
        [](DeviceInterface& device) {
            uint32_t serial = 0;
            return device.ReadIdInfo(serial);
        },
        [&](int result) {
            firstResult = result;
            firstEnded = took.elapsed();
        });
    QTest::qWait(200);
    session.Abandon();
    session.Submit(
        nullptr, [](DeviceInterface&) { return k57::kReplyOk; },
        [&](int result) { secondResult = result; });
    ASSERT_TRUE(k57::test::Settle(session, 6000));
    EXPECT_EQ(firstResult, k57::kNoReply);
    EXPECT_LT(firstEnded, 1500) << "the abandoned request waited out its time-out";
    EXPECT_TRUE(session.get()->LastFailure().abandoned);
    EXPECT_EQ(secondResult, k57::kReplyOk);
}

TEST_F(RequestWorkerTest, AContinuationWhoseWindowIsGoneIsNotCalled) {
    Plug(5);
    auto context = std::make_unique<QObject>();
    bool called = false;
    session.Submit(
        context.get(), [](DeviceInterface&) { return k57::kReplyOk; },
        [&](int) { called = true; });
    context.reset();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_FALSE(called);
}

}  // namespace
