// What a journal entry's detail says for the journal window, in entries of
// this version and of earlier ones.

#include <gtest/gtest.h>

#include "EntryDetail.h"

namespace {

using k57::JournalEntry;
using k57::JournalOperation;

JournalEntry Entry(JournalOperation operation, const std::string& detail) {
    JournalEntry entry;
    entry.operation = operation;
    entry.detail = detail;
    return entry;
}

TEST(EntryDetailTest, ARestoreNamesTheEntryItWroteBackFirst) {
    auto from = [](JournalOperation operation, const std::string& detail) {
        return k57::RestoredFrom(Entry(operation, detail));
    };
    const std::string source = k57::RestoreSourceDetail(12);
    EXPECT_EQ(from(JournalOperation::Restore, source + "; written and confirmed"), 12);
    EXPECT_EQ(from(JournalOperation::Restore, source), 12);
    // Before the restore's source was recorded, and what merely looks alike.
    EXPECT_EQ(from(JournalOperation::Restore, "written and confirmed"), std::nullopt);
    EXPECT_EQ(from(JournalOperation::Restore,
                   "backup written back after firmware update; written and confirmed"),
              std::nullopt);
    EXPECT_EQ(from(JournalOperation::Restore, "entry 12x; written"), std::nullopt);
    EXPECT_EQ(from(JournalOperation::Restore, "entry ; written"), std::nullopt);
    EXPECT_EQ(from(JournalOperation::Restore, "entry 99999999999999999999"), std::nullopt);
    EXPECT_EQ(from(JournalOperation::WriteSettings, source + "; written"), std::nullopt);
}

TEST(EntryDetailTest, AnUpdateNamesItsTargetOrItsPackagesVersion) {
    auto target = [](JournalOperation operation, const std::string& detail) {
        return k57::TargetVersion(Entry(operation, detail));
    };
    const std::string sent = "12 of 12 fragments sent";
    EXPECT_EQ(
        target(JournalOperation::FirmwareUpdate, sent + "; " + k57::TargetVersionDetail("000.009")),
        "000.009");
    // A package's entry of an earlier version: its manifest's version.
    const std::string package = "package blake2b-256 ab12, version 001.002, key 0a0b";
    EXPECT_EQ(target(JournalOperation::FirmwareUpdate, sent + "; " + package), "001.002");
    EXPECT_EQ(target(JournalOperation::FirmwareUpdate,
                     "0 of 0 fragments sent; package refused (bad signature): the signature "
                     "does not match; package blake2b-256 ab12, version 001.003"),
              "001.003");
    EXPECT_EQ(target(JournalOperation::FirmwareUpdate,
                     sent + "; " + package + "; " + k57::TargetVersionDetail("001.002")),
              "001.002");
    // The built-in firmware's entry of an earlier version, and a sound update.
    EXPECT_EQ(target(JournalOperation::FirmwareUpdate, sent), std::nullopt);
    EXPECT_EQ(target(JournalOperation::SoundUpdate, sent + "; " + package), std::nullopt);
}

}  // namespace
