#include "CanSignals.h"

#include <algorithm>

#include "FileRead.h"

namespace k57 {

bool CanSignals::Load(const QString& path, dbc::Encoding encoding,
                      std::vector<dbc::Diagnostic>& diagnostics) {
    const std::string name = path.toStdString();
    std::string bytes, error;
    if (!ReadWholeFile(name, FileLimits::kDbcFile, bytes, error)) {
        diagnostics.push_back({name, 0, "cannot be read: " + error});
        return false;
    }
    dbc::ParseResult result = dbc::Parse(bytes, encoding, name);
    diagnostics.insert(diagnostics.end(), result.diagnostics.begin(), result.diagnostics.end());
    files_.push_back(std::make_unique<File>(File{path, encoding, std::move(result.database)}));
    // A message a new file knows may already have frames in the log; they
    // are decoded from the next frame on.
    return true;
}

void CanSignals::Unload() {
    files_.clear();
    rows_.clear();
    plotted_.clear();
    plot_ = PlotData();
    startUs_ = -1;
}

const dbc::Message* CanSignals::Find(uint32_t id, bool extended) const {
    for (const std::unique_ptr<File>& file : files_) {
        if (const dbc::Message* message = file->database.Find(id, extended)) {
            return message;
        }
    }
    return nullptr;
}

const CanSignals::Row* CanSignals::Take(const CanRecord& frame, int64_t us) {
    const dbc::Message* message = frame.remote ? nullptr : Find(frame.id, frame.extended);
    if (!message) {
        return nullptr;
    }
    Row& row = rows_[frame.Key()];
    row.message = message;
    row.frame = frame;
    row.us = us;
    ++row.frames;
    dbc::Decode(*message, frame.data, size_t(frame.Columns()), row.values);
    if (startUs_ < 0) {
        startUs_ = us;
    }
    const double seconds = double(us - startUs_) / 1e6;
    for (const PlotSlot& plotted : plotted_) {
        for (const dbc::Value& value : row.values) {
            if (value.signal == plotted.signal) {
                plot_.Add(plotted.channel, seconds, value.physical);
            }
        }
    }
    return &row;
}

bool CanSignals::Follow(const CanFrameLog& log) {
    const bool fresh = cursor_.clears != log.captures();
    if (fresh) {
        Restart();
        if (log.startUs() > 0) {
            startUs_ = log.startUs();
        }
    }
    log.VisitSince(cursor_, [this](const CanRecord& frame, int64_t us) { Take(frame, us); });
    return fresh;
}

void CanSignals::Restart() {
    rows_.clear();
    ClearPlot();
}

void CanSignals::SetPlotted(const dbc::Signal& signal, bool on) {
    auto found = std::find_if(plotted_.begin(), plotted_.end(),
                              [&](const PlotSlot& p) { return p.signal == &signal; });
    if (on && found == plotted_.end()) {
        plotted_.push_back({&signal, plot_.AddChannel(signal.name, signal.unit, kPlotCapacity)});
    } else if (!on && found != plotted_.end()) {
        const int channel = found->channel;
        plot_.RemoveChannel(channel);
        plotted_.erase(found);
        for (PlotSlot& p : plotted_) {
            p.channel -= p.channel > channel;
        }
    }
}

bool CanSignals::Plotted(const dbc::Signal& signal) const {
    return std::any_of(plotted_.begin(), plotted_.end(),
                       [&](const PlotSlot& p) { return p.signal == &signal; });
}

void CanSignals::ClearPlot() {
    plot_.Clear();
    startUs_ = -1;
}

std::string BitLayout(const dbc::Signal& signal, const uint8_t* data, int length) {
    length = std::clamp(length, 0, 8);
    std::string layout;
    for (int byte = 0; byte < length; ++byte) {
        uint8_t mine = 0;
        for (int i = 0; i < signal.plan.count; ++i) {
            const dbc::BitPlan::Step& step = signal.plan.steps[i];
            if (step.byte == byte) {
                mine |= uint8_t(step.mask << step.shift);
            }
        }
        if (byte) {
            layout += ' ';
        }
        for (int bit = 7; bit >= 0; --bit) {
            const uint8_t m = uint8_t(1u << bit);
            layout += !(mine & m) ? '.' : (data[byte] & m) ? '1' : '0';
        }
    }
    return layout;
}

}  // namespace k57
