// The station's board driven by the events a station sends: the rows, the
// counts, a failed unit's reason, a skipped one, a unit coming back, and
// events from the ports' threads gathered into one redraw.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <thread>

#include "SimulatedUnits.h"
#include "StationBoard.h"

namespace k57::test {
namespace {

using Result = BatchUnitResult::Result;
using State = StationRow::State;

BatchEvent Step(const char* port, BatchStep step, std::optional<uint32_t> serial = {},
                int percent = -1) {
    BatchEvent event;
    event.port = port;
    event.step = step;
    event.serial = serial;
    event.percent = percent;
    return event;
}

BatchEvent Finished(const char* port, uint32_t serial, Result result, int row = 0,
                    std::string reason = {}, std::string advice = {}) {
    BatchEvent event = Step(port, BatchStep::Finished, serial);
    BatchUnitResult unit;
    unit.result = result;
    unit.port = port;
    unit.serial = serial;
    unit.row = row;
    unit.reason = std::move(reason);
    unit.advice = std::move(advice);
    event.result = unit;
    return event;
}

class StationBoardTest : public ::testing::Test {
  protected:
    void SetUp() override { board.Reset({"COM5", "COM6"}, 3); }
    const StationRow& Row(int i) const { return board.rows()[size_t(i)]; }

    StationBoard board;
};

TEST_F(StationBoardTest, AUnitGoesFromWaitingThroughItsStepsToDoneAndItsRowIsCounted) {
    EXPECT_EQ(Row(0).Headline(), "Ожидание блока");
    EXPECT_EQ(board.CountsText(), "Готово: 0  Ошибок: 0  Пропущено: 0  Осталось: 3");
    board.Take(Step("COM5", BatchStep::Identifying));
    board.Take(Step("COM5", BatchStep::Writing, 1001u, 40));
    EXPECT_EQ(Row(0).state, State::Working);
    EXPECT_EQ(Row(0).percent, 40);
    EXPECT_EQ(Row(0).Headline(), "1001: запись настроек");
    EXPECT_EQ(Row(1).state, State::Waiting);

    board.Take(Finished("COM5", 1001, Result::Ok, 2));
    board.Take(Step("COM5", BatchStep::WaitingForRemoval, 1001u));
    EXPECT_EQ(Row(0).state, State::Done);
    EXPECT_EQ(Row(0).Headline(), "1001: готово (строка 2)");
    EXPECT_EQ(Row(0).Advice(), "Снимите блок.");
    EXPECT_EQ(board.CountsText(), "Готово: 1  Ошибок: 0  Пропущено: 0  Осталось: 2");

    // Taken away: the result stays on the board until the next unit comes.
    board.Take(Step("COM5", BatchStep::Waiting));
    EXPECT_EQ(Row(0).state, State::Done);
    EXPECT_EQ(Row(0).Advice(), "Установите следующий блок.");
    board.Take(Step("COM5", BatchStep::Identifying));
    EXPECT_EQ(Row(0).state, State::Working);
    EXPECT_FALSE(Row(0).result);
    EXPECT_FALSE(Row(0).serial);
}

TEST_F(StationBoardTest, AFailedUnitShowsItsReasonAndWhatToDoAndASkippedOneIsCountedApart) {
    board.Take(Finished("COM6", 1002, Result::Failed, 3, "блок не ответил на запись",
                        "проверьте кабель и установите блок снова"));
    EXPECT_EQ(Row(1).state, State::Failed);
    EXPECT_EQ(Row(1).Headline(), "1002: ошибка — блок не ответил на запись");
    EXPECT_EQ(Row(1).Advice(), "Проверьте кабель и установите блок снова.\nСнимите блок.");

    board.Take(Finished("COM5", 4242, Result::Skipped, 0, "нет строки для этого блока"));
    EXPECT_EQ(Row(0).state, State::Skipped);
    EXPECT_EQ(Row(0).Headline(), "4242: пропущен — нет строки для этого блока");
    // A failed unit keeps its row; a skipped one never had one.
    EXPECT_EQ(board.CountsText(), "Готово: 0  Ошибок: 1  Пропущено: 1  Осталось: 3");
}

TEST_F(StationBoardTest, AUnitComingBackIsCountedOnceByItsLastOutcome) {
    board.Take(Finished("COM5", 1001, Result::Failed, 2, "нет ответа"));
    // Put back, on the other port, and done this time: done, not failed.
    board.Take(Finished("COM6", 1001, Result::Ok, 2));
    EXPECT_EQ(board.CountsText(), "Готово: 1  Ошибок: 0  Пропущено: 0  Осталось: 2");
    // Put back once more: turned away, as its row is used; it stays done.
    board.Take(Finished("COM5", 1001, Result::Skipped, 2, "уже записан в этой партии"));
    EXPECT_EQ(Row(0).state, State::Skipped);
    EXPECT_EQ(board.CountsText(), "Готово: 1  Ошибок: 0  Пропущено: 0  Осталось: 2");
    EXPECT_EQ(board.finished().size(), 3u);
    // A unit that never told its serial is a unit of its own each time.
    board.Take(Step("COM5", BatchStep::Identifying));
    BatchEvent unknown = Finished("COM5", 0, Result::Failed, 0, "блок не назвал себя");
    unknown.serial.reset();
    unknown.result->serial.reset();
    board.Take(unknown);
    board.Take(unknown);
    EXPECT_EQ(Row(0).Headline(), "блок: ошибка — блок не назвал себя");
    EXPECT_EQ(board.counts().failed, 2);
}

// The ports' threads post; the board's thread applies and, after the
// gathering, tells the view once of every row that changed.
TEST_F(StationBoardTest, EventsFromThePortsThreadsArriveInOrderAndAreRedrawnTogether) {
    QSignalSpy changed(&board, &StationBoard::changed);
    ASSERT_TRUE(WaitUntil([&] {
        QCoreApplication::processEvents();
        return changed.count() > 0;
    }));  // the reset's own redraw
    changed.clear();
    std::vector<std::thread> ports;
    for (const char* port : {"COM5", "COM6"}) {
        ports.emplace_back([this, port] {
            for (int percent = 0; percent <= 100; percent += 5) {
                board.Post(Step(port, BatchStep::UpdatingFirmware, 7u, percent));
            }
        });
    }
    for (std::thread& port : ports) {
        port.join();
    }
    ASSERT_TRUE(WaitUntil([&] {
        QCoreApplication::processEvents();
        return Row(0).percent == 100 && Row(1).percent == 100 && changed.count() > 0;
    }));
    ASSERT_EQ(changed.count(), 1);
    QList<int> rows = changed.at(0).at(0).value<QList<int>>();
    EXPECT_EQ(rows, (QList<int>{0, 1}));
    EXPECT_FALSE(changed.at(0).at(1).toBool());
    EXPECT_EQ(Row(1).Headline(), "7: обновление прошивки");
}

}  // namespace
}  // namespace k57::test
