#include "SettingsProblemLines.h"

#include <QCoreApplication>

#include "RussianPlural.h"
#include "SettingsMessages.h"
#include "UnitText.h"

namespace k57 {

// The main window's words, first said there: kept under its context, so
// their translations stay.

QString ProblemLine(const SettingsLine& line) {
    QString where = QCoreApplication::translate("TMainForm", "строка %1").arg(line.number);
    if (!line.key.empty()) {
        where += ", " + FromUnit(line.key);
    }
    return where + ": " +
           QString::fromStdString(WindowMessage(*line.problem, line.value, line.earlierLine));
}

QString FileProblem(SettingsFile::Problem problem, const std::string& detail) {
    using Problem = SettingsFile::Problem;
    switch (problem) {
        case Problem::TooLarge:
            return QCoreApplication::translate("TMainForm",
                                               "файл больше 1 МБ, это не файл настроек");
        case Problem::NulByte:
            return QCoreApplication::translate(
                "TMainForm", "в файле есть нулевой байт, это не текстовый файл настроек");
        case Problem::LongLine:
            return QCoreApplication::translate("TMainForm", "строка %1 длиннее %2")
                .arg(QString::fromStdString(detail), Bytes(SettingsFile::kMaxLine));
        default:
            return QString::fromStdString(detail);
    }
}

}  // namespace k57
