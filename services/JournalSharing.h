#pragma once

#include <QMetaType>
#include <QObject>
#include <QTimer>
#include <string>

#include "ServerTry.h"

class QThread;

namespace k57 {

// Where this PC's journal stands with the workshop's server, as a window
// shows it.
struct SharingState {
    bool configured = false;       // a server is set
    bool fromEnvironment = false;  // by K57_JOURNAL_SERVER, not the settings
    std::string server;            // "host:port/db", never a password
    long long queued = 0;          // entries made here not on the server; -1 unknown
    std::string lastPush;          // "2024-05-01T09:30:00.123Z"; empty: never
    std::string lastPull;
    std::string lastProblem;  // why the last try failed (libpq's or the server's words)
};

class SharingWorker;

// The journal shared through the workshop's server, for the window: every
// push and pull runs on a thread of its own with a Journal of its own on the
// same file (the window's Journal stays on the window's thread; SQLite's WAL
// lets both connections work at once), so the window never waits on the
// network.
//
// Tries are made after the window records an operation (one push for a
// burst of them), every minute, when a unit has said who it is (a pull, so
// the history and the restore question see the workshop's record), and when
// asked. Automatic ones honour JournalSync::Due (one connection try, then a
// minute's rest); an asked-for sync always tries. What it came to arrives
// by queued signals.
//
// Closing waits for a try under way no longer than its connection may take;
// one that is stuck further is left to end on its own. Nothing is lost:
// entries not pushed stay queued in the journal.
class JournalSharing : public QObject {
    Q_OBJECT

  public:
    static constexpr int kBurstMs = 1500;
    static constexpr int kPeriodMs = 60000;
    // How long closing waits for a try under way.
    static constexpr int kCloseWaitMs = 2500;

    explicit JournalSharing(std::string journalPath, QObject* parent = nullptr);
    ~JournalSharing() override;

    // The last state reported (before the first report: none configured).
    const SharingState& state() const { return state_; }
    // Whether a try asked for by SyncNow or Connect is under way.
    bool busy() const { return asked_ > 0; }

    // The window recorded an operation: a push once the burst is over.
    void Recorded();
    // A unit said who it is, or its settings were read: a pull.
    void UnitIdentified();
    // "Синхронизировать": push and pull now, whatever the last try came to.
    void SyncNow();
    // Stores the server (the same as `k57ctl journal connect`), tries it and
    // syncs; connected() says how it went.
    void Connect(const std::string& conninfo);
    // Forgets the stored server: the journal is this PC's alone.
    bool Disconnect();
    // Reads the state again (no network): after the server's setting changed.
    void Refresh();

  signals:
    void stateChanged(const k57::SharingState& state);
    // Entries made at other PCs came down: lists of units and timelines are
    // out of date.
    void entriesArrived(qint64 count);
    void connected(const k57::ServerTry& result);
    // To the worker's thread: queued signals carry their arguments across
    // in Qt's own event, where a functor built here would be read there.
    void runWorker(int kind);
    void connectWorker(const QString& conninfo);

  private:
    void Post(int kind);
    void Reported(const SharingState& state);

    QThread* thread_;
    SharingWorker* worker_;
    QTimer burst_;
    QTimer period_;
    SharingState state_;
    int asked_ = 0;
};

}  // namespace k57

Q_DECLARE_METATYPE(k57::SharingState)
Q_DECLARE_METATYPE(k57::ServerTry)
