#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace k57 {

// One parameter of a statement: its text, or bytes sent as they are
// (binary, for bytea); nothing for NULL.
struct PgParam {
    std::optional<std::string> value;
    bool binary = false;
};

// A statement's result; nothing here throws.
class PgResult {
  public:
    PgResult() = default;
    explicit PgResult(pg_result* result);
    ~PgResult();
    PgResult(PgResult&& other) noexcept;
    PgResult& operator=(PgResult&& other) noexcept;

    // The command went through (with or without rows).
    bool ok() const;
    // The server's words when it did not; empty otherwise.
    std::string error() const;
    // The SQLSTATE of a failure ("42501": not allowed), empty if none.
    std::string state() const;
    int rows() const;
    bool IsNull(int row, int column) const;
    std::string Text(int row, int column) const;
    long long Integer(int row, int column) const;
    // A bytea column's bytes.
    std::string Bytes(int row, int column) const;

  private:
    pg_result* result_ = nullptr;
};

// One connection to a PostgreSQL server through libpq. The connection
// string is the user's (a conninfo or a URI; passwords from it, a password
// file or a service file, TLS by its sslmode); the connection is bounded in
// time so that a server that does not answer costs the caller no more than
// it allows.
class PgConnection {
  public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects, giving up after `timeoutMs` however the network behaves;
    // false with error() saying why (the server's own words, or none).
    bool Connect(const std::string& conninfo, int timeoutMs);
    bool connected() const;
    void Close();
    const std::string& error() const { return error_; }

    PgResult Exec(const std::string& sql, const std::vector<PgParam>& params = {});
    // Runs a command; false with error() set when it failed.
    bool Run(const std::string& sql, const std::vector<PgParam>& params = {});

  private:
    pg_conn* conn_ = nullptr;
    std::string error_;
};

// "host:port/database" for a connection string, never its password;
// empty with `error` when the string cannot be read.
std::string ShownServer(const std::string& conninfo, std::string& error);

// Waits until the socket can be read (or written, with `write`) or the
// time is up: 1 ready, 0 time up, -1 failure. One file per OS.
int WaitForSocket(int socket, bool write, int timeoutMs);

}  // namespace k57
