#pragma once

#include <fstream>
#include <string>

#include "Journal.h"

namespace k57::test {

// A journal at `path` whose first page (header and schema) is whole and
// whose middle is garbage: it opens, and the first query meets the damage.
// Unit 4000000001 has entries in it.
inline void DamageTheMiddle(const std::string& path) {
    {
        Journal journal(path);
        JournalEntry entry;
        entry.serial = 4000000001u;
        entry.operation = JournalOperation::Backup;
        entry.port = "COM5";
        for (int i = 0; i < 60; ++i) {
            entry.before = std::string(2000, char('a' + i % 26)) + std::to_string(i);
            journal.Record(entry);
        }
    }  // the last connection's close moves the log into the file
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(0, std::ios::end);
    const long size = long(file.tellp());
    const long page = 4096;
    file.seekp(page);
    file << std::string(size_t(size - 2 * page), '\x5a');
}

}  // namespace k57::test
