#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <string>

#include "BatchUnit.h"
#include "Cp1251.h"

namespace k57::test {

// What a reader of the PDF gets: poppler's tools (scripts/setup.sh
// installs them), as a technician's viewer or a records system would.
inline std::string PdfTool(const char* tool, const std::string& path) {
    QProcess process;
    QStringList arguments = {QString::fromStdString(path)};
    if (QString(tool) == "pdftotext") {
        arguments << "-";
    }
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return "<" + std::string(tool) +
               " failed: " + process.readAllStandardError().toStdString() + ">";
    }
    return process.readAllStandardOutput().toStdString();
}

inline std::string PdfText(const std::string& path) {
    return PdfTool("pdftotext", path);
}

inline int PdfPages(const std::string& path) {
    const QRegularExpressionMatch pages =
        QRegularExpression(R"(Pages:\s+(\d+))")
            .match(QString::fromStdString(PdfTool("pdfinfo", path)));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// A unit written with its PIN, two owners' phone numbers, a number and an
// enumeration among its settings.
inline BatchUnitResult WrittenUnit() {
    BatchUnitResult unit;
    unit.result = BatchUnitResult::Result::Ok;
    unit.verified = true;
    unit.port = "COM5";
    unit.serial = 4021337;
    unit.unitType = *cp1251::FromUtf8("K57 Охрана");
    unit.firmwareBefore = "000.009";
    unit.firmwareAfter = "000.010";
    unit.row = 3;
    unit.written =
        "PinCod=4829\nUserNumber1=+79161234567\nUserNumber2=+79037654321\nMicLevel=11\n"
        "CanMode=2\n";
    unit.entry = 77;
    unit.finished = std::chrono::system_clock::from_time_t(1796795496);  // 2026-12-09 05:51:36 UTC
    return unit;
}

}  // namespace k57::test
