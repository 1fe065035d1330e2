// k57ctl package and update --package as programs against the simulated
// unit: a corpus of packages made here, every bad one refused with its own
// exit code, message and journal entry and nothing sent to the unit, the
// good one installed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "CtlProcess.h"
#include "Journal.h"
#include "Messages.h"
#include "SimulatedUnits.h"
#include "TestPackages.h"

using namespace orvan::tms::messages;

namespace {

using k57::test::Count;

class PackageCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    QString Save(const char* name, const std::string& bytes) const {
        QString path = QString::fromStdString(dir_.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        return path;
    }
    // The last firmware update's journal entry (a backup and a read after
    // the update have their own).
    static k57::JournalEntry LastEntry() {
        k57::Journal journal;
        k57::JournalEntry last;
        for (long long id = 1; auto entry = journal.Entry(id); ++id) {
            if (entry->operation == k57::JournalOperation::FirmwareUpdate) {
                last = *entry;
            }
        }
        return last;
    }

    k57::test::TempDir dir_;
};

// Each changed or foreign file, and why it is refused.
TEST_F(PackageCtlTest, EveryBadPackageIsRefusedWithNothingSent) {
    k57::sim::Unit& unit = Plug(5);  // firmware 000.008
    const std::string good = k57::test::FirmwarePackage("000.010");
    const size_t manifestAt = k57::package::kHeaderBytes;
    auto flipped = [&](size_t at) {
        std::string file = good;
        file[at] ^= 0x01;
        return file;
    };
    k57::package::SecretKey stranger;
    k57::package::PublicKey strangerPublic;
    ASSERT_TRUE(k57::package::GenerateKeys(stranger, strangerPublic));
    k57::package::Manifest otherProduct = k57::test::FirmwareManifest("000.010");
    otherProduct.product = "K99";
    k57::package::Manifest sound = k57::test::FirmwareManifest("000.010");
    sound.kind = k57::package::Kind::Sound;
    const std::string image = k57::test::FirmwareImage("000.010");
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;  // in the message
    };
    const Case cases[] = {
        {"manifest byte", flipped(manifestAt + 20), "signature does not hold"},
        {"image byte", flipped(good.size() - 1), "not the one signed"},
        {"signature byte", flipped(16 + 8 + 5), "signature does not hold"},
        {"wrong key",
         k57::test::MakePackage(k57::test::FirmwareManifest("000.010"), image, stranger),
         "not trusted here"},
        {"wrong kind", k57::test::MakePackage(sound, image), "a sound package"},
        {"wrong product", k57::test::MakePackage(otherProduct, image), "made for K99"},
        {"downgrade", k57::test::FirmwarePackage("000.007"), "older than the unit's 000.008"},
        {"below lowest", k57::test::FirmwarePackage("000.010", "000.009"), "oldest this package"},
        {"truncated", good.substr(0, good.size() - 100), "ends early"},
        {"oversized", good + std::string(k57::package::kMaxPackage, '\0'), "larger than"},
        {"empty", "", "empty"},
    };
    int entries = 0;
    for (const Case& c : cases) {
        k57::test::CtlRun run =
            Ctl({"update", "firmware", "--yes", "--package", Save("bad.k57pkg", c.bytes)});
        EXPECT_EQ(run.code, 7) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("nothing was sent")) << c.name;
        EXPECT_TRUE(run.err.contains(c.reason)) << c.name << ": " << run.err.toStdString();
        k57::JournalEntry entry = LastEntry();
        EXPECT_EQ(entry.result, k57::JournalResult::NotSent) << c.name;
        EXPECT_NE(entry.detail.find("package refused"), std::string::npos) << c.name;
        ++entries;
    }
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);
    EXPECT_TRUE(unit.commits().empty());
    EXPECT_EQ(entries, int(std::size(cases)));

    // The sound command takes no firmware package either.
    k57::test::CtlRun asSound =
        Ctl({"update", "sound", "--yes", "--package", Save("fw.k57pkg", good)});
    EXPECT_EQ(asSound.code, 7);
    EXPECT_EQ(Count(unit.requests(), kBeginWaveUpdate), 0);
}

TEST_F(PackageCtlTest, AGoodPackageIsInstalledAndADowngradeOnlyWhenAllowed) {
    k57::sim::Unit& unit = Plug(5);
    QString newer = Save("newer.k57pkg", k57::test::FirmwarePackage("000.010"));
    k57::test::CtlRun install = Ctl({"update", "firmware", "--yes", "--package", newer});
    ASSERT_EQ(install.code, 0) << install.err.toStdString();
    std::string image = k57::test::FirmwareImage("000.010");
    std::vector<uint8_t> sent = unit.image();
    ASSERT_EQ(sent.size(), image.size() + 8);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), sent.begin() + 8,
                           [](char a, uint8_t b) { return uint8_t(a) == b; }));
    k57::JournalEntry entry = LastEntry();
    EXPECT_EQ(entry.result, k57::JournalResult::Ok);
    const std::string key = k57::package::Hex(k57::test::TestSecretKey().Public().Id());
    EXPECT_NE(entry.detail.find("version 000.010, key " + key), std::string::npos)
        << entry.detail;

    unit.configure([](auto& o) { o.versionText = "K57BT\n000.010\n"; });
    QString older = Save("older.k57pkg", k57::test::FirmwarePackage("000.009"));
    EXPECT_EQ(Ctl({"update", "firmware", "--yes", "--package", older}).code, 7);
    EXPECT_EQ(unit.commits().size(), 1u);
    k57::test::CtlRun allowed =
        Ctl({"update", "firmware", "--yes", "--allow-downgrade", "--package", older});
    EXPECT_EQ(allowed.code, 0) << allowed.err.toStdString();
    EXPECT_EQ(unit.commits().size(), 2u);

    // A sound package: the embedded sound data, signed.
    std::string soundData, error;
    ASSERT_TRUE(k57::images::ReadImage(k57::images::kSoundPath, 1 << 24, soundData, error));
    k57::package::Manifest manifest = k57::test::FirmwareManifest("2026.1");
    manifest.kind = k57::package::Kind::Sound;
    k57::test::CtlRun sound = Ctl({"update", "sound", "--yes", "--package",
                                   Save("sound.k57pkg", k57::test::MakePackage(manifest, soundData))});
    EXPECT_EQ(sound.code, 0) << sound.err.toStdString();
    EXPECT_EQ(Count(unit.requests(), kBeginWaveUpdate), 1);
    EXPECT_EQ(unit.sound().size, soundData.size() - 8);
    EXPECT_TRUE(unit.sound().accepted);
}

TEST_F(PackageCtlTest, KeysArePrivateNeverOverwrittenAndVerifyTellsTheVerdict) {
    QString dir = QString::fromStdString(dir_.path());
    ASSERT_EQ(Ctl({"package", "keygen", "--secret", dir + "/a.secret", "--public",
                   dir + "/keys/a.pub"})
                  .code,
              6);  // no folder for the public key: the secret one is not kept either
    EXPECT_FALSE(QFile::exists(dir + "/a.secret"));
    k57::test::CtlRun keygen =
        Ctl({"package", "keygen", "--secret", dir + "/a.secret", "--public", dir + "/a.pub"});
    ASSERT_EQ(keygen.code, 0) << keygen.err.toStdString();
    struct stat info {};
    ASSERT_EQ(stat((dir + "/a.secret").toUtf8().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    QByteArray secret = [&] {
        QFile f(dir + "/a.secret");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_EQ(Ctl({"package", "keygen", "--secret", dir + "/a.secret", "--public",
                   dir + "/b.pub"})
                  .code,
              1);
    QFile again(dir + "/a.secret");
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), secret);

    QString image = Save("fw.bin", k57::test::FirmwareImage("000.012"));
    k57::test::CtlRun make =
        Ctl({"package", "make", "--kind", "firmware", "--image", image, "--version", "000.012",
             "--notes-ru", "Новое", "--secret", dir + "/a.secret", "-o", dir + "/fw.k57pkg"});
    ASSERT_EQ(make.code, 0) << make.err.toStdString();
    EXPECT_EQ(Ctl({"package", "make", "--kind", "firmware", "--image", image, "--version",
                   "000.013", "--secret", dir + "/a.secret", "-o", dir + "/x.k57pkg"})
                  .code,
              1);  // not the image's own version

    k57::test::CtlRun untrusted = Ctl({"package", "verify", "--json", dir + "/fw.k57pkg"});
    EXPECT_EQ(untrusted.code, 7);
    QJsonObject json = QJsonDocument::fromJson(untrusted.out.toUtf8()).object();
    EXPECT_EQ(json["verdict"].toString(), "unknown-key");
    EXPECT_FALSE(json.contains("manifest"));  // not read before its signature holds

    qputenv("K57_TRUSTED_KEYS_DIR", dir.toUtf8());  // a.pub is there
    k57::test::CtlRun trusted = Ctl({"package", "verify", "--json", dir + "/fw.k57pkg"});
    qunsetenv("K57_TRUSTED_KEYS_DIR");
    EXPECT_EQ(trusted.code, 0) << trusted.err.toStdString();
    json = QJsonDocument::fromJson(trusted.out.toUtf8()).object();
    EXPECT_EQ(json["verdict"].toString(), "good");
    EXPECT_EQ(json["manifest"].toObject()["version"].toString(), "000.012");
    EXPECT_EQ(json["manifest"].toObject()["notes_ru"].toString(), "Новое");
    EXPECT_EQ(json["key_id"].toString(), keygen.out.section(' ', 2).trimmed());
}

}  // namespace
