#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The link's trace as it happens: follows the trace live, can be paused
// (what comes meanwhile is shown on resuming), searched and cleared. The
// PIN and the phone numbers are masked unless the technician asks to see them.
class TTraceForm : public QWidget {
    Q_OBJECT

  public:
    explicit TTraceForm(QWidget* parent = nullptr);

    // Takes the entries recorded since the last look, unless paused.
    void Follow();
    bool paused() const;
    void SetPaused(bool paused);
    // Selects the next occurrence of the search text, from the start again
    // after the last; false when there is none.
    bool FindNext();
    // Empties the view and the trace's ring.
    void Clear();

    static constexpr int kFollowMs = 200;

  private:
    QPlainTextEdit* view_;
    QLineEdit* search_;
    QPushButton* pause_;
    QCheckBox* reveal_;
    QTimer follow_;
    uint64_t shown_ = 0;  // the last entry's sequence number in the view
};
