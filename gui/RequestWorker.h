#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace k57 {

class BusyCursor;

// The one thread the windows' device requests run on, for the life of the
// session holder: requests run one at a time in the order submitted, and
// each one's result comes back to the GUI thread as a queued call. The GUI
// thread never waits for the unit: windows keep repainting and their timers
// keep ticking. Windows disable their device commands while busy() holds.
class RequestWorker : public QObject {
    Q_OBJECT

  public:
    using Job = std::function<int()>;
    using Done = std::function<void(int result)>;
    // `port` is the port waited on, `seconds` the time waited so far; an
    // empty port ends the wait.
    using WaitStatus = std::function<void(const QString& port, int seconds)>;

    explicit RequestWorker(QObject* parent = nullptr);
    // Drops what is queued and waits for the request that runs now.
    ~RequestWorker() override;

    // Queues `job`; `done` gets its result on the GUI thread unless
    // `context` is gone by then. `port` names the port waited on.
    void Submit(QObject* context, Job job, Done done, std::function<QString()> port);
    // From the first request submitted until the worker has run out of
    // them; a continuation that submits the next request keeps it busy.
    bool busy() const { return busy_; }
    void SetWaitStatus(WaitStatus status) { status_ = std::move(status); }

  signals:
    void busyChanged(bool busy);

  private:
    struct Pending {
        QPointer<QObject> context;
        bool hasContext;
        Done done;
        std::function<QString()> port;
    };

    void Loop();
    void Finished(int result);
    void ShowStatus();
    void GoIdle();

    // The GUI thread's side: what waits for its result, oldest first.
    std::deque<Pending> pending_;
    WaitStatus status_;
    QTimer statusTimer_;
    QElapsedTimer waited_;
    bool statusShown_ = false;
    QString statusPort_;  // the port the wait shown is counted for
    bool busy_ = false;
    std::unique_ptr<BusyCursor> cursor_;

    // Shared with the worker thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace k57
