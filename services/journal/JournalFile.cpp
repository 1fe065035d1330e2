// The journal's file: where it is, opening it as the user's alone, side
// files left behind by another run, damage set aside, and the words for
// what went wrong.

#include <sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstring>

#include "Journal.h"
#include "JournalSchema.h"
#include "PrivateFiles.h"

namespace k57 {

namespace {

constexpr const char* kFileName = "journal.sqlite3";
constexpr const char* kSideFiles[] = {"-wal", "-shm"};

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

}  // namespace

JournalProblem ProblemOf(int result) {
    switch (result & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return JournalProblem::Busy;
        case SQLITE_FULL:
            return JournalProblem::Full;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
        case SQLITE_AUTH:
            return JournalProblem::ReadOnly;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return JournalProblem::Damaged;
        default:
            return JournalProblem::Other;
    }
}

std::string Journal::DefaultPath() {
    QString folder = qEnvironmentVariable("K57_DATA_DIR");
    if (folder.isEmpty()) {
        // Named outright rather than by the running program's name, so the
        // window and k57ctl share one journal. On Windows this is the local,
        // not the roaming, profile: the journal grows.
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/k57tool";
    }
    return QDir(folder).filePath(kFileName).toStdString();
}

Journal::Journal(std::string path, JournalOptions options)
    : path_(std::move(path)), options_(options) {
    status_.path = path_;
    QString folder = QFileInfo(QString::fromStdString(path_)).absolutePath();
    if (!QFileInfo::exists(folder)) {
        // The folders above are the system's; the tool's own is private.
        QDir().mkpath(QFileInfo(folder).absolutePath());
        privatefiles::MakeFolder(folder.toStdString());
    }
    MendSideFiles();
    OpenOrSetAside();
}

void Journal::MendSideFiles() {
    for (const char* part : kSideFiles) {
        std::string side = path_ + part;
        if (Exists(side)) {
            privatefiles::MendWritable(side);
        }
    }
}

std::string Journal::UnwritablePart() const {
    for (const char* part : {"", "-wal", "-shm"}) {
        std::string file = path_ + part;
        if (Exists(file) && !privatefiles::Writable(file)) {
            return file;
        }
    }
    std::string folder = QFileInfo(QString::fromStdString(path_)).absolutePath().toStdString();
    return Exists(folder) && !privatefiles::Writable(folder) ? folder : std::string();
}

int Journal::Open() {
    int result = db_.Open(path_);
    if (result != SQLITE_OK) {
        return result;
    }
    // Before SQLite makes its -wal and -shm, which take the file's
    // permissions: the journal holds PINs and phone numbers.
    privatefiles::MakePrivate(path_);
    // A file that does not begin as every SQLite database does is set aside
    // before a statement runs: SQLite could take a log beside it for its
    // own and change it. Read through SQLite's own handle: closing another
    // handle on the file would drop the locks SQLite holds on it.
    if (!db_.BeginsAsDatabase()) {
        return SQLITE_NOTADB;
    }
    db_.SetBusyTimeout(options_.busyTimeoutMs);
    // WAL: readers never wait for the writer, and a process killed in a
    // transaction leaves the file as it was before it. synchronous=FULL:
    // every commit reaches the disk before Record returns, so the backup
    // taken before a change survives a power cut that comes a moment later;
    // it costs a flush per entry, next to seconds of work with the unit.
    if ((result = db_.Execute("PRAGMA journal_mode=WAL")) != SQLITE_OK ||
        (result = db_.Execute("PRAGMA synchronous=FULL")) != SQLITE_OK) {
        return result;
    }
    for (const char* part : kSideFiles) {
        if (Exists(path_ + part)) {
            privatefiles::MakePrivate(path_ + part);
        }
    }
    return MigrateJournal(db_, version_);
}

void Journal::OpenOrSetAside() {
    int result = Open();
    if (ProblemOf(result) == JournalProblem::Damaged) {
        db_.Close();
        SetAside();
        return;
    }
    if (result != SQLITE_OK) {
        db_.Close();
        status_.available = false;
        Report(ProblemOf(result), Words(ProblemOf(result)));
        return;
    }
    if (version_ > kJournalSchemaVersion) {
        // Not damaged: a newer build's file, left for that build.
        db_.Close();
        status_.available = false;
        Report(JournalProblem::Newer, Words(JournalProblem::Newer));
        return;
    }
    status_.available = true;
}

void Journal::SetAside() {
    QString path = QString::fromStdString(path_);
    QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString aside = path + ".damaged-" + stamp;
    for (int n = 2; QFile::exists(aside); ++n) {
        aside = path + ".damaged-" + stamp + "-" + QString::number(n);
    }
    status_.available = false;
    if (!QFile::rename(path, aside)) {
        Report(JournalProblem::Damaged,
               "The service journal " + path_ +
                   " is damaged and could not be set aside; the tool goes on without it.");
        return;
    }
    // Its write-ahead log and index go with it: they may hold what the
    // damaged file lacks.
    for (const char* part : kSideFiles) {
        if (QFile::exists(path + part)) {
            QFile::rename(path + part, aside + part);
        }
    }
    status_.damagedPath = aside.toStdString();
    int result = Open();
    if (result != SQLITE_OK || version_ > kJournalSchemaVersion) {
        db_.Close();
        Report(JournalProblem::Damaged, "The service journal " + path_ +
                                            " was damaged; it was kept as " + status_.damagedPath +
                                            ", and a new one could not be made: " + db_.error());
        return;
    }
    status_.available = true;
    Report(JournalProblem::Damaged, "The service journal " + path_ +
                                        " was damaged; it was kept as " + status_.damagedPath +
                                        " and a new journal was begun.");
}

std::string Journal::Words(JournalProblem problem) const {
    switch (problem) {
        case JournalProblem::Busy:
            return "The service journal " + path_ +
                   " is kept busy by another program; this operation was not recorded.";
        case JournalProblem::Full:
            return "The disk that holds the service journal " + path_ +
                   " is full; this operation was not recorded.";
        case JournalProblem::ReadOnly: {
            std::string part = UnwritablePart();
            return "The service journal " + path_ + " cannot be written (" +
                   (part.empty() ? std::string("a read-only disk or folder, or no permission")
                                 : part + " may not be written by this user") +
                   "); the tool goes on without it.";
        }
        case JournalProblem::Newer:
            return "The service journal " + path_ +
                   " was made by a newer version of the tool; this version leaves it alone "
                   "and goes on without it.";
        default:
            return "The service journal " + path_ + " cannot be used (" + db_.error() +
                   "); the tool goes on without it.";
    }
}

void Journal::Report(JournalProblem problem, const std::string& message) {
    status_.problem = problem;
    status_.message = message;
    if (problem != reported_) {
        pending_ = message;
        reported_ = problem;
    }
}

void Journal::Failed(int result) {
    lastCallFailed_ = true;
    JournalProblem problem = ProblemOf(result);
    if (problem == JournalProblem::Damaged) {
        db_.Close();
        SetAside();
        return;
    }
    Report(problem, Words(problem));
}

void Journal::Succeeded() {
    status_.problem = JournalProblem::None;
    status_.message.clear();
    reported_ = JournalProblem::None;
}

std::string Journal::TakeProblem() {
    std::string problem;
    problem.swap(pending_);
    return problem;
}

}  // namespace k57
