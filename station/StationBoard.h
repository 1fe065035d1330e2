#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "BatchStation.h"

namespace k57 {

// One port's row on the station's board: the unit on it now, or the last
// one until the next comes.
struct StationRow {
    enum class State { Waiting, Working, Done, Failed, Skipped };
    QString port;
    State state = State::Waiting;
    BatchStep step = BatchStep::Waiting;
    int percent = -1;
    std::optional<uint32_t> serial;
    std::optional<BatchUnitResult> result;  // the last unit's, once finished
    bool removed = false;                   // that unit was taken away

    // What the row says: "Ожидание блока", "12345678: запись настроек",
    // "12345678: готово"; a failed unit's reason and what to do.
    QString Headline() const;
    QString Advice() const;
};

// What the station window shows, without the window: a row per port and
// the counts. Events come from the ports' threads (Post) and are handed
// to the board's thread by a queued signal carrying a copy; the view is
// told on a timer which rows changed, so a unit's progress does not
// redraw the window per fragment.
class StationBoard : public QObject {
    Q_OBJECT

  public:
    explicit StationBoard(QObject* parent = nullptr);

    // A new run: a waiting row per port; `left`: the rows not used yet.
    void Reset(const QStringList& ports, int left);
    // Any thread.
    void Post(const BatchEvent& event);
    // The board's thread: the event applied now (Post ends here).
    void Take(const BatchEvent& event);

    const std::vector<StationRow>& rows() const { return rows_; }
    // Units, each counted once by its serial: one failed and then done is
    // done; one done that comes back and is skipped stays done.
    BatchCounts counts() const;
    // "Готово: 2  Ошибок: 0  Пропущено: 1  Осталось: 5".
    QString CountsText() const;
    // Every unit finished in this run, in order.
    const std::vector<BatchUnitResult>& finished() const { return finished_; }

    // How long changes gather before the view hears of them.
    static constexpr int kRedrawMs = 100;

  signals:
    void arrived(k57::BatchEvent event);
    // After the gathering: which rows changed, and whether the counts did.
    void changed(QList<int> rows, bool counts);

  private:
    int RowOf(const std::string& port);
    void Finish(StationRow& row, const BatchUnitResult& result);
    void Flush();

    std::vector<StationRow> rows_;
    std::vector<BatchUnitResult> finished_;
    // The last outcome of each identified unit; the unidentified counted apart.
    std::map<uint32_t, BatchUnitResult::Result> outcomes_;
    BatchCounts anonymous_;
    int left_ = 0;
    std::set<uint32_t> doneWithRow_;
    QTimer redraw_;
    std::set<int> dirty_;
    bool countsDirty_ = false;
};

}  // namespace k57

Q_DECLARE_METATYPE(k57::BatchEvent)
