#include "ServerSchema.h"

#include "PgConnection.h"

namespace k57 {

namespace {

// Released steps never change; a later version adds a step at the end.
// Unit texts (type, firmware) and settings are bytea: the unit's
// Windows-1251 bytes, never taken for text. The server's sequence (seq)
// orders what each PC pulls; pushed_by is the login that sent an entry,
// whatever the entry says about its user.
const char* const kSteps[] = {
    R"sql(
CREATE TABLE k57.journal_info (
    one boolean PRIMARY KEY DEFAULT true CHECK (one),
    version integer NOT NULL,
    journal_id uuid NOT NULL DEFAULT gen_random_uuid()
);
INSERT INTO k57.journal_info (version) VALUES (0);
CREATE TABLE k57.entries (
    seq bigserial PRIMARY KEY,
    uuid uuid NOT NULL UNIQUE,
    time_ms bigint NOT NULL,
    serial bigint,
    unit_type bytea NOT NULL,
    firmware bytea NOT NULL,
    operation text NOT NULL,
    port text NOT NULL,
    result text NOT NULL,
    detail text NOT NULL,
    tool_version text NOT NULL,
    front_end text NOT NULL,
    pc text NOT NULL,
    user_name text NOT NULL,
    before bytea,
    after bytea,
    received timestamptz NOT NULL DEFAULT now(),
    pushed_by text NOT NULL DEFAULT current_user
);
CREATE INDEX entries_by_unit ON k57.entries (serial, seq);
)sql",
};

constexpr int kStepCount = sizeof(kSteps) / sizeof(kSteps[0]);
static_assert(kStepCount == kServerSchemaVersion);

// The roles and what they may do: run after every step, so grants cover
// the tables a step adds. The journal is append-only for technicians:
// INSERT and SELECT only, on the server as everywhere.
constexpr const char* kGrants = R"sql(
DO $$
BEGIN
    -- Roles belong to the whole server: another database's journal may be
    -- making them at this moment.
    BEGIN
        CREATE ROLE k57_technician NOLOGIN;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
    BEGIN
        CREATE ROLE k57_admin NOLOGIN;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
END
$$;
REVOKE ALL ON SCHEMA k57 FROM PUBLIC;
GRANT USAGE ON SCHEMA k57 TO k57_technician, k57_admin;
REVOKE ALL ON ALL TABLES IN SCHEMA k57 FROM k57_technician;
GRANT SELECT ON k57.journal_info TO k57_technician;
GRANT SELECT, INSERT ON k57.entries TO k57_technician;
GRANT USAGE ON SEQUENCE k57.entries_seq_seq TO k57_technician;
GRANT ALL ON ALL TABLES IN SCHEMA k57 TO k57_admin;
GRANT ALL ON ALL SEQUENCES IN SCHEMA k57 TO k57_admin;
)sql";

std::string StepSql(int index) {
    return std::string(kSteps[index]) + "UPDATE k57.journal_info SET version = " +
           std::to_string(index + 1) + ";\n";
}

}  // namespace

std::string ServerJournalSql() {
    std::string sql = "BEGIN;\nCREATE SCHEMA IF NOT EXISTS k57;\n";
    for (int i = 0; i < kStepCount; ++i) {
        sql += "-- version " + std::to_string(i + 1) + "\n" + StepSql(i);
    }
    return sql + kGrants + "COMMIT;\n";
}

bool InitServerJournal(PgConnection& server, std::string& error) {
    // One administrator at a time: a second init waits for the first.
    if (!server.Run("BEGIN") || !server.Run("SELECT pg_advisory_xact_lock(57000)") ||
        !server.Run("CREATE SCHEMA IF NOT EXISTS k57")) {
        error = server.error();
        server.Run("ROLLBACK");
        return false;
    }
    // Before the first step the table is missing; a query on it would fail
    // and end the transaction, so the catalogue is asked.
    PgResult exists = server.Exec("SELECT to_regclass('k57.journal_info') IS NOT NULL");
    long long version = 0;
    if (!exists.ok()) {
        error = exists.error();
        server.Run("ROLLBACK");
        return false;
    }
    if (exists.Text(0, 0) == "t") {
        PgResult current = server.Exec("SELECT version FROM k57.journal_info");
        if (!current.ok() || current.rows() != 1) {
            error = current.ok() ? "the server's journal has no version" : current.error();
            server.Run("ROLLBACK");
            return false;
        }
        version = current.Integer(0, 0);
    }
    if (version > kServerSchemaVersion) {
        error = "the server's journal is of a newer version (" + std::to_string(version) +
                ") than this tool knows (" + std::to_string(kServerSchemaVersion) +
                "); it was left alone";
        server.Run("ROLLBACK");
        return false;
    }
    for (int i = int(version); i < kStepCount; ++i) {
        if (!server.Run(StepSql(i))) {
            error = server.error();
            server.Run("ROLLBACK");
            return false;
        }
    }
    if (!server.Run(kGrants) || !server.Run("COMMIT")) {
        error = server.error();
        server.Run("ROLLBACK");
        return false;
    }
    return true;
}

ServerJournal CheckServerJournal(PgConnection& server) {
    ServerJournal journal;
    PgResult info = server.Exec("SELECT version, journal_id FROM k57.journal_info");
    if (!info.ok()) {
        // 42P01: no such table; 3F000: no such schema; 42501: not allowed.
        std::string state = info.state();
        journal.problem =
            state == "42P01" || state == "3F000"
                ? "the server has no journal yet: its administrator runs "
                  "k57ctl journal init-server with the server's address"
            : state == "42501"
                ? "this login may not use the server's journal: its administrator grants it "
                  "the role k57_technician"
                : info.error();
        return journal;
    }
    if (info.rows() != 1) {
        journal.problem = "the server's journal has no version";
        return journal;
    }
    long long version = info.Integer(0, 0);
    if (version > kServerSchemaVersion) {
        journal.problem = "the server's journal is of a newer version (" +
                          std::to_string(version) + ") than this tool knows (" +
                          std::to_string(kServerSchemaVersion) + "): update the tool";
        return journal;
    }
    if (version < kServerSchemaVersion) {
        journal.problem = "the server's journal is of an older version (" +
                          std::to_string(version) +
                          "): its administrator runs k57ctl journal init-server again";
        return journal;
    }
    journal.journalId = info.Text(0, 1);
    journal.usable = true;
    return journal;
}

}  // namespace k57
