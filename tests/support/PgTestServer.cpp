#include "PgTestServer.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace k57::test {

namespace {

const char* const kUnset = "no PostgreSQL test server (K57_TEST_PG_INFO unset): skipped";

std::string RandomHex() {
    static std::mt19937_64 random{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random()));
    return text;
}

// libpq's messages run over several lines; a skip reason is one.
std::string OneLine(const char* message) {
    std::string line;
    for (const char* c = message ? message : ""; *c; ++c) {
        if (*c == '\n' || *c == '\t') {
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
        } else {
            line += *c;
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// For the parts of a URI: everything but the unreserved characters escaped.
std::string PercentEncoded(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

std::string Identifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string Literal(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    }
    return quoted + "'";
}

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

Connection Connect(const std::string& uri) {
    return Connection(PQconnectdb(uri.c_str()), &PQfinish);
}

// The error of a connection or of a statement on it, or empty.
std::string Run(const std::string& uri, const std::string& sql, std::vector<std::string>* row) {
    Connection connection = Connect(uri);
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        return OneLine(PQerrorMessage(connection.get()));
    }
    Result result(PQexec(connection.get(), sql.c_str()), &PQclear);
    ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        return OneLine(PQresultErrorMessage(result.get()));
    }
    if (row && PQntuples(result.get()) > 0) {
        for (int column = 0; column < PQnfields(result.get()); ++column) {
            row->push_back(PQgetvalue(result.get(), 0, column));
        }
    }
    return {};
}

}  // namespace

std::string PgServerAddress::Uri(const std::string& user, const std::string& password,
                                 const std::string& database) const {
    return "postgresql://" + PercentEncoded(user) + ":" + PercentEncoded(password) + "@" + host +
           ":" + port + "/" + PercentEncoded(database) + "?connect_timeout=10";
}

std::string PgServerAddress::Read(const std::string& infoPath) {
    std::ifstream file(infoPath);
    std::string uri;
    if (!file || !std::getline(file, uri) || uri.empty()) {
        return "no PostgreSQL test server (" + infoPath + " cannot be read): skipped";
    }
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
    if (!options) {
        std::string reason = "no PostgreSQL test server (" + OneLine(error) + "): skipped";
        PQfreemem(error);
        return reason;
    }
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        std::string value = option->val ? option->val : "";
        std::string keyword = option->keyword;
        if (keyword == "host") {
            host = value;
        } else if (keyword == "port") {
            port = value;
        } else if (keyword == "user") {
            adminUser = value;
        } else if (keyword == "password") {
            adminPassword = value;
        }
    }
    PQconninfoFree(options);
    if (host.empty() || port.empty() || adminUser.empty()) {
        return "no PostgreSQL test server (" + infoPath + " names no host, port and user): skipped";
    }
    return {};
}

PgTestDatabase::PgTestDatabase()
    : PgTestDatabase(std::getenv("K57_TEST_PG_INFO") ? std::getenv("K57_TEST_PG_INFO") : "") {}

PgTestDatabase::PgTestDatabase(const std::string& infoPath) {
    if (infoPath.empty()) {
        skipReason_ = kUnset;
        return;
    }
    skipReason_ = server_.Read(infoPath);
    if (!skipReason_.empty()) {
        return;
    }
    std::string name = "k57test_" + RandomHex();
    std::string error = Run(server_.Uri(server_.adminUser, server_.adminPassword, "postgres"),
                            "CREATE DATABASE " + Identifier(name), nullptr);
    if (!error.empty()) {
        skipReason_ = "no PostgreSQL test server (" + error + "): skipped";
        return;
    }
    name_ = name;
}

PgTestDatabase::~PgTestDatabase() {
    if (name_.empty()) {
        return;
    }
    // One statement at a time: DROP DATABASE refuses a transaction block.
    // Its logins go after it, when nothing in it is theirs any more.
    std::string admin = server_.Uri(server_.adminUser, server_.adminPassword, "postgres");
    Run(admin, "DROP DATABASE IF EXISTS " + Identifier(name_) + " WITH (FORCE)", nullptr);
    for (const std::string& login : logins_) {
        Run(admin, "DROP ROLE IF EXISTS " + Identifier(login), nullptr);
    }
}

std::string PgTestDatabase::uri() const {
    return UriAs(server_.adminUser, server_.adminPassword);
}

std::string PgTestDatabase::UriAs(const std::string& user, const std::string& password) const {
    return server_.Uri(user, password, name_);
}

std::string PgTestDatabase::Execute(const std::string& sql) const {
    if (!available()) {
        return skipReason_;
    }
    return Run(uri(), sql, nullptr);
}

std::vector<std::string> PgTestDatabase::Row(const std::string& sql) const {
    std::vector<std::string> row;
    std::string error = available() ? Run(uri(), sql, &row) : skipReason_;
    if (!error.empty()) {
        return {"error: " + error};
    }
    return row;
}

std::string PgTestDatabase::Role(const std::string& base) const {
    return base + "_" + name_.substr(name_.find('_') + 1);
}

std::string PgTestDatabase::CreateLogin(const std::string& name, const std::string& password,
                                        const std::string& memberOf) {
    std::string sql = "CREATE ROLE " + Identifier(name) + " LOGIN PASSWORD " + Literal(password);
    if (!memberOf.empty()) {
        sql += "; GRANT " + Identifier(memberOf) + " TO " + Identifier(name);
    }
    std::string error = Execute(sql);
    if (error.empty()) {
        logins_.push_back(name);
    }
    return error;
}

PgPrivateServer::PgPrivateServer() {
#ifdef _WIN32
    skipReason_ = "no private PostgreSQL server (its script runs on the build machine, not under "
                  "Windows): skipped";
#else
    if (!std::getenv("K57_TEST_PG_INFO")) {
        skipReason_ = kUnset;
        return;
    }
    std::error_code error;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() / ("k57pg-" + RandomHex());
        if (std::filesystem::create_directory(candidate, error)) {
            dir_ = candidate.generic_string();
        }
    }
    if (dir_.empty()) {
        skipReason_ = "no private PostgreSQL server (no temporary folder): skipped";
        return;
    }
    std::string failure = Run("start");
    if (failure.empty()) {
        failure = server_.Read(dir_ + "/conninfo");
    }
    if (!failure.empty()) {
        skipReason_ = "no private PostgreSQL server (" + failure + "): skipped";
        return;
    }
    started_ = true;
#endif
}

PgPrivateServer::~PgPrivateServer() {
    if (!dir_.empty()) {
        Run("stop");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        std::filesystem::remove(dir_ + ".out", ignored);
    }
}

std::string PgPrivateServer::uri() const {
    return UriAs(server_.adminUser, server_.adminPassword);
}

std::string PgPrivateServer::UriAs(const std::string& user, const std::string& password,
                                   const std::string& database) const {
    return server_.Uri(user, password, database);
}

std::string PgPrivateServer::Stop() {
    return started_ ? Run("stop-only") : skipReason_;
}

std::string PgPrivateServer::Start() {
    return started_ ? Run("start-again") : skipReason_;
}

std::string PgPrivateServer::Run(const char* action) {
    // The script's path is known where the tests are built; the output goes
    // beside the folder, which "stop" removes.
    std::string output = dir_ + ".out";
    std::string command = std::string("bash \"") + K57_PG_TEST_SCRIPT + "\" " + action + " \"" +
                          dir_ + "\" >\"" + output + "\" 2>&1";
    if (std::system(command.c_str()) == 0) {
        return {};
    }
    std::ifstream file(output);
    std::string line;
    std::getline(file, line);
    return line.empty() ? std::string("pg-test-server.sh ") + action + " failed" : line;
}

}  // namespace k57::test
