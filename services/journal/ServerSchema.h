#pragma once

#include <string>

namespace k57 {

class PgConnection;

// The journal's tables on a workshop's PostgreSQL server, in the schema
// "k57": entries keyed by UUID and numbered by a server-side sequence, and
// the journal's version and id. Technicians' logins are members of the
// role k57_technician (may read and add, never change or delete), the
// administrator's of k57_admin.
constexpr int kServerSchemaVersion = 1;

// Makes or brings up to date the server's journal and the two roles'
// grants; run by its administrator (an owner of the database who may
// create roles). Safe to run again. False with `error` when it failed; then
// nothing of the step that failed is left.
bool InitServerJournal(PgConnection& server, std::string& error);

// What a technician's connection finds on the server.
struct ServerJournal {
    bool usable = false;
    std::string journalId;  // changes when the server's journal is made anew
    std::string problem;    // plain words when not usable
};

// Whether the server holds a journal this build can use: made, and not by
// a newer version.
ServerJournal CheckServerJournal(PgConnection& server);

// The SQL InitServerJournal runs, for an administrator who runs it by hand.
std::string ServerJournalSql();

}  // namespace k57
