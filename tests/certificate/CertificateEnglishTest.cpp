// A certificate made while the program speaks English (this program runs
// with K57_TEST_LANG=en): the reader of another language gets it in English.

#include <gtest/gtest.h>

#include <filesystem>

#include "CertificateReader.h"
#include "ParameterList.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"
#include "UnitCertificate.h"

namespace {

using namespace k57;

TEST(CertificateEnglishTest, SpeaksTheInterfacesLanguage) {
    ParameterList catalogue(k57::test::ShippedCatalogue());
    k57::test::TempDir dir;
    const std::string path = (std::filesystem::path(dir.path()) / "unit.pdf").string();
    std::string error;
    ASSERT_TRUE(WriteCertificate(path, k57::test::WrittenUnit(), catalogue,
                                 {"PC", "user", "batch", "t.txt", "v.csv"}, error))
        << error;
    const std::string text = k57::test::PdfText(path);
    for (const char* english : {"Unit programming certificate", "Serial number", "Firmware before",
                                "successful", "confirmed", "Parameter", "Value"}) {
        EXPECT_NE(text.find(english), std::string::npos) << english << " missing from:\n" << text;
    }
    EXPECT_EQ(text.find("Сертификат"), std::string::npos) << text;
    // The catalogue's names are data, in the unit's language whatever the
    // program speaks.
    EXPECT_NE(text.find("Чувствительность микрофона"), std::string::npos) << text;
}

}  // namespace
