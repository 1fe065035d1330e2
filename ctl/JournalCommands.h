#pragma once

#include <string>

namespace CLI {
class App;
}

namespace k57::ctl {

struct Context;

// `k57ctl journal …`: the workshop's shared journal on a PostgreSQL server.
struct JournalCommandLine {
    CLI::App* connect = nullptr;
    CLI::App* disconnect = nullptr;
    CLI::App* sync = nullptr;
    CLI::App* status = nullptr;
    CLI::App* initServer = nullptr;
    std::string server;  // connect's and init-server's URI
    bool printSql = false;
};

void AddJournalCommands(CLI::App& app, JournalCommandLine& line);
// The journal command given, run; -1 when none was.
int RunJournalCommand(Context& context, const JournalCommandLine& line);

// Around a command on a unit: before it, the workshop's entries are pulled
// when it reads the journal (`pull`); after it, what it recorded is pushed.
// Only when a server is configured and a try is due; a problem is one line
// on stderr, and the command's own result stands.
void ShareJournal(Context& context, bool pull);

}  // namespace k57::ctl
