// k57ctl as a program against the simulated units that run as programs
// (see units.sh); for the Windows build, k57ctl.exe under Wine.

#include <gtest/gtest.h>

#include <QFile>

#include "CtlProcess.h"
#include "TestPackages.h"

namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Where COM40 keeps its settings (see units.sh); under Wine a Unix path is
// reached through drive Z:.
QString Com40Settings() {
#ifdef _WIN32
    return QString("Z:") + K57_UNITS_DIR "/com40.txt";
#else
    return K57_UNITS_DIR "/com40.txt";
#endif
}

class CtlHostTest : public ::testing::Test {
  protected:
    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    k57::test::IsolatedSettings settings_;
};

TEST_F(CtlHostTest, InfoAndTheExitCodesOfEachFailure) {
    k57::test::CtlRun info = Ctl({"--port", "COM40", "info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.startsWith("port: COM40\nserial: 40404040\ntype: K57BT\n"))
        << info.out.toStdString();
    EXPECT_EQ(Ctl({"--port", "COM45", "info"}).code, 2);
    k57::test::CtlRun wrong = Ctl({"info", "--port", "COM42"});
    EXPECT_EQ(wrong.code, 4);
    EXPECT_TRUE(wrong.err.contains("COM42: a reply of type 150 instead of 11"));
    k57::test::CtlRun silent = Ctl({"info", "--port", "COM41"});
    EXPECT_EQ(silent.code, 3);
    EXPECT_TRUE(silent.err.contains("COM41: no reply within 4 s"));
}

TEST_F(CtlHostTest, TheSettingsOfTheUnitReadAsText) {
    ASSERT_EQ(Ctl({"--port", "COM40", "settings", "set", "MicLevel=11"}).code, 0);
    k57::test::CtlRun read = Ctl({"--port", "COM40", "settings", "read"});
    EXPECT_EQ(read.out, "MicLevel=11\n");
    ASSERT_EQ(Ctl({"--port", "COM40", "settings", "set", "MicLevel=8"}).code, 0);
}

// Windows hands a program its arguments in the ANSI code page unless it
// asks for the UTF-16 command line: "Авто" arrived as "????".
TEST_F(CtlHostTest, CyrillicValuesAndPathsArriveAsTheyWereTyped) {
    k57::test::CtlRun set = Ctl({"--port", "COM40", "settings", "set", "NameBT=Авто"});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_TRUE(FileBytes(Com40Settings()).contains("NameBT=\xC0\xE2\xF2\xEE\n"))
        << FileBytes(Com40Settings()).toStdString();

    k57::test::TempDir dir;
    QString saved = QString::fromStdString(dir.path()) + "/Настройки блока.txt";
    k57::test::CtlRun read = Ctl({"--port", "COM40", "settings", "read", "-o", saved});
    EXPECT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_TRUE(FileBytes(saved).contains("NameBT=\xC0\xE2\xF2\xEE"))
        << FileBytes(saved).toStdString();

    // A value the unit's code page cannot hold is refused, never stored as "?".
    k57::test::CtlRun foreign = Ctl({"--port", "COM40", "settings", "set", "NameBT=日本"});
    EXPECT_EQ(foreign.code, 1);
    EXPECT_TRUE(FileBytes(Com40Settings()).contains("NameBT=\xC0\xE2\xF2\xEE\n"));

    ASSERT_EQ(Ctl({"--port", "COM40", "settings", "set", "NameBT="}).code, 0);
}

// COM46 reports the firmware it was last sent: a refused package leaves it
// as it was. Each bad package would make it 000.011 if it got through.
TEST_F(CtlHostTest, APackageIsVerifiedBeforeAnythingIsSentAndTheGoodOneInstalled) {
    k57::test::TempDir dir, keys;
    qputenv("K57_TRUSTED_KEYS_DIR", QByteArray::fromStdString(keys.path()));
    auto save = [&](const char* name, const std::string& bytes) {
        QString path = QString::fromStdString(dir.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        return path;
    };
    auto install = [&](const QString& path) {
        return Ctl({"--port", "COM46", "update", "firmware", "--yes", "--package", path});
    };
    auto firmware = [&] { return Ctl({"--port", "COM46", "info"}).out; };
    ASSERT_EQ(install(save("good.k57pkg", k57::test::FirmwarePackage("000.010"))).code, 0);
    ASSERT_TRUE(firmware().contains("000.010")) << firmware().toStdString();

    const std::string newer = k57::test::FirmwarePackage("000.011");
    std::string changed = newer;
    changed[changed.size() - 1] ^= 0x01;
    k57::package::SecretKey stranger;
    k57::package::PublicKey strangerPublic;
    ASSERT_TRUE(k57::package::GenerateKeys(stranger, strangerPublic));
    const std::pair<const char*, std::string> bad[] = {
        {"changed", changed},
        {"stranger", k57::test::MakePackage(k57::test::FirmwareManifest("000.011"),
                                            k57::test::FirmwareImage("000.011"), stranger)},
        {"truncated", newer.substr(0, newer.size() / 2)},
        {"empty", ""},
        {"below lowest", k57::test::FirmwarePackage("000.011", "000.011")},
        {"older", k57::test::FirmwarePackage("000.009")},
    };
    for (const auto& [name, bytes] : bad) {
        k57::test::CtlRun run = install(save("bad.k57pkg", bytes));
        EXPECT_EQ(run.code, 7) << name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("nothing was sent to the unit")) << name;
    }
    EXPECT_TRUE(firmware().contains("000.010")) << firmware().toStdString();
    qunsetenv("K57_TRUSTED_KEYS_DIR");
}

}  // namespace
