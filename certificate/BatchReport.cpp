#include "BatchReport.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

namespace k57 {

BatchReport::BatchReport(std::string folder, const ParameterList& catalogue, CertificateFacts facts,
                         std::chrono::system_clock::time_point started)
    : folder_(std::move(folder)),
      catalogue_(catalogue),
      facts_(std::move(facts)),
      summary_(folder_, started) {}

bool BatchReport::Start(std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(folder_), code);
    if (code) {
        error = QCoreApplication::translate("UnitCertificate", "папка %1 не создана: %2")
                    .arg(QString::fromStdString(folder_), QString::fromStdString(code.message()))
                    .toStdString();
        return false;
    }
    return summary_.Start(error);
}

bool BatchReport::Add(const BatchUnitResult& unit, std::string& error) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string certificate;
    std::string certificateError;
    if (unit.serial) {
        certificate = CertificateFileName(unit);
        const std::string path =
            (std::filesystem::u8path(folder_) / std::filesystem::u8path(certificate)).u8string();
        if (!WriteCertificate(path, unit, catalogue_, facts_, certificateError)) {
            certificate.clear();
        }
    }
    std::string summaryError;
    const bool summed = summary_.Add(unit, certificate, summaryError);
    error = certificateError;
    if (!summaryError.empty()) {
        error += (error.empty() ? "" : "; ") + summaryError;
    }
    return certificateError.empty() && summed;
}

}  // namespace k57
