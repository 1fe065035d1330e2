// The journal as a person reads it: every kind of detail the services and
// the front ends record told in Russian, none of its English left; details
// of no known pattern as recorded; times in the PC's local time.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <ctime>

#include "EmbeddedImages.h"
#include "FirmwareUpdate.h"
#include "Journal.h"
#include "JournalWords.h"
#include "PackageCheck.h"
#include "ParameterList.h"
#include "ServiceRecord.h"
#include "SettingsGuard.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"
#include "TestPackages.h"

using namespace k57;

namespace {

// The English the detail patterns are made of, as whole words.
const QRegularExpression kEnglish(
    "\\b(before|after|of|fragments|sent|written|back|confirmed|not|unit|holds|values|for|"
    "reading|settings|failed|read|learn|nothing|reached|batch|row|template|from|value|set|"
    "new|serial|number|port|search|the|start|version|check|got|reply|package|refused|key|"
    "backup|ok|bad|entry|target)\\b");

std::string English(const QString& shown) {
    return kEnglish.match(shown).captured(0).toStdString();
}

// Every detail the services record, each change guarded, through the
// services themselves; the front ends' own details as they write them.
std::vector<std::string> RecordedDetails(const std::string& journalPath) {
    ServiceRecord record(JournalFrontEnd::Ctl, journalPath);
    ParameterList catalogue{test::ShippedCatalogue()};
    test::TempDir keysDir;
    const TrustedKeys keys = TrustedKeys::Load(keysDir.path());
    const PackageCheck good = CheckPackageBytes(test::FirmwarePackage("000.010"), {}, keys);
    const PackageCheck refused =
        CheckPackageBytes(test::FirmwarePackage("000.010"), package::Kind::Sound, keys);
    const images::Firmware firmware = images::LoadFirmware();
    for (JournalOperation change :
         {JournalOperation::WriteSettings, JournalOperation::FirmwareUpdate,
          JournalOperation::SoundUpdate, JournalOperation::Restore}) {
        SettingsGuard guard(record, change);
        if (change == JournalOperation::Restore) {
            guard.RestoresEntry(12);  // "entry 12; …"
        }
        guard.KeepBackup();                            // "before …"
        guard.Written(catalogue, "batch B-7: row 3");  // the read back failed
        guard.Differences(catalogue);                  // "after …"
        guard.Restored(catalogue);                     // "backup written back after …"
        FirmwareUpdate update(firmware);
        guard.Changed(update, PackageJournalDetail(good));  // "0 of N fragments sent; package …"
        guard.Changed(update);
    }
    WriteCheck check;
    for (WriteCheck::State state :
         {WriteCheck::State::NotSent, WriteCheck::State::Confirmed, WriteCheck::State::Differs}) {
        check.state = state;
        check.differing = {"MicLevel", "KickSens"};
        record.Record(JournalOperation::WriteSettings, "COM5", JournalResultOf(check),
                      "batch B-7: template; " + JournalDetail(check));
    }
    record.Record(JournalOperation::FirmwareUpdate, "COM5", JournalResult::NotSent,
                  PackageRefusalDetail(refused));
    for (const char* detail : {"port search", "before the start", "the version check got no reply",
                               "new serial number 4000000001",
                               "from /tmp/a b.txt; written and "
                               "confirmed",
                               "2 value(s) set; written and confirmed",
                               "5 of 5 fragments sent; target version 000.010"}) {
        record.Record(JournalOperation::Identify, "COM5", JournalResult::Ok, detail);
    }
    std::vector<std::string> details;
    Journal journal(journalPath);
    for (long long id = 1; auto entry = journal.Entry(id); ++id) {
        details.push_back(entry->detail);
    }
    return details;
}

TEST(JournalWordsTest, EveryRecordedDetailIsToldInRussian) {
    test::TempDir dir;
    std::vector<std::string> details = RecordedDetails(dir.path() + "/journal.sqlite3");
    ASSERT_GE(details.size(), 30u);
    for (const std::string& detail : details) {
        QString shown = DetailWords(detail);
        EXPECT_EQ(English(shown), "") << detail << "\n  -> " << shown.toStdString();
    }
}

TEST(JournalWordsTest, DetailsKeepTheirNumbersNamesAndUnknownWords) {
    EXPECT_EQ(DetailWords("92 of 92 fragments sent; package blake2b-256 ab12, version 000.010, "
                          "key 00ff")
                  .toStdString(),
              "отправлено 92 из 92 фрагментов; пакет blake2b-256 ab12, версия 000.010, "
              "ключ 00ff");
    EXPECT_EQ(DetailWords("before firmware update").toStdString(), "перед обновлением прошивки");
    EXPECT_EQ(DetailWords("batch B-7: x: row 12; not confirmed: the unit holds other values for "
                          "MicLevel, KickSens")
                  .toStdString(),
              "партия B-7: x: строка 12; не подтверждено: устройство хранит другие значения "
              "параметров MicLevel, KickSens");
    // A refusal's English reason may hold "; " itself: the verdict tells it.
    EXPECT_EQ(DetailWords("package refused (older-than-unit): the package's firmware 000.009 is "
                          "older than the unit's 000.010; --allow-downgrade installs it anyway; "
                          "package blake2b-256 ab12")
                  .toStdString(),
              "пакет отклонён: в устройстве версия новее; пакет blake2b-256 ab12");
    EXPECT_EQ(DetailWords("3 lines; before identify; something new").toStdString(),
              "3 lines; before identify; something new");
    EXPECT_EQ(DetailWords("").toStdString(), "");
}

TEST(JournalWordsTest, CodesAreWordsAndTimesLocal) {
    EXPECT_EQ(OperationWords(JournalOperation::Backup).toStdString(), "резервная копия");
    EXPECT_EQ(ResultWords(JournalResult::NoReply).toStdString(), "нет ответа");
    EXPECT_EQ(FrontEndWords(JournalFrontEnd::Window).toStdString(), "окно");
    EXPECT_EQ(FrontEndWords(JournalFrontEnd::Ctl).toStdString(), "k57ctl");
    for (int i = 0; i <= int(JournalOperation::Backup); ++i) {
        EXPECT_EQ(English(OperationWords(JournalOperation(i))), "")
            << JournalText(JournalOperation(i));
    }
    for (int i = 0; i <= int(JournalResult::NotSent); ++i) {
        EXPECT_EQ(English(ResultWords(JournalResult(i))), "") << JournalText(JournalResult(i));
    }

#ifndef _WIN32  // Windows takes its zone from the system, not from TZ
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Asia/Yekaterinburg");  // UTC+5 all year
    tzset();
    EXPECT_EQ(LocalTimeText(1714555800123).toStdString(), "2024-05-01T14:30:00.123+05:00");
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    tzset();
#endif
}

}  // namespace
