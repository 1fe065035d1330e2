// A settings write judged by reading the settings back, against the
// simulated unit: what the unit holds decides, not its acknowledgement.

#include <gtest/gtest.h>

#include "Journal.h"
#include "Messages.h"
#include "ParameterList.h"
#include "QuickSessions.h"
#include "ServiceRecord.h"
#include "SettingsGuard.h"
#include "ShippedCatalogue.h"
#include "SimulatedUnits.h"

using namespace orvan::tms::messages;
using Fault = k57::sim::UnitOptions::Fault;
using State = k57::WriteCheck::State;
using k57::test::Count;

namespace {

class WriteCheckTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        device = k57::test::QuickSession();  // on the stored port
    }

    k57::WriteCheck Write(const std::string& text) {
        return k57::Judge(catalogue, k57::WriteAndReadBack(*device, text));
    }

    ParameterList catalogue{k57::test::ShippedCatalogue()};
    std::unique_ptr<T110_Device> device;
};

TEST_F(WriteCheckTest, WhatTheUnitHoldsAfterwardsDecides) {
    k57::sim::Unit& unit = Plug(5);
    k57::WriteCheck confirmed = Write("KickSens=2\nMicLevel=3\n");  // another order
    EXPECT_EQ(confirmed.state, State::Confirmed);
    EXPECT_EQ(k57::JournalResultOf(confirmed), k57::JournalResult::Ok);

    unit.configure([](auto& o) {
        o.fault = Fault::Silent;
        o.faultCodes = {kSettings};
    });
    k57::WriteCheck unacknowledged = Write("MicLevel=4\n");
    EXPECT_EQ(unacknowledged.writeResult, k57::kNoReply);
    EXPECT_EQ(unacknowledged.state, State::Confirmed);

    unit.configure([](auto& o) {
        o.fault = Fault::None;
        o.keepSettingsOnWrite = true;
    });
    k57::WriteCheck differs = Write("MicLevel=4\nKickSens=2\nNameBT=A\n");
    EXPECT_EQ(differs.state, State::Differs);
    EXPECT_EQ(differs.differing, (std::vector<std::string>{"NameBT", "KickSens"}));
    EXPECT_EQ(k57::JournalDetail(differs),
              "not confirmed: the unit holds other values for NameBT, KickSens");
    EXPECT_EQ(k57::JournalResultOf(differs), k57::JournalResult::Refused);

    unit.configure([](auto& o) {
        o.keepSettingsOnWrite = false;
        o.fault = Fault::WrongType;
        o.faultCodes = {kReqSettings};
    });
    k57::WriteCheck unknown = Write("MicLevel=5\n");
    EXPECT_EQ(unknown.state, State::Unknown);
    EXPECT_EQ(unknown.writeResult, k57::kReplyOk);
    EXPECT_EQ(k57::JournalResultOf(unknown), k57::JournalResult::BadReply);
    EXPECT_EQ(unit.settings(), "MicLevel=5\n");
}

TEST_F(WriteCheckTest, NothingSentIsNotReadBack) {
    k57::sim::Unit& unit = Plug(5);
    k57::WriteCheck tooLong = Write("NameBT=" + std::string(2000, 'a') + "\n");
    EXPECT_EQ(tooLong.state, State::NotSent);
    EXPECT_EQ(k57::JournalResultOf(tooLong), k57::JournalResult::NotSent);
    EXPECT_EQ(Count(unit.requests(), kReqSettings), 0);
}

TEST_F(WriteCheckTest, TheGuardKeepsNoBackupWithoutAJournalOrAnAnswer) {
    k57::sim::Unit& unit = Plug(5);
    k57::test::TempDir dir;
    {
        // A folder where the journal file should be: nothing is recorded.
        k57::ServiceRecord record(k57::JournalFrontEnd::Window, dir.path());
        k57::SettingsGuard guard(record, k57::JournalOperation::WriteSettings);
        EXPECT_EQ(guard.ReadBackup(*device), k57::kReplyOk);
        EXPECT_TRUE(guard.backup());
        EXPECT_FALSE(guard.KeepBackup());
    }
    k57::ServiceRecord record(k57::JournalFrontEnd::Window, dir.path() + "/journal.sqlite3");
    unit.configure([](auto& o) { o.fault = Fault::Silent; });
    k57::SettingsGuard silent(record, k57::JournalOperation::WriteSettings);
    EXPECT_EQ(silent.ReadBackup(*device), k57::kNoReply);
    EXPECT_FALSE(silent.KeepBackup());

    unit.configure([](auto& o) { o.fault = Fault::None; });
    k57::SettingsGuard guard(record, k57::JournalOperation::WriteSettings);
    ASSERT_EQ(guard.ReadBackup(*device), k57::kReplyOk);
    EXPECT_TRUE(guard.KeepBackup());
    guard.WriteSettings(*device, "MicLevel=3\n");
    EXPECT_TRUE(guard.Written(catalogue, "from a.txt").confirmed());
    k57::JournalEntry entry = *record.journal().Entry(guard.backupEntry() + 1);
    EXPECT_EQ(entry.detail, "from a.txt; written and confirmed");
    EXPECT_EQ(entry.after, std::string("MicLevel=3\n"));
}

}  // namespace
