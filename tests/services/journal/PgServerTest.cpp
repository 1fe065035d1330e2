// The throwaway PostgreSQL server the shared journal's tests run against:
// what they get from it, and that they skip rather than wait without it.

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "PgTestServer.h"
#include "TempDir.h"

namespace {

using k57::test::PgPrivateServer;
using k57::test::PgTestDatabase;
using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

Connection Connect(const std::string& uri) {
    return Connection(PQconnectdb(uri.c_str()), &PQfinish);
}

std::string Value(PGconn* connection, const char* sql) {
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection, sql), &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) < 1) {
        return std::string("error: ") + PQresultErrorMessage(result.get());
    }
    return PQgetvalue(result.get(), 0, 0);
}

TEST(PgTestServer, GivesEachTestAFreshDatabaseOfPostgres15AndDropsIt) {
    std::string name;
    Connection left(nullptr, &PQfinish);  // still open when the database goes
    {
        PgTestDatabase db;
        if (!db.available()) {
            GTEST_SKIP() << db.skipReason();
        }
        name = db.name();
        left = Connect(db.uri());
        PGconn* connection = left.get();
        ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
        EXPECT_NE(Value(connection, "SELECT version()").find("PostgreSQL 15"), std::string::npos);
        EXPECT_EQ(Value(connection, "SELECT current_database()"), name);
        EXPECT_EQ(Value(connection, "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"),
                  "0");

        // SQL as the superuser: several statements, the error text of a bad one.
        EXPECT_EQ(db.Execute("CREATE TABLE entry (id uuid PRIMARY KEY, note text);"
                             "INSERT INTO entry VALUES (gen_random_uuid(), 'запись')"),
                  "");
        EXPECT_EQ(db.Row("SELECT count(*), max(note) FROM entry"),
                  (std::vector<std::string>{"1", "запись"}));
        EXPECT_NE(db.Execute("INSERT INTO nowhere VALUES (1)").find("\"nowhere\" does not exist"),
                  std::string::npos);
    }
    EXPECT_NE(Value(left.get(), "SELECT 1").rfind("error: ", 0), std::string::npos);
    PgTestDatabase other;
    ASSERT_TRUE(other.available()) << other.skipReason();
    EXPECT_EQ(other.Row("SELECT count(*) FROM pg_database WHERE datname = '" + name + "'"),
              std::vector<std::string>{"0"});
}

TEST(PgTestServer, RefusesAWrongPasswordWithTheServersMessage) {
    PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    std::string login = db.Role("technician");
    ASSERT_EQ(db.CreateLogin(login, "right pass:word@"), "");

    Connection wrong = Connect(db.UriAs(login, "wrong"));
    EXPECT_EQ(PQstatus(wrong.get()), CONNECTION_BAD);
    EXPECT_NE(std::string(PQerrorMessage(wrong.get()))
                  .find("password authentication failed for user \"" + login + "\""),
              std::string::npos)
        << PQerrorMessage(wrong.get());

    // The right one, with characters a URI must escape, gets in as that login.
    Connection right = Connect(db.UriAs(login, "right pass:word@"));
    ASSERT_EQ(PQstatus(right.get()), CONNECTION_OK) << PQerrorMessage(right.get());
    EXPECT_EQ(Value(right.get(), "SELECT current_user"), login);
    EXPECT_NE(db.CreateLogin(login, "again").find("already exists"), std::string::npos);
}

TEST(PgTestServer, GroupMembershipOfALogin) {
    PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    std::string group = db.Role("writers");
    ASSERT_EQ(db.Execute("CREATE ROLE " + group + " NOLOGIN"), "");
    std::string login = db.Role("pc1");
    ASSERT_EQ(db.CreateLogin(login, "pw", group), "");
    EXPECT_EQ(db.Row("SELECT pg_has_role('" + login + "', '" + group + "', 'MEMBER')"),
              std::vector<std::string>{"t"});
    EXPECT_EQ(db.Execute("DROP ROLE " + group), "");
}

// Said in one line, soon, when the server named is not there.
TEST(PgTestServer, SkipsInOneLineWhenTheServerIsAbsent) {
    k57::test::TempDir dir;
    std::string info = dir.path() + "/conninfo";

    PgTestDatabase missingFile(info);
    EXPECT_FALSE(missingFile.available());
    EXPECT_NE(missingFile.skipReason().find(info), std::string::npos) << missingFile.skipReason();

    // Port 1 on this machine: nobody listens, the connection is refused.
    std::ofstream(info) << "postgresql://k57admin:pw@127.0.0.1:1/postgres\n";
    auto started = std::chrono::steady_clock::now();
    PgTestDatabase refused(info);
    EXPECT_FALSE(refused.available());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_NE(refused.skipReason().find("refused"), std::string::npos) << refused.skipReason();
    EXPECT_EQ(refused.skipReason().find('\n'), std::string::npos) << refused.skipReason();
    EXPECT_NE(refused.Execute("SELECT 1"), "");
}

TEST(PgTestServer, PrivateServerStopsAndComesBackWithItsData) {
    PgPrivateServer server;
    if (!server.available()) {
        GTEST_SKIP() << server.skipReason();
    }
    {
        Connection connection = Connect(server.uri());
        ASSERT_EQ(PQstatus(connection.get()), CONNECTION_OK) << PQerrorMessage(connection.get());
        EXPECT_NE(Value(connection.get(), "SELECT version()").find("PostgreSQL 15"),
                  std::string::npos);
        ASSERT_EQ(Value(connection.get(), "CREATE TABLE kept AS SELECT 57 AS n; SELECT n FROM kept"),
                  "57");

        ASSERT_EQ(server.Stop(), "");
        // The open connection sees the server gone, and a new one is refused.
        EXPECT_NE(Value(connection.get(), "SELECT 1").rfind("error: ", 0), std::string::npos);
    }
    Connection refused = Connect(server.uri());
    EXPECT_EQ(PQstatus(refused.get()), CONNECTION_BAD);

    ASSERT_EQ(server.Start(), "");
    Connection again = Connect(server.uri());
    ASSERT_EQ(PQstatus(again.get()), CONNECTION_OK) << PQerrorMessage(again.get());
    EXPECT_EQ(Value(again.get(), "SELECT n FROM kept"), "57");
    EXPECT_EQ(server.Start(), "") << "a start of a running server changes nothing";
}

}  // namespace
