#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace k57 {

// Runs one blocking device request at a time on a worker thread while the
// GUI thread keeps its event loop: windows repaint, timers tick, and the
// status of the wait can be shown. Meanwhile the windows that were open
// when it started take no input (clicks and keys are dropped, not kept for
// later), except the widgets let through; a window opened during the
// request (a message box) works as usual. A request to close a window is
// held back until the request ends.
class RequestRunner : public QObject {
    Q_OBJECT

  public:
    // `port` is the port waited on, `seconds` the time waited so far; an
    // empty port ends the wait.
    using WaitStatus = std::function<void(const QString& port, int seconds)>;

    // Runs `request` and returns its result; `port` names the port waited
    // on. A request made while another runs is not started: -2.
    int Run(const std::function<int()>& request, const std::function<QString()>& port);
    bool running() const { return running_; }

    // Widgets that still take input while a request runs.
    void LetThrough(QWidget* widget) { letThrough_.push_back(widget); }
    void ClearLetThrough() { letThrough_.clear(); }
    void SetWaitStatus(WaitStatus status) { status_ = std::move(status); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Blocked(QWidget* widget) const;

    bool running_ = false;
    std::vector<QPointer<QWidget>> frozen_;      // windows open at the start
    std::vector<QPointer<QWidget>> letThrough_;  // still take input
    std::vector<QPointer<QWidget>> closeLater_;
    WaitStatus status_;
};

}  // namespace k57
