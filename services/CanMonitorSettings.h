#pragma once

#include <QString>

#include "TableLook.h"

namespace k57 {

// What the CAN monitor remembers from one run to the next, in the tool's
// settings file: the identifier filter and how the table shows time.
namespace CanMonitorSettings {

// The table's choices as the companion window offers them: the hold's and
// the silence's times are kept while they are switched off.
struct TableChoices {
    bool heat = false;
    bool rate = false;
    bool hold = false;
    int holdMs = 1000;
    TableLook::Silence silence = TableLook::Silence::Shown;
    int quietS = 5;

    TableLook Look() const;
};

QString Filter();
void SetFilter(const QString& filter);
TableChoices Table();
void SetTable(const TableChoices& choices);

}  // namespace CanMonitorSettings

}  // namespace k57
