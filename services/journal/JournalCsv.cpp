#include "JournalCsv.h"

#include <iterator>

#include "CsvRecords.h"
#include "SettingsMask.h"
#include "UnitText.h"

namespace k57 {

namespace {

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
        row += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return row + "\r\n";
}

}  // namespace k57
