#pragma once

#include <memory>

#include "CanMonitorForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "SimulatedUnits.h"

namespace k57::test {

// The CAN monitor shown on the stored port COM5, its message boxes
// scripted, with a private folder for the files a test writes.
class CanMonitorWindow : public SimulatedUnits {
  protected:
    void SetUp() override {
        StoredPort::Write("COM5");
        session.Replace();
        form = std::make_unique<TCanMonitorForm>(session);
        form->SetDialogs(&dialogs);
        form->show();
    }

    DeviceSession session{QuickSessions()};
    ScriptedDialogs dialogs;
    TempDir dir;
    std::unique_ptr<TCanMonitorForm> form;
};

}  // namespace k57::test
