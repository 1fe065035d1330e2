#include "RequestWorker.h"

#include "BusyCursor.h"

namespace k57 {

namespace {

// How often the wait's status is refreshed, and after how long it shows.
constexpr int kStatusTickMs = 250;
constexpr int kStatusAfterMs = 500;

}  // namespace

RequestWorker::RequestWorker(QObject* parent) : QObject(parent) {
    statusTimer_.setInterval(kStatusTickMs);
    connect(&statusTimer_, &QTimer::timeout, this, &RequestWorker::ShowStatus);
    thread_ = std::thread([this] { Loop(); });
}

RequestWorker::~RequestWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.clear();
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RequestWorker::Submit(QObject* context, Job job, Done done, std::function<QString()> port) {
    pending_.push_back(Pending{context, context != nullptr, std::move(done), std::move(port)});
    if (!busy_) {
        busy_ = true;
        waited_.start();
        statusTimer_.start();
        cursor_ = std::make_unique<BusyCursor>();
        emit busyChanged(true);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

// The worker thread: each job at once as it comes, its result handed to
// the GUI thread without waiting for it to be taken.
void RequestWorker::Loop() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        int result = job();
        QMetaObject::invokeMethod(
            this, [this, result] { Finished(result); }, Qt::QueuedConnection);
    }
}

// The oldest pending request has ended. The worker goes idle only after
// its continuation, which may submit the next one at once: a chain of
// requests is one busy spell, with no flicker of pointer or commands.
void RequestWorker::Finished(int result) {
    Pending ended = std::move(pending_.front());
    pending_.pop_front();
    if (statusShown_) {
        statusShown_ = false;
        if (status_) {
            status_(QString(), 0);
        }
    }
    waited_.start();
    statusPort_.clear();
    if (pending_.empty()) {
        // Also queued: a continuation that opens a modal window lets the
        // worker go idle from within that window's loop.
        QMetaObject::invokeMethod(this, &RequestWorker::GoIdle, Qt::QueuedConnection);
    }
    if (ended.done && (!ended.hasContext || ended.context)) {
        ended.done(result);
    }
    GoIdle();
}

void RequestWorker::GoIdle() {
    if (!busy_ || !pending_.empty()) {
        return;
    }
    busy_ = false;
    statusTimer_.stop();
    cursor_.reset();
    emit busyChanged(false);
}

// The wait is counted per port: a port search asks one port after another.
void RequestWorker::ShowStatus() {
    if (!status_ || pending_.empty()) {
        return;
    }
    QString port = pending_.front().port ? pending_.front().port() : QString();
    if (port != statusPort_) {
        statusPort_ = port;
        waited_.start();
    }
    if (waited_.elapsed() >= kStatusAfterMs) {
        statusShown_ = true;
        status_(port, int(waited_.elapsed() / 1000));
    }
}

}  // namespace k57
