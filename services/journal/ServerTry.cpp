#include "ServerTry.h"

#include "JournalServer.h"
#include "JournalSync.h"
#include "PgConnection.h"
#include "ServerSchema.h"

namespace k57 {

ServerTry SetJournalServer(const std::string& conninfo) {
    ServerTry done;
    done.shown = ShownServer(conninfo, done.reason);
    if (done.shown.empty()) {
        done.outcome = ServerTry::Outcome::Unreadable;
        return done;
    }
    if (!StoreServer(conninfo)) {
        done.outcome = ServerTry::Outcome::NotStored;
        return done;
    }
    PgConnection connection;
    if (!connection.Connect(conninfo, JournalSync::kConnectMs)) {
        done.outcome = ServerTry::Outcome::Unreachable;
        done.reason = connection.error();
        return done;
    }
    ServerJournal found = CheckServerJournal(connection);
    done.outcome = found.usable ? ServerTry::Outcome::Usable : ServerTry::Outcome::Unusable;
    done.reason = found.problem;
    return done;
}

}  // namespace k57
