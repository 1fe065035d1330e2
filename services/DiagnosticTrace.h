#pragma once

#include <QFile>
#include <QString>
#include <memory>

#include "DiagnosticLines.h"
#include "PlotData.h"

namespace k57 {

// The motion sensor over time: the X, Y and Z of every "$AccD:" line as
// three plot channels, and every "$AccE:", "$VS:" and "$Can:" line as a
// labelled mark at its time, recorded as it arrives to a CSV file when
// asked; a recording opens again as plot data of its own.
class DiagnosticTrace {
  public:
    // 100 readings a second for 40 minutes.
    static constexpr size_t kCapacity = 1 << 18;
    enum Axis { X, Y, Z };

    DiagnosticTrace();

    // What one read brought, arriving `seconds` after the trace began. The
    // readings of one read are spread evenly since the previous one's time,
    // in the order they came; the events take this read's time.
    void Take(const DiagnosticLines::Result& result, double seconds);
    // Empties the channels and the marks; a recording goes on.
    void Clear();

    // From now on every reading and event is also appended to `path`, after
    // a header; false with the reason when the file cannot be written.
    bool StartRecording(const QString& path, QString& error);
    // Closes the file; false with the reason when a write had failed.
    bool StopRecording(QString& error);
    bool Recording() const { return recording_ != nullptr; }

    const PlotData& data() const { return data_; }

    // A recording read back: its channels and marks into `data`; false with
    // the reason (and the line) when it cannot be read.
    static bool Open(const QString& path, PlotData& data, QString& error);

  private:
    void Record(const std::string& row);

    PlotData data_;
    double lastSeconds_ = 0;
    std::unique_ptr<QFile> recording_;
    bool recordingFailed_ = false;
};

}  // namespace k57
