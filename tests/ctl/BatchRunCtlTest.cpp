// k57ctl batch writing units as a production line's script runs it: the
// files refused before any unit is asked anything, one JSON line per unit,
// and the exit code telling whether a unit failed.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "CtlProcess.h"
#include "Messages.h"
#include "SimulatedUnits.h"

namespace {

class BatchRunCtlTest : public k57::test::SimulatedUnits {
  protected:
    k57::test::CtlRun Ctl(const QStringList& args) {
        return k57::test::RunCtl(args, settings_, {});
    }
    QString Write(const char* name, const QByteArray& bytes) const {
        QString path = QString::fromStdString(dir_.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    k57::sim::Unit& Unit(int com, uint32_t serial, k57::sim::UnitOptions options = {}) {
        options.serial = serial;
        options.settings = "MicLevel=3\n";
        return Plug(com, options);
    }
    // The JSON lines of standard output, by serial number.
    static std::map<QString, QJsonObject> Lines(const QString& out) {
        std::map<QString, QJsonObject> lines;
        for (const QString& line : out.split('\n')) {
            if (!line.isEmpty()) {
                QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
                EXPECT_FALSE(object.isEmpty()) << line.toStdString();
                lines[object["serial"].toString()] = object;
            }
        }
        return lines;
    }

    k57::test::TempDir dir_;
};

TEST_F(BatchRunCtlTest, ABadCellIsRefusedBeforeAnyUnitIsAskedAnything) {
    k57::sim::Unit& a = Unit(5, 1001);
    k57::sim::Unit& b = Unit(6, 1002);
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv", "serial,PinCod\n1001,1234\n1002,12345\n");
    k57::test::CtlRun run =
        Ctl({"batch", templ, "--values", values, "--port", "COM5", "--port", "COM6"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(values + ": row 3, column 2 (PinCod)")) << run.err.toStdString();
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(a.requests().empty());
    EXPECT_TRUE(b.requests().empty());
}

TEST_F(BatchRunCtlTest, TwoPortsAtOnceOneJsonLineAUnitAndAFailedUnitSetsTheExitCode) {
    k57::sim::UnitOptions keeps;
    keeps.keepSettingsOnWrite = true;
    k57::sim::Unit& a = Unit(5, 1001);
    Unit(6, 1002, keeps);
    k57::sim::Unit& c = Unit(7, 1003);
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv", "serial,PinCod\n1001,1234\n1002,4321\n");
    k57::test::CtlRun run = Ctl({"batch", templ, "--values", values, "--port", "COM5", "--port",
                                 "COM6", "--port", "COM7", "--count", "3", "--json"});
    EXPECT_EQ(run.code, 7) << run.err.toStdString();
    std::map<QString, QJsonObject> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out.toStdString();
    EXPECT_EQ(lines["1001"]["result"].toString(), "ok");
    EXPECT_EQ(lines["1001"]["port"].toString(), "COM5");
    EXPECT_TRUE(lines["1001"]["verified"].toBool());
    EXPECT_EQ(lines["1002"]["result"].toString(), "failed");
    EXPECT_FALSE(lines["1002"]["verified"].toBool());
    EXPECT_TRUE(lines["1002"]["reason"].toString().contains("PinCod"))
        << lines["1002"]["reason"].toString().toStdString();
    EXPECT_EQ(lines["1003"]["result"].toString(), "skipped");
    EXPECT_NE(a.settings().find("PinCod=1234"), std::string::npos);
    EXPECT_EQ(k57::test::Count(c.requests(), orvan::tms::messages::kSettings), 0);
    EXPECT_TRUE(run.err.contains("1 written, 1 failed, 1 skipped; 1 rows not used yet"))
        << run.err.toStdString();
}

}  // namespace
