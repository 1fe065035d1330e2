#include "UnitCertificate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <set>

#include "BatchSummary.h"
#include "CertificatePage.h"
#include "ParameterList.h"
#include "SafeSave.h"
#include "SettingsLines.h"
#include "SettingsMask.h"
#include "UnitText.h"

namespace k57 {

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString ResultText(BatchUnitResult::Result result) {
    switch (result) {
        case BatchUnitResult::Result::Ok:
            return QCoreApplication::translate("UnitCertificate", "успешно");
        case BatchUnitResult::Result::Failed:
            return QCoreApplication::translate("UnitCertificate", "ошибка");
        case BatchUnitResult::Result::Skipped:
            break;
    }
    return QCoreApplication::translate("UnitCertificate", "пропущен");
}

// Local time, with its offset from UTC: a certificate is read far from the
// PC that wrote it.
QString LocalTimeText(std::chrono::system_clock::time_point time) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count());
    const int offset = local.offsetFromUtc();
    const QString sign = offset < 0 ? "-" : "+";
    const int minutes = std::abs(offset) / 60;
    return local.toString("yyyy-MM-dd HH:mm:ss") + QString(" (UTC%1%2:%3)")
                                                       .arg(sign)
                                                       .arg(minutes / 60, 2, 10, QChar('0'))
                                                       .arg(minutes % 60, 2, 10, QChar('0'));
}

std::vector<CertificateLine> Facts(const BatchUnitResult& unit, const CertificateFacts& facts) {
    std::vector<CertificateLine> lines = {
        {QCoreApplication::translate("UnitCertificate", "Тип блока"), FromUnit(unit.unitType)},
        {QCoreApplication::translate("UnitCertificate", "Серийный номер"),
         unit.serial ? QString::number(*unit.serial) : QString("—")},
        {QCoreApplication::translate("UnitCertificate", "Прошивка до"),
         FromUnit(unit.firmwareBefore)},
        {QCoreApplication::translate("UnitCertificate", "Прошивка после"),
         FromUnit(unit.firmwareAfter)},
        {QCoreApplication::translate("UnitCertificate", "Результат"), ResultText(unit.result)},
        {QCoreApplication::translate("UnitCertificate", "Проверка чтением"),
         unit.verified ? QCoreApplication::translate("UnitCertificate", "подтверждена")
                       : QCoreApplication::translate("UnitCertificate", "не подтверждена")},
    };
    if (!unit.reason.empty()) {
        lines.push_back(
            {QCoreApplication::translate("UnitCertificate", "Причина"), Utf8(unit.reason)});
    }
    if (!unit.advice.empty()) {
        lines.push_back(
            {QCoreApplication::translate("UnitCertificate", "Что делать"), Utf8(unit.advice)});
    }
    lines.push_back(
        {QCoreApplication::translate("UnitCertificate", "Время"), LocalTimeText(unit.finished)});
    lines.push_back({QCoreApplication::translate("UnitCertificate", "Порт"), Utf8(unit.port)});
    lines.push_back({QCoreApplication::translate("UnitCertificate", "Компьютер"), Utf8(facts.pc)});
    lines.push_back(
        {QCoreApplication::translate("UnitCertificate", "Пользователь"), Utf8(facts.user)});
    lines.push_back({QCoreApplication::translate("UnitCertificate", "Партия"), Utf8(facts.batch)});
    lines.push_back(
        {QCoreApplication::translate("UnitCertificate", "Шаблон"), Utf8(facts.templateName)});
    lines.push_back(
        {QCoreApplication::translate("UnitCertificate", "Файл значений"), Utf8(facts.valuesName)});
    lines.push_back({QCoreApplication::translate("UnitCertificate", "Строка файла значений"),
                     unit.row > 0
                         ? QString::number(unit.row)
                         : QCoreApplication::translate("UnitCertificate", "нет, только шаблон")});
    if (unit.entry > 0) {
        lines.push_back({QCoreApplication::translate("UnitCertificate", "Запись журнала"),
                         QString::number(unit.entry)});
    }
    return lines;
}

// The parameters the written text sets, in the catalogue's order, by the
// catalogue's names: an enumeration by its item's text, the PIN and phone
// numbers masked as every shown entry masks them.
std::vector<CertificateLine> Settings(const std::string& written, const ParameterList& catalogue) {
    std::set<std::string> keys;
    for (const TextLine& line : SplitLines(UntilNul(written))) {
        const size_t equals = line.text.find('=');
        if (equals != std::string_view::npos) {
            keys.insert(std::string(line.text.substr(0, equals)));
        }
    }
    ParameterList values = catalogue;
    values.SetValuesFromText(written);
    std::vector<CertificateLine> lines;
    for (int i = 0; i < values.ParameterCount(); ++i) {
        const Parameter& parameter = values.ParameterAt(i);
        if (keys.count(parameter.key)) {
            lines.push_back(
                {FromUnit(parameter.name),
                 FromUnit(MaskSettingValue(parameter.key, values.DisplayValue(parameter.key)))});
        }
    }
    return lines;
}

}  // namespace

std::string CertificateFileName(const BatchUnitResult& unit) {
    const std::string serial = unit.serial ? std::to_string(*unit.serial) : "unknown";
    return "K57-" + serial + "-" + LocalStamp(unit.finished) + ".pdf";
}

bool WriteCertificate(const std::string& path, const BatchUnitResult& unit,
                      const ParameterList& catalogue, const CertificateFacts& facts,
                      std::string& error) {
    CertificateSheet sheet;
    sheet.title =
        QCoreApplication::translate("UnitCertificate", "Сертификат программирования блока");
    sheet.facts = Facts(unit, facts);
    sheet.settingsTitle = QCoreApplication::translate("UnitCertificate", "Записанные настройки");
    sheet.nameHeading = QCoreApplication::translate("UnitCertificate", "Параметр");
    sheet.valueHeading = QCoreApplication::translate("UnitCertificate", "Значение");
    sheet.settings = Settings(unit.written, catalogue);
    sheet.note =
        sheet.settings.empty()
            ? QCoreApplication::translate("UnitCertificate", "Настройки не записывались.")
            : QCoreApplication::translate("UnitCertificate", "PIN-код и номера телефонов скрыты.");
    const QByteArray pdf = CertificatePdf(sheet);
    if (pdf.isEmpty()) {
        error = QCoreApplication::translate("UnitCertificate",
                                            "PDF не построен: программе недоступны шрифты")
                    .toStdString();
        return false;
    }
    return SafeSave(path, std::string_view(pdf.constData(), size_t(pdf.size())), error,
                    SaveAccess::Shared);
}

}  // namespace k57
