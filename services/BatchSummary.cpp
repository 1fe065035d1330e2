#include "BatchSummary.h"

#include <ctime>
#include <filesystem>
#include <iterator>

#include "Cp1251.h"
#include "CsvRecords.h"
#include "ProgramText.h"
#include "SafeSave.h"
#include "TextArguments.h"

namespace k57 {

namespace {

std::tm Broken(std::chrono::system_clock::time_point time, bool local) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
#ifdef _WIN32
    local ? localtime_s(&parts, &seconds) : gmtime_s(&parts, &seconds);
#else
    local ? localtime_r(&seconds, &parts) : gmtime_r(&seconds, &parts);
#endif
    return parts;
}

std::string Format(std::chrono::system_clock::time_point time, bool local, const char* format) {
    const std::tm parts = Broken(time, local);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

bool Exists(const std::string& path) {
    std::error_code code;
    return std::filesystem::exists(std::filesystem::u8path(path), code);
}

}  // namespace

std::string LocalStamp(std::chrono::system_clock::time_point time) {
    return Format(time, true, "%Y%m%d-%H%M%S");
}

std::string UtcIsoText(std::chrono::system_clock::time_point time) {
    return Format(time, false, "%Y-%m-%dT%H:%M:%SZ");
}

BatchSummary::BatchSummary(const std::string& folder, std::chrono::system_clock::time_point started)
    : path_((std::filesystem::u8path(folder) / ("batch-" + LocalStamp(started) + ".csv"))
                .u8string()) {}

const char* BatchSummary::Header() {
    return "time,port,serial,type,firmware_before,firmware_after,result,verified,row,reason,"
           "certificate\r\n";
}

std::string BatchSummary::Line(const BatchUnitResult& unit, const std::string& certificate) {
    const std::string fields[] = {
        UtcIsoText(unit.finished),
        unit.port,
        unit.serial ? std::to_string(*unit.serial) : std::string(),
        cp1251::ToUtf8(unit.unitType),
        cp1251::ToUtf8(unit.firmwareBefore),
        cp1251::ToUtf8(unit.firmwareAfter),
        ResultCode(unit.result),
        unit.verified ? "yes" : "no",
        unit.row > 0 ? std::to_string(unit.row) : std::string(),
        unit.reason,
        certificate,
    };
    std::string line;
    for (size_t i = 0; i < std::size(fields); ++i) {
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return line + "\r\n";
}

bool BatchSummary::Start(std::string& error) {
    if (Exists(path_)) {
        error = WithArguments(K57_TR("BatchSummary", "файл %1 уже есть, он оставлен как есть"),
                              {path_});
        return false;
    }
    text_ = Header();
    return SafeSave(path_, text_, error, SaveAccess::Shared);
}

bool BatchSummary::Add(const BatchUnitResult& unit, const std::string& certificate,
                       std::string& error) {
    text_ += Line(unit, certificate);
    return SafeSave(path_, text_, error, SaveAccess::Shared);
}

}  // namespace k57
