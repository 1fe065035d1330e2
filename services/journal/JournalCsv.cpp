#include "JournalCsv.h"

#include <iterator>

#include "SettingsMask.h"
#include "UnitText.h"

namespace k57 {

namespace {

// A field as CSV has it. A text that a spreadsheet would take for a formula
// (a port name or detail beginning with "=", "+", "-" or "@") is led by an
// apostrophe so that opening the file never runs anything.
std::string Field(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::string("=+-@\t\r").find(field[0]) != std::string::npos) {
        field.insert(0, "'");
    }
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string FromUnitBytes(const std::string& bytes) {
    return FromUnit(bytes).toStdString();
}

std::string Settings(const std::optional<std::string>& text, bool reveal) {
    if (!text) {
        return {};
    }
    return FromUnitBytes(reveal ? *text : MaskSettings(*text));
}

}  // namespace

std::string JournalCsvHeader() {
    return "id,time,serial,type,firmware,operation,port,result,detail,tool,front end,"
           "settings before,settings after\r\n";
}

std::string JournalCsvRow(const JournalEntry& entry, bool reveal) {
    const std::string fields[] = {
        std::to_string(entry.id),
        JournalTimeText(entry.timeMs),
        entry.serial ? std::to_string(*entry.serial) : std::string(),
        FromUnitBytes(entry.unitType),
        FromUnitBytes(entry.firmware),
        JournalText(entry.operation),
        entry.port,
        JournalText(entry.result),
        entry.detail,
        entry.toolVersion,
        JournalText(entry.frontEnd),
        Settings(entry.before, reveal),
        Settings(entry.after, reveal),
    };
    std::string row;
    for (size_t i = 0; i < std::size(fields); ++i) {
        row += (i == 0 ? "" : ",") + Field(fields[i]);
    }
    return row + "\r\n";
}

}  // namespace k57
