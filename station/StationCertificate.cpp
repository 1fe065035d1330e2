// "Сертификат…": a finished unit's certificate, a page of PDF, saved where
// the user says. Kept apart: the one place the window reaches the
// certificates.

#include <QFileInfo>

#include "BatchStationForm.h"
#include "UnitCertificate.h"
#include "Workstation.h"

void TBatchStationForm::SaveCertificate(int row) {
    if (row < 0 || size_t(row) >= board_.rows().size() || !board_.rows()[size_t(row)].result) {
        return;
    }
    const k57::BatchUnitResult& unit = *board_.rows()[size_t(row)].result;
    QString path = dialogs_.saveFileName(this, tr("сертификаты PDF | *.pdf"), "pdf",
                                         QString::fromStdString(k57::CertificateFileName(unit)));
    if (path.isEmpty()) {
        return;
    }
    k57::CertificateFacts facts;
    facts.pc = k57::ThisPc();
    facts.user = k57::ThisUser();
    facts.batch = batchMark_;
    facts.templateName = templateName_;
    facts.valuesName = valuesName_;
    std::string error;
    if (!k57::WriteCertificate(path.toStdString(), unit, catalogue_, facts, error)) {
        dialogs_.error(
            this,
            tr("Не удалось сохранить сертификат %1: %2").arg(path, QString::fromStdString(error)));
    }
}
