#include "JournalSharing.h"

#include <QDeadlineTimer>
#include <QThread>

#include "JournalServer.h"
#include "SharingWorker.h"

namespace k57 {

JournalSharing::JournalSharing(std::string journalPath, QObject* parent)
    : QObject(parent), thread_(new QThread), worker_(new SharingWorker(std::move(journalPath))) {
    qRegisterMetaType<k57::SharingState>();
    qRegisterMetaType<k57::ServerTry>();
    thread_->setObjectName("JournalSharing");
    worker_->moveToThread(thread_);
    // The worker's journal is closed on the thread that used it.
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SharingWorker::reported, this, &JournalSharing::Reported);
    connect(worker_, &SharingWorker::arrived, this, &JournalSharing::entriesArrived);
    connect(worker_, &SharingWorker::connected, this, &JournalSharing::connected);
    connect(this, &JournalSharing::runWorker, worker_, &SharingWorker::Run);
    connect(this, &JournalSharing::connectWorker, worker_, &SharingWorker::ConnectTo);
    connect(worker_, &SharingWorker::askedDone, this, [this] {
        --asked_;
        emit stateChanged(state_);
    });
    thread_->start();

    burst_.setSingleShot(true);
    burst_.setInterval(kBurstMs);
    connect(&burst_, &QTimer::timeout, this, [this] { Post(SharingWorker::Push); });
    period_.setInterval(kPeriodMs);
    connect(&period_, &QTimer::timeout, this, [this] { Post(SharingWorker::Pull); });
    period_.start();
    // What waits from the last run goes now, and what others added comes.
    Post(SharingWorker::Pull);
}

// A try stuck beyond its connection's time-out (a server that went silent
// in the middle of a statement) is not waited for: the thread ends by
// itself, and what it did not push stays queued for the next run.
JournalSharing::~JournalSharing() {
    burst_.stop();
    period_.stop();
    disconnect(worker_, nullptr, this, nullptr);
    thread_->quit();
    if (thread_->wait(QDeadlineTimer(kCloseWaitMs))) {
        delete thread_;
    } else {
        connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    }
}

void JournalSharing::Post(int kind) {
    emit runWorker(kind);
}

void JournalSharing::Reported(const SharingState& state) {
    state_ = state;
    emit stateChanged(state_);
}

void JournalSharing::Recorded() {
    burst_.start();
}

void JournalSharing::UnitIdentified() {
    Post(SharingWorker::Pull);
}

void JournalSharing::SyncNow() {
    ++asked_;
    emit runWorker(SharingWorker::Asked);
}

void JournalSharing::Connect(const std::string& conninfo) {
    ++asked_;
    emit connectWorker(QString::fromStdString(conninfo));
}

bool JournalSharing::Disconnect() {
    bool stored = StoreServer({});
    Refresh();
    return stored;
}

void JournalSharing::Refresh() {
    Post(SharingWorker::Status);
}

}  // namespace k57
