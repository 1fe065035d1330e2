// A unit's certificate as its reader gets it: the PDF's text through
// pdftotext, its pages through pdfinfo; and the report folder a batch run
// leaves, certificates beside the summary.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "BatchReport.h"
#include "CertificateReader.h"
#include "ParameterList.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"
#include "UnitCertificate.h"

namespace {

using namespace k57;
using k57::test::PdfPages;
using k57::test::PdfText;
using k57::test::WrittenUnit;
namespace fs = std::filesystem;

CertificateFacts Facts() {
    return {"LINE-PC-2", "installer", "batch 7f3a", "template.txt", "values.csv"};
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CertificateTest : public ::testing::Test {
  protected:
    ParameterList catalogue{k57::test::ShippedCatalogue()};
    k57::test::TempDir dir;
    std::string Path(const char* name = "unit.pdf") {
        return (fs::path(dir.path()) / name).string();
    }
};

TEST_F(CertificateTest, TellsTheUnitItsFirmwareSettingsAndResultWithThePrivateValuesMasked) {
    std::string error;
    ASSERT_TRUE(WriteCertificate(Path(), WrittenUnit(), catalogue, Facts(), error)) << error;
    EXPECT_EQ(PdfPages(Path()), 1);
    const std::string text = PdfText(Path());
    for (const char* shown :
         {"Сертификат программирования блока", "4021337", "K57 Охрана", "000.009", "000.010",
          "Чувствительность микрофона", "11", "Vesta", "Пин код", "Пользователь 1", "успешно",
          "подтверждена", "LINE-PC-2", "installer", "batch 7f3a", "template.txt", "values.csv",
          "2026-12-09"}) {
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " missing from:\n" << text;
    }
    // The PIN and no phone number's digits, beyond the last two a masked
    // number keeps.
    for (const char* hidden : {"4829", "9161234", "79161", "1234567", "9037654", "7654321"}) {
        EXPECT_EQ(text.find(hidden), std::string::npos) << hidden << " shown in:\n" << text;
    }
    EXPECT_EQ(text.find("не подтверждена"), std::string::npos);
}

TEST_F(CertificateTest, AFailedUnitSaysWhyAndThatTheReadBackDidNotConfirm) {
    BatchUnitResult unit = WrittenUnit();
    unit.result = BatchUnitResult::Result::Failed;
    unit.verified = false;
    unit.reason = "нет ответа от блока";
    std::string error;
    ASSERT_TRUE(WriteCertificate(Path(), unit, catalogue, Facts(), error)) << error;
    const std::string text = PdfText(Path());
    EXPECT_NE(text.find("ошибка"), std::string::npos) << text;
    EXPECT_NE(text.find("не подтверждена"), std::string::npos) << text;
    EXPECT_NE(text.find("нет ответа от блока"), std::string::npos) << text;
}

// A catalogue far longer than the shipped one, every parameter written:
// the table shrinks and takes columns, and its last row is still there.
TEST_F(CertificateTest, AVeryLongListOfSettingsStaysOnOnePage) {
    std::string document = k57::test::ShippedCatalogue();
    std::string extra;
    std::string written = WrittenUnit().written;
    for (int i = 1; i <= 160; ++i) {
        const std::string key = "Extra" + std::to_string(i);
        extra += "<parameter key=\"" + key + "\" type=\"number\" default=\"0\" min=\"0\" " +
                 "max=\"99999\" name=\"" + *cp1251::FromUtf8("Доп. ") + std::to_string(i) +
                 "\" description=\"\"/>\n";
        written += key + "=" + std::to_string(10000 + i) + "\n";
    }
    document.insert(document.rfind("</group>"), extra);
    ParameterList longCatalogue(document);
    ASSERT_EQ(longCatalogue.loadError(), "");
    ASSERT_GT(longCatalogue.ParameterCount(), 180);
    BatchUnitResult unit = WrittenUnit();
    unit.written = written;
    std::string error;
    ASSERT_TRUE(WriteCertificate(Path(), unit, longCatalogue, Facts(), error)) << error;
    EXPECT_EQ(PdfPages(Path()), 1);
    const std::string text = PdfText(Path());
    EXPECT_NE(text.find("10160"), std::string::npos) << text;
    EXPECT_NE(text.find("Доп. 160"), std::string::npos) << text;
    EXPECT_EQ(text.find("4829"), std::string::npos);
}

TEST_F(CertificateTest, AFolderThatCannotBeWrittenFailsWithAReasonAndLeavesNoFile) {
    std::vector<fs::path> folders;
    // A folder that is a file; and one without write access, which only a
    // user other than root is held to.
    std::ofstream(fs::path(dir.path()) / "file") << "x";
    folders.push_back(fs::path(dir.path()) / "file" / "certificates");
    if (geteuid() != 0) {
        fs::create_directory(fs::path(dir.path()) / "locked");
        fs::permissions(fs::path(dir.path()) / "locked",
                        fs::perms::owner_read | fs::perms::owner_exec);
        folders.push_back(fs::path(dir.path()) / "locked");
    }
    for (const fs::path& folder : folders) {
        std::string error;
        EXPECT_FALSE(WriteCertificate((folder / "unit.pdf").string(), WrittenUnit(), catalogue,
                                      Facts(), error))
            << folder;
        EXPECT_FALSE(error.empty()) << folder;
        std::error_code code;
        EXPECT_TRUE(!fs::exists(folder, code) || fs::is_empty(folder, code)) << folder;
    }
    std::error_code code;  // so that the folder can be removed
    fs::permissions(fs::path(dir.path()) / "locked", fs::perms::owner_all,
                    fs::perm_options::replace, code);
}

TEST_F(CertificateTest, TheReportFolderHoldsEachUnitsCertificateNamedInTheSummary) {
    const fs::path folder = fs::path(dir.path()) / "report" / "today";
    BatchReport report(folder.string(), catalogue, Facts(), WrittenUnit().finished);
    std::string error;
    ASSERT_TRUE(report.Start(error)) << error;
    ASSERT_TRUE(report.Add(WrittenUnit(), error)) << error;
    BatchUnitResult unknown;  // no unit identified: a line, no certificate
    unknown.port = "COM6";
    unknown.reason = "no unit";
    ASSERT_TRUE(report.Add(unknown, error)) << error;

    const std::string certificate = CertificateFileName(WrittenUnit());
    EXPECT_EQ(PdfPages((folder / certificate).string()), 1);
    const std::string summary = Read(report.summaryPath());
    EXPECT_NE(summary.find("4021337,K57 Охрана,000.009,000.010,ok,yes,3,," + certificate + "\r\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find(",COM6,,,,,skipped,no,,no unit,\r\n"), std::string::npos) << summary;
    int files = 0;
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(folder)) {
        ++files;
    }
    EXPECT_EQ(files, 2);
}

}  // namespace
