#include "SupportReport.h"

#include <QString>
#include <QSysInfo>
#include <QtGlobal>
#include <algorithm>
#include <cctype>

#include "Cp1251.h"
#include "FrameTrace.h"
#include "Journal.h"
#include "SettingsMask.h"
#include "TraceFormat.h"
#include "Version.h"

namespace k57 {

namespace {

// A log line about a private setting ("строка 3, PinCod: ...") may quote
// its value: every digit after the key's name is masked.
std::string MaskedLogLine(std::string line) {
    size_t word = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        bool alnum = i < line.size() && std::isalnum(static_cast<unsigned char>(line[i]));
        if (alnum) {
            continue;
        }
        if (i > word && IsPrivateSetting(line.substr(word, i - word))) {
            std::replace_if(line.begin() + long(i), line.end(),
                            [](char c) { return c >= '0' && c <= '9'; }, '*');
            break;
        }
        word = i + 1;
    }
    return line;
}

std::string Utf8(const std::string& unitText) {
    return cp1251::ToUtf8(unitText);
}

void Section(std::string& report, const std::string& heading) {
    report += "\n== " + heading + " ==\n";
}

void JournalSection(std::string& report, const SupportReportInput& input) {
    Section(report, "Service journal");
    if (!input.journal || !input.journal->Available()) {
        report += "(no service journal on this computer)\n";
        return;
    }
    if (!input.unit.serial) {
        report += "(the unit's serial number has not been read)\n";
        return;
    }
    std::vector<JournalEntry> entries = input.journal->Timeline(*input.unit.serial);
    if (input.journal->lastCallFailed()) {
        report += "(the journal could not be read: " + input.journal->Status().message + ")\n";
        return;
    }
    if (entries.empty()) {
        report += "(nothing about unit " + std::to_string(*input.unit.serial) + ")\n";
    }
    // Settings texts stay out: they hold the PIN and the phone numbers.
    for (const JournalEntry& e : entries) {
        report += JournalTimeText(e.timeMs) + "  " + JournalText(e.operation) + "  " +
                  JournalText(e.result) + "  " + e.port + "  " + JournalText(e.frontEnd) + "  " +
                  Utf8(e.unitType) + " " + Utf8(e.firmware) + "  " + e.toolVersion +
                  (e.detail.empty() ? "" : "  " + e.detail) + "\n";
    }
}

}  // namespace

std::vector<std::string> MaskedTraceLines(const std::vector<TraceEntry>& entries) {
    std::vector<std::string> lines;
    for (const TraceEntry& entry : entries) {
        TraceEntry masked = entry;
        frametrace::MaskPrivate(masked);
        for (std::string& line : FormatTrace(masked)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::string BuildSupportReport(const SupportReportInput& input) {
    std::string report = "K57 support report\n";
    Section(report, "Tool");
    report += VersionText(input.program.c_str()) + "\n";
    report += "Operating system: " + QSysInfo::prettyProductName().toStdString() + " (" +
              QSysInfo::kernelType().toStdString() + " " +
              QSysInfo::kernelVersion().toStdString() + ", " +
              QSysInfo::currentCpuArchitecture().toStdString() + ")\n";
    report += std::string("Qt: ") + qVersion() + " (built with " + QT_VERSION_STR + ")\n";

    Section(report, "Port");
    report += (input.port.empty() ? "(none)" : input.port) + ", " + input.portSettings + "\n";

    Section(report, "Unit as last read");
    report += "Serial number: " +
              (input.unit.serial ? std::to_string(*input.unit.serial) : "(not read)") + "\n";
    std::string version = Utf8(input.unit.versionText);
    std::replace(version.begin(), version.end(), '\n', ' ');
    report += "Version: " + (version.empty() ? "(not read)" : version) + "\n";

    Section(report, "Trace (" + std::to_string(input.trace.size()) + " entries)");
    for (const std::string& line : MaskedTraceLines(input.trace)) {
        report += line + "\n";
    }

    Section(report, "Log");
    for (const std::string& line : input.log) {
        report += MaskedLogLine(line) + "\n";
    }

    JournalSection(report, input);
    return report;
}

}  // namespace k57
