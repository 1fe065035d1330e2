#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BusStatistics.h"
#include "CanCapture.h"
#include "TableLook.h"

namespace k57 {

// The rows the CAN monitor's table shows, and which of them time alone
// changes: a hold that ends, an identifier that goes silent. Rows are the
// records in their order; with silent identifiers hidden, only those that
// are not. Each display tick updates it once, at one moment, and the rows
// are drawn as of that moment.
class TableRows {
  public:
    // Takes effect at the next Update, which then repaints every row.
    void SetLook(const TableLook& look);
    const TableLook& look() const { return look_; }
    // The moment of the last Update.
    int64_t now() const { return nowUs_; }

    // At `nowUs`, after the frames that left `frames` (rows of `records`):
    // which records are shown, and what of the table to repaint, in its
    // own rows: the shown rows among `frames`' and the first row from
    // which all moved (identifiers came, went, were hidden or came back).
    CanCapture::Damage Update(const CanCapture::Damage& frames,
                              const std::vector<CanRecord>& records,
                              const BusStatistics& statistics, int64_t nowUs);

    // The table's rows, and the record each shows (nothing once it is gone).
    size_t size(const std::vector<CanRecord>& records) const;
    const CanRecord* At(size_t row, const std::vector<CanRecord>& records) const;
    // The row of the identifier `key` (CanRecord::Key); SIZE_MAX when it
    // is hidden or was never seen.
    size_t RowOf(uint64_t key, const std::vector<CanRecord>& records) const;

    // The rows in [first, end) that time alone changed between the last two
    // Updates: a held bit whose hold ended, an identifier greyed as silent.
    // Only the rows asked for are looked at, so asking for the shown part
    // of a long table costs little.
    std::vector<size_t> Expired(size_t first, size_t end, const std::vector<CanRecord>& records,
                                const BusStatistics& statistics) const;

  private:
    bool Crossed(int64_t at) const { return previousUs_ < at && at <= nowUs_; }
    // Hiding silent identifiers: whether the shown ones may have changed.
    bool ShownMayChange(const CanCapture::Damage& frames, const std::vector<CanRecord>& records,
                        const BusStatistics& statistics) const;
    // While hiding: the row of `key`, or of the first shown one after it.
    size_t RowOfOrAfter(uint64_t key) const;

    TableLook look_;
    bool lookChanged_ = false;
    int64_t previousUs_ = 0;
    int64_t nowUs_ = 0;
    bool hiding_ = false;
    std::vector<uint64_t> shown_;  // while hiding: the keys shown, ascending
};

}  // namespace k57
