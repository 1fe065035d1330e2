// "Обновить из файла…" against the simulated unit: a package is verified
// before the unit is asked anything, shown for what it is, and asked about;
// the good one goes through the usual update with its backup, an older one
// only after a "Нет"-first question, and every refusal is told, journaled
// and sends nothing.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "Journal.h"
#include "MainForm.h"
#include "Messages.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "TempDir.h"
#include "TestPackages.h"
#include "WindowProbe.h"

using namespace orvan::tms::messages;

namespace {

using k57::test::Count;

class PackageWindowTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        // The built-in test key alone, whatever this machine trusts.
        qputenv("K57_TRUSTED_KEYS_DIR", QByteArray::fromStdString(keys_.path()));
        form = std::make_unique<TMainForm>(dialogs);
    }
    void TearDown() override { qunsetenv("K57_TRUSTED_KEYS_DIR"); }

    // Chooses the package `bytes` (saved as `name`) with answers to follow.
    void Choose(const char* name, const std::string& bytes, std::deque<k57::Answer> answers) {
        QString path = QString::fromStdString(files_.path()) + "/" + name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
        file.close();
        dialogs.files = {path};
        dialogs.answers = std::move(answers);
        form->findChild<QAction*>("PackageUpdateAction")->trigger();
    }
    QStringList Log() { return k57::test::LogLines(*form); }
    bool WaitForLog(const QString& start) {
        QRegularExpression line("^" + QRegularExpression::escape(start));
        return QTest::qWaitFor([&] { return !Log().filter(line).isEmpty(); }, 60000);
    }
    bool Settle() { return k57::test::Settle(form->Device()); }
    // The journal's entries of `operation`, oldest first.
    static std::vector<k57::JournalEntry> Entries(k57::JournalOperation operation) {
        k57::Journal journal;
        std::vector<k57::JournalEntry> found;
        for (long long id = 1; auto entry = journal.Entry(id); ++id) {
            if (entry->operation == operation) {
                found.push_back(*entry);
            }
        }
        return found;
    }

    k57::test::TempDir keys_, files_;
    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(PackageWindowTest, AGoodPackageIsShownAskedAboutAndInstalledWithItsBackup) {
    k57::sim::Unit& unit = Plug(5);  // firmware 000.008
    Choose("k57-000.010.k57pkg", k57::test::FirmwarePackage("000.010"),
           {k57::Answer::Ok, k57::Answer::No});
    ASSERT_TRUE(WaitForLog("Загрузка закончена."));
    ASSERT_TRUE(Settle());
    const std::string key = k57::package::Hex(k57::test::TestSecretKey().Public().Id());
    ASSERT_FALSE(dialogs.boxes.empty());
    const QString question = dialogs.boxes[0].text;
    EXPECT_TRUE(
        question.startsWith("Обновить прошивку из пакета k57-000.010.k57pkg?\n\n"
                            "Прошивка 000.010 для K57BT\nСоздан: "))
        << question.toStdString();
    EXPECT_TRUE(question.contains(
        QString::fromStdString("Подписан: ключ " + key + " (встроенный в программу)")));
    EXPECT_TRUE(question.contains("Исправлена работа с CAN"));
    EXPECT_FALSE(question.contains("CAN handling fixed"));
    EXPECT_EQ(Log().value(0),
              QString::fromStdString("Пакет k57-000.010.k57pkg проверен: версия 000.010, ключ " +
                                     key + "."));

    const std::string image = k57::test::FirmwareImage("000.010");
    std::vector<uint8_t> sent = unit.image();
    ASSERT_EQ(sent.size(), image.size() + 8);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), sent.begin() + 8,
                           [](char a, uint8_t b) { return uint8_t(a) == b; }));
    std::vector<k57::JournalEntry> updates = Entries(k57::JournalOperation::FirmwareUpdate);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].result, k57::JournalResult::Ok);
    EXPECT_NE(updates[0].detail.find("version 000.010, key " + key), std::string::npos)
        << updates[0].detail;
    EXPECT_EQ(Entries(k57::JournalOperation::Backup).size(), 1u);
}

// Each a file that must not reach a unit: nothing is asked of the unit, not
// even its settings for a backup.
TEST_F(PackageWindowTest, EveryBadPackageIsRefusedBeforeTheUnitIsAskedAnything) {
    k57::sim::Unit& unit = Plug(5);
    const std::string good = k57::test::FirmwarePackage("000.010");
    std::string changed = good;
    changed[changed.size() - 1] ^= 0x01;
    k57::package::SecretKey stranger;
    k57::package::PublicKey strangerPublic;
    ASSERT_TRUE(k57::package::GenerateKeys(stranger, strangerPublic));
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"changed", changed, "Данные пакета не те, что подписаны"},
        {"stranger",
         k57::test::MakePackage(k57::test::FirmwareManifest("000.010"),
                                k57::test::FirmwareImage("000.010"), stranger),
         "которому здесь не доверяют"},
        {"truncated", good.substr(0, good.size() / 2), "скопирован не полностью"},
        {"empty", "", "Файл пуст"},
    };
    for (const Case& c : cases) {
        dialogs.boxes.clear();
        Choose("bad.k57pkg", c.bytes, {});
        ASSERT_EQ(dialogs.boxes.size(), 1u) << c.name;
        EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Пакет bad.k57pkg отклонён.\n")) << c.name;
        EXPECT_TRUE(dialogs.boxes[0].text.contains(c.reason))
            << c.name << ": " << dialogs.boxes[0].text.toStdString();
        EXPECT_TRUE(Log().last().endsWith("Устройству ничего не передано.")) << c.name;
    }
    EXPECT_TRUE(unit.requests().empty());
    std::vector<k57::JournalEntry> refusals = Entries(k57::JournalOperation::FirmwareUpdate);
    ASSERT_EQ(refusals.size(), std::size(cases));
    for (const k57::JournalEntry& entry : refusals) {
        EXPECT_EQ(entry.result, k57::JournalResult::NotSent);
        EXPECT_EQ(entry.detail.rfind("package refused (", 0), 0u) << entry.detail;
    }
}

// The unit's version decides after it is read: an older package is asked
// about with "Нет" first, one the unit is too old for is refused.
TEST_F(PackageWindowTest, ADowngradeIsAskedNoFirstAndTheLowestIsKept) {
    k57::sim::UnitOptions options;
    options.versionText = "K57BT\n000.010\n";
    k57::sim::Unit& unit = Plug(5, options);
    const std::string older = k57::test::FirmwarePackage("000.009");
    Choose("older.k57pkg", older, {k57::Answer::Ok});  // then unscripted: "Нет"
    ASSERT_TRUE(WaitForLog("Обновление не начато: в устройстве уже версия 000.010."));
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text,
              "В устройстве версия 000.010, новее, чем в пакете (000.009).\n"
              "Установить более старую версию?");
    EXPECT_EQ(dialogs.boxes[1].preferred, k57::Answer::No);
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);
    EXPECT_EQ(Entries(k57::JournalOperation::FirmwareUpdate).back().result,
              k57::JournalResult::Stopped);

    Choose("older.k57pkg", older, {k57::Answer::Ok, k57::Answer::Yes, k57::Answer::No});
    ASSERT_TRUE(WaitForLog("Загрузка закончена."));
    EXPECT_EQ(unit.commits().size(), 1u);
    ASSERT_TRUE(Settle());

    unit.configure([](auto& o) { o.versionText = "K57BT\n000.004\n"; });
    dialogs.boxes.clear();
    Choose("lowest.k57pkg", k57::test::FirmwarePackage("000.010", "000.005"), {k57::Answer::Ok});
    ASSERT_TRUE(WaitForLog("Пакет lowest.k57pkg отклонён:"));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.boxes.back().text,
              "Пакет lowest.k57pkg отклонён.\n"
              "В устройстве версия 000.004, а пакет заменяет версии не ниже 000.005.");
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 1);
    k57::JournalEntry refused = Entries(k57::JournalOperation::FirmwareUpdate).back();
    EXPECT_EQ(refused.result, k57::JournalResult::NotSent);
    EXPECT_NE(refused.detail.find("package refused (below-lowest)"), std::string::npos)
        << refused.detail;
}

TEST_F(PackageWindowTest, ASoundPackageIsWrittenAsTheBuiltInSoundIs) {
    k57::sim::Unit& unit = Plug(5);
    std::string soundData, error;
    ASSERT_TRUE(k57::images::ReadImage(k57::images::kSoundPath, 1 << 24, soundData, error));
    k57::package::Manifest manifest = k57::test::FirmwareManifest("2026.1");
    manifest.kind = k57::package::Kind::Sound;
    Choose("sound.k57pkg", k57::test::MakePackage(manifest, soundData), {k57::Answer::Ok});
    ASSERT_TRUE(WaitForLog("Звуковые данные записаны."));
    EXPECT_TRUE(
        dialogs.boxes[0].text.startsWith("Записать звуковые данные из пакета "
                                         "sound.k57pkg?\n\nЗвуковые данные 2026.1"));
    EXPECT_EQ(unit.sound().size, soundData.size() - 8);
    EXPECT_TRUE(unit.sound().accepted);
    k57::JournalEntry entry = Entries(k57::JournalOperation::SoundUpdate).back();
    EXPECT_EQ(entry.result, k57::JournalResult::Ok);
    EXPECT_NE(entry.detail.find("version 2026.1"), std::string::npos) << entry.detail;
}

}  // namespace
