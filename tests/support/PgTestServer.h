#pragma once

#include <string>
#include <vector>

// PostgreSQL for the tests of the workshop's shared journal: a database of
// a test's own on the throwaway server the CTest fixture pg_server starts
// (scripts/pg-test-server.sh), or a server of a test's own to stop and
// start. Neither hangs nor throws when there is no server: available() is
// false and skipReason() is one line for GTEST_SKIP().
namespace k57::test {

// Where a test server listens, and its superuser.
struct PgServerAddress {
    std::string host;
    std::string port;
    std::string adminUser;
    std::string adminPassword;

    // A libpq URI, with a time-out for the connection: no test waits for
    // ever on a server that went away.
    std::string Uri(const std::string& user, const std::string& password,
                    const std::string& database) const;
    // Reads the URI in a file (scripts/pg-test-server.sh's DIR/conninfo);
    // the reason it could not, or empty.
    std::string Read(const std::string& infoPath);
};

// A fresh database with a random name on the shared test server, dropped
// (whoever is still connected) when the object goes, with the logins made
// by CreateLogin. The server is the one K57_TEST_PG_INFO names: a file
// holding the superuser's libpq URI (k57_test(... POSTGRES) sets it).
class PgTestDatabase {
  public:
    PgTestDatabase();
    // The server that the URI in the file at infoPath names.
    explicit PgTestDatabase(const std::string& infoPath);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    bool available() const { return !name_.empty(); }
    // Why not, in one line: the variable unset, the file unreadable or the
    // server's own message.
    const std::string& skipReason() const { return skipReason_; }
    const std::string& name() const { return name_; }

    // libpq URIs to this database: as the superuser, and as a login.
    std::string uri() const;
    std::string UriAs(const std::string& user, const std::string& password) const;

    // Runs SQL (one or more statements) as the superuser in this database;
    // the server's error text, or empty when it went through.
    std::string Execute(const std::string& sql) const;
    // The first row's values of a query, or one value "error: ..." on failure.
    std::vector<std::string> Row(const std::string& sql) const;

    // A role name of this database's own (logins are shared by every
    // database of the server, and tests run side by side).
    std::string Role(const std::string& base) const;
    // A login role with the password, a member of memberOf unless empty;
    // the error text or empty. Dropped with the database.
    std::string CreateLogin(const std::string& name, const std::string& password,
                            const std::string& memberOf = {});

  private:
    PgServerAddress server_;
    std::string name_;
    std::string skipReason_;
    std::vector<std::string> logins_;
};

// A PostgreSQL server of a test's own, started with the same script into a
// temporary folder, for tests that stop it and bring it back in the middle
// without disturbing the shared one. Only where that script runs (not under
// Wine), and only for tests given a server (K57_TEST_PG_INFO set).
class PgPrivateServer {
  public:
    PgPrivateServer();
    ~PgPrivateServer();  // stops it and removes its folder
    PgPrivateServer(const PgPrivateServer&) = delete;
    PgPrivateServer& operator=(const PgPrivateServer&) = delete;

    bool available() const { return started_; }
    const std::string& skipReason() const { return skipReason_; }

    // The superuser's URI to the database postgres; to another database or
    // as another login.
    std::string uri() const;
    std::string UriAs(const std::string& user, const std::string& password,
                      const std::string& database = "postgres") const;

    // Stops the server, keeping its data; starts it again on the same port.
    // Empty when done, else the script's one line.
    std::string Stop();
    std::string Start();

  private:
    std::string Run(const char* action);

    std::string dir_;
    PgServerAddress server_;
    std::string skipReason_;
    bool started_ = false;
};

}  // namespace k57::test
