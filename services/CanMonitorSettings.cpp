#include "CanMonitorSettings.h"

#include <algorithm>

#include "ToolSettings.h"

namespace k57 {

namespace CanMonitorSettings {

namespace {

const char* const kSilence[] = {"shown", "grey", "hidden"};

}  // namespace

TableLook TableChoices::Look() const {
    TableLook look;
    look.heat = heat;
    look.rate = rate;
    look.holdUs = hold ? int64_t(std::max(holdMs, 1)) * 1000 : 0;
    look.silence = silence;
    look.quietUs = int64_t(std::max(quietS, 1)) * 1'000'000;
    return look;
}

QString Filter() {
    return ToolSettings().value("CanMonitor/filter").toString();
}

void SetFilter(const QString& filter) {
    ToolSettings().setValue("CanMonitor/filter", filter);
}

TableChoices Table() {
    QSettings settings = ToolSettings();
    TableChoices choices;
    choices.heat = settings.value("CanMonitor/heat", choices.heat).toBool();
    choices.rate = settings.value("CanMonitor/rate", choices.rate).toBool();
    choices.hold = settings.value("CanMonitor/hold", choices.hold).toBool();
    // A hand-edited file may say anything: kept to what the window offers.
    choices.holdMs =
        std::clamp(settings.value("CanMonitor/holdMs", choices.holdMs).toInt(), 100, 60'000);
    choices.quietS =
        std::clamp(settings.value("CanMonitor/quietS", choices.quietS).toInt(), 1, 3600);
    QString silence = settings.value("CanMonitor/silence").toString();
    for (int i = 0; i < 3; ++i) {
        if (silence == kSilence[i]) {
            choices.silence = TableLook::Silence(i);
        }
    }
    return choices;
}

void SetTable(const TableChoices& choices) {
    QSettings settings = ToolSettings();
    settings.setValue("CanMonitor/heat", choices.heat);
    settings.setValue("CanMonitor/rate", choices.rate);
    settings.setValue("CanMonitor/hold", choices.hold);
    settings.setValue("CanMonitor/holdMs", choices.holdMs);
    settings.setValue("CanMonitor/silence", kSilence[int(choices.silence)]);
    settings.setValue("CanMonitor/quietS", choices.quietS);
}

}  // namespace CanMonitorSettings

}  // namespace k57
