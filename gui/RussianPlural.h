#pragma once

#include <QString>

namespace k57 {

// A count with its noun in the form Russian takes after it: the `one` form
// after 1, 21, 101…, `few` after 2-4, 22-24…, `many` after 0, 5-20, 25…:
// Counted(3, "байт", "байта", "байт") is "3 байта".
QString Counted(qint64 count, const char* one, const char* few, const char* many);

// "1 байт", "3 байта", "5 байт"; "1 byte", "3 bytes" in English.
QString Bytes(qint64 count);

// Journal entries: "1 запись", "3 записи", "5 записей"; and with the verb
// agreeing, "1 запись ждёт", "3 записи ждут" ("1 entry waits" in English).
QString Entries(qint64 count);
QString EntriesWait(qint64 count);

}  // namespace k57
