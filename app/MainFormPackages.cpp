// The main window's updates from signed packages: the package is verified
// before anything else, shown and asked about; then the update runs as the
// built-in images' do, with its backup, and its journal entry names the
// package. A package turned away reaches nothing of the unit.

#include <QAction>
#include <QFileInfo>
#include <QTemporaryFile>

#include "MainForm.h"
#include "PackageText.h"
#include "TrustedKeys.h"
#include "UnitText.h"
#include "ui_MainForm.h"

void TMainForm::PackageUpdateClick() {
    if (!device_.get() || busyWithUnit()) {
        return;
    }
    QString path = dialogs_.openFileName(this, tr("пакеты обновления | *.k57pkg"), "k57pkg");
    if (path.isEmpty()) {
        return;
    }
    packageName_ = QFileInfo(path).fileName();
    k57::TrustedKeys keys = k57::TrustedKeys::Load();
    k57::PackageCheck check = k57::CheckPackageFile(path.toStdString(), std::nullopt, keys);
    // Nothing is known of a package whose manifest is not the publisher's:
    // its refusal is journaled as a firmware update's.
    const bool sound = check.signedManifest && check.manifest.kind == k57::package::Kind::Sound;
    const k57::JournalOperation operation =
        sound ? k57::JournalOperation::SoundUpdate : k57::JournalOperation::FirmwareUpdate;
    if (!check.good()) {
        record_.Record(operation, device_.get()->PortName(), k57::JournalResult::NotSent,
                       k57::PackageRefusalDetail(check));
        guarded_.Tell(this);
        TellRefusal(check);
        return;
    }
    const QString what =
        k57::PackageDescription(check, QString::fromStdString(keys.Source(check.keyId)));
    const QString question =
        sound ? tr("Записать звуковые данные из пакета %1?\n\n%2\n\n"
                   "Старые данные будут удалены безвозвратно!")
              : tr("Обновить прошивку из пакета %1?\n\n%2\n\n"
                   "После обновления возможно произойдет сброс настроек.\n"
                   "Рекомендуется сохранить текущие настройки. (Кнопка \"Сохранить в файл\").");
    if (dialogs_.message(this, tr("Внимание"), question.arg(packageName_, what),
                         k57::Buttons::OkCancel) != k57::Answer::Ok) {
        return;
    }
    Log(tr("Пакет %1 проверен: версия %2, ключ %3.")
            .arg(packageName_, QString::fromStdString(check.manifest.version),
                 QString::fromStdString(k57::package::Hex(check.keyId))));
    if (!sound) {
        // Older firmware goes on to the question after the version check.
        packageFirmware_ = std::make_unique<k57::PackageFirmwareUpdate>(std::move(check), true);
        StartUpdate(k57::JournalOperation::FirmwareUpdate,
                    [this] { update_.Start(*packageFirmware_); });
        return;
    }
    // The sound update reads its image from a file at every transfer: the
    // verified bytes are put aside, and that copy is what is sent.
    packageSound_.reset();
    packageSoundFile_ = std::make_unique<QTemporaryFile>();
    const std::string& image = check.image;
    if (!packageSoundFile_->open() ||
        packageSoundFile_->write(image.data(), qint64(image.size())) != qint64(image.size()) ||
        !packageSoundFile_->flush()) {
        Warn(tr("Ошибка"), tr("Проверенные звуковые данные не удалось сохранить во временный "
                                "файл: %1")
                                 .arg(packageSoundFile_->errorString()));
        return;
    }
    packageSound_ = std::make_unique<k57::SoundUpdate>(packageSoundFile_->fileName().toStdString());
    packageSoundDetail_ = k57::PackageJournalDetail(check);
    StartSound(*packageSound_);
}

void TMainForm::TellRefusal(const k57::PackageCheck& check, const QString& unitVersion) {
    const QString why = k57::PackageRefusalText(check, unitVersion);
    Log(tr("Пакет %1 отклонён: %2 Устройству ничего не передано.").arg(packageName_, why));
    Warn(tr("Ошибка"), tr("Пакет %1 отклонён.\n%2").arg(packageName_, why));
}

std::string TMainForm::UpdateSource(const k57::UpdateSteps* update) const {
    if (update && update == packageFirmware_.get()) {
        return packageFirmware_->JournalDetail();
    }
    if (update && update == packageSound_.get()) {
        return packageSoundDetail_;
    }
    return {};
}
