// The shared journal's waiting line in the main window: counted in
// Russian, shown only while entries wait for a server.

#include <gtest/gtest.h>

#include "SharingText.h"

namespace {

TEST(SharingTextTest, TheWaitingLineCountsInRussianAndShowsOnlyWhileEntriesWaitForAServer) {
    k57::SharingState state;
    state.configured = true;
    auto line = [&](long long queued) {
        state.queued = queued;
        return k57::WaitingText(state).toStdString();
    };
    EXPECT_EQ(line(1), "Журнал: 1 запись ждёт отправки на сервер");
    EXPECT_EQ(line(3), "Журнал: 3 записи ждут отправки на сервер");
    EXPECT_EQ(line(11), "Журнал: 11 записей ждут отправки на сервер");
    EXPECT_EQ(line(21), "Журнал: 21 запись ждёт отправки на сервер");
    EXPECT_EQ(line(0), "");
    EXPECT_EQ(line(-1), "");  // the journal could not be read: not a count
    state.configured = false;
    EXPECT_EQ(line(5), "");
}

}  // namespace
