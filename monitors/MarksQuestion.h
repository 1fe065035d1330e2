#pragma once

#include <QCoreApplication>

#include "CanSession.h"
#include "DialogService.h"

class QWidget;

// A new capture (the channel opened, a recording played) drops the marks of
// the last one; those not saved with its frames are asked for first.
class MarksQuestion {
    Q_DECLARE_TR_FUNCTIONS(MarksQuestion)

  public:
    // True when the new capture may start: no marks would be lost, or the
    // user agreed. The hasty answer, and no one to ask, keep them.
    static bool MayDrop(const k57::CanSession& can, k57::DialogService* dialogs, QWidget* owner);
};
