#include "PgConnection.h"

#include <libpq-fe.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace k57 {

namespace {

// libpq's messages end in a newline and may run over several lines.
std::string OneLine(const char* text) {
    std::string line;
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\n') {
            if (c[1] != '\0' && !line.empty()) {
                line += "; ";
            }
        } else {
            line += *c;
        }
    }
    return line;
}

// The keywords a connection string sets, or nothing when it cannot be read.
std::optional<std::map<std::string, std::string>> Keywords(const std::string& conninfo,
                                                           std::string& error) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &message);
    if (!options) {
        error = message ? OneLine(message) : "the server's address cannot be read";
        PQfreemem(message);
        return std::nullopt;
    }
    std::map<std::string, std::string> set;
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        if (option->val) {
            set[option->keyword] = option->val;
        }
    }
    PQconninfoFree(options);
    return set;
}

}  // namespace

PgResult::PgResult(pg_result* result) : result_(result) {}

PgResult::~PgResult() {
    PQclear(result_);
}

PgResult::PgResult(PgResult&& other) noexcept : result_(other.result_) {
    other.result_ = nullptr;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
    if (this != &other) {
        PQclear(result_);
        result_ = other.result_;
        other.result_ = nullptr;
    }
    return *this;
}

bool PgResult::ok() const {
    ExecStatusType status = PQresultStatus(result_);
    return result_ && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK);
}

std::string PgResult::error() const {
    if (!result_) {
        return "no reply from the server";
    }
    return ok() ? std::string() : OneLine(PQresultErrorMessage(result_));
}

std::string PgResult::state() const {
    const char* state = result_ ? PQresultErrorField(result_, PG_DIAG_SQLSTATE) : nullptr;
    return state ? state : "";
}

int PgResult::rows() const {
    return result_ ? PQntuples(result_) : 0;
}

bool PgResult::IsNull(int row, int column) const {
    return PQgetisnull(result_, row, column) != 0;
}

std::string PgResult::Text(int row, int column) const {
    return std::string(PQgetvalue(result_, row, column), size_t(PQgetlength(result_, row, column)));
}

long long PgResult::Integer(int row, int column) const {
    return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10);
}

std::string PgResult::Bytes(int row, int column) const {
    size_t length = 0;
    unsigned char* bytes =
        PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(result_, row, column)),
                        &length);
    if (!bytes) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(bytes), length);
    PQfreemem(bytes);
    return text;
}

PgConnection::~PgConnection() {
    Close();
}

void PgConnection::Close() {
    if (conn_) {
        PQfinish(conn_);
        conn_ = nullptr;
    }
}

bool PgConnection::connected() const {
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

bool PgConnection::Connect(const std::string& conninfo, int timeoutMs) {
    Close();
    error_.clear();
    auto given = Keywords(conninfo, error_);
    if (!given) {
        return false;
    }
    // The user's string first, expanded; then what the tool adds where the
    // user said nothing: libpq's own time-out for each address tried (our
    // deadline below bounds the whole), and a name the server's
    // administrator sees in pg_stat_activity.
    std::vector<const char*> keys{"dbname"};
    std::vector<const char*> values{conninfo.c_str()};
    std::string seconds = std::to_string(std::max(2, (timeoutMs + 999) / 1000));
    if (!given->count("connect_timeout")) {
        keys.push_back("connect_timeout");
        values.push_back(seconds.c_str());
    }
    // A server that vanishes in the middle of a statement (a cable pulled,
    // a laptop leaving the workshop's network) would otherwise hold the
    // caller until the system gives the connection up, hours later: TCP
    // keepalives find a dead peer in about half a minute, and unsent data
    // left unacknowledged for 30 s ends the connection (Linux).
    const char* defaults[][2] = {{"application_name", "k57tool"},
                                 {"keepalives", "1"},
                                 {"keepalives_idle", "10"},
                                 {"keepalives_interval", "5"},
                                 {"keepalives_count", "3"},
                                 {"tcp_user_timeout", "30000"}};
    for (const auto& [key, value] : defaults) {
        if (!given->count(key)) {
            keys.push_back(key);
            values.push_back(value);
        }
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    conn_ = PQconnectStartParams(keys.data(), values.data(), 1);
    if (!conn_ || PQstatus(conn_) == CONNECTION_BAD) {
        error_ = conn_ ? OneLine(PQerrorMessage(conn_)) : "out of memory";
        Close();
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
    while (polling != PGRES_POLLING_OK && polling != PGRES_POLLING_FAILED) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        int ready = left > 0 ? WaitForSocket(PQsocket(conn_),
                                             polling == PGRES_POLLING_WRITING, int(left))
                             : 0;
        if (ready == 0) {
            error_ = "no answer within " + std::to_string((timeoutMs + 500) / 1000) + " s";
            Close();
            return false;
        }
        polling = PQconnectPoll(conn_);
    }
    if (polling == PGRES_POLLING_FAILED) {
        error_ = OneLine(PQerrorMessage(conn_));
        Close();
        return false;
    }
    // The server's notices ("schema k57 already exists, skipping") are for
    // psql's users, not ours.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    return true;
}

PgResult PgConnection::Exec(const std::string& sql, const std::vector<PgParam>& params) {
    if (!conn_) {
        return PgResult();
    }
    if (params.empty()) {
        // Several statements at once (a schema's step) go only this way.
        return PgResult(PQexec(conn_, sql.c_str()));
    }
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const PgParam& param : params) {
        values.push_back(param.value ? param.value->data() : nullptr);
        lengths.push_back(param.value ? int(param.value->size()) : 0);
        formats.push_back(param.binary ? 1 : 0);
    }
    return PgResult(PQexecParams(conn_, sql.c_str(), int(params.size()), nullptr, values.data(),
                                 lengths.data(), formats.data(), 0));
}

bool PgConnection::Run(const std::string& sql, const std::vector<PgParam>& params) {
    PgResult result = Exec(sql, params);
    if (!result.ok()) {
        error_ = conn_ && PQstatus(conn_) == CONNECTION_BAD ? OneLine(PQerrorMessage(conn_))
                                                            : result.error();
        return false;
    }
    return true;
}

std::string ShownServer(const std::string& conninfo, std::string& error) {
    auto given = Keywords(conninfo, error);
    if (!given) {
        return {};
    }
    auto value = [&](const char* key, const char* environment, const char* otherwise) {
        auto found = given->find(key);
        if (found != given->end() && !found->second.empty()) {
            return found->second;
        }
        const char* set = std::getenv(environment);
        return std::string(set && *set ? set : otherwise);
    };
    std::string host = value("host", "PGHOST", "");
    if (host.empty()) {
        host = value("hostaddr", "PGHOSTADDR", "localhost");
    }
    std::string user = value("user", "PGUSER", "");
    return host + ":" + value("port", "PGPORT", "5432") + "/" +
           value("dbname", "PGDATABASE", user.empty() ? "postgres" : user.c_str());
}

}  // namespace k57
