#pragma once

#include <QComboBox>
#include <QTest>
#include <memory>

#include "CanHuntForm.h"

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

    // The capture file `path` opened through the hunt window and played at
    // once; true when its `frames` frames are in the monitor.
    bool OpenRecording(const std::string& path, size_t frames) {
        form->ShowHunt();
        auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
        if (!hunt) {
            return false;
        }
        hunt->findChild<QComboBox*>("SpeedBox")->setCurrentIndex(2);  // at once
        dialogs.files.push_back(QString::fromStdString(path));
        hunt->OpenButtonClick();
        return QTest::qWaitFor([&] { return form->frames().size() == frames; }, 30000);
    }

    DeviceSession session{QuickSessions()};
    ScriptedDialogs dialogs;
    TempDir dir;
    std::unique_ptr<TCanMonitorForm> form;
};

}  // namespace k57::test
