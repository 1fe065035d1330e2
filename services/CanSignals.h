#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CanFrameLog.h"
#include "CanRecord.h"
#include "Decoder.h"
#include "Parse.h"
#include "PlotData.h"

namespace k57 {

// CAN frames as named signals: one or more signal databases (DBC files)
// loaded, each frame of a message they know decoded into its row (the
// latest frame, its values with units and value texts), and the signals
// chosen for plotting into plot channels over the time since the capture
// began (or its first frame). The CAN signals window and k57ctl share it.
class CanSignals {
  public:
    // Samples each plotted signal keeps: 100 frames a second for 10 minutes.
    static constexpr size_t kPlotCapacity = 1 << 16;

    struct File {
        QString path;
        dbc::Encoding encoding;
        dbc::Database database;
    };
    // The latest frame of a message the databases know, decoded.
    struct Row {
        const dbc::Message* message = nullptr;
        CanRecord frame;
        int64_t us = 0;
        uint64_t frames = 0;  // of this message so far
        std::vector<dbc::Value> values;
    };

    // Reads a DBC file and adds it to those loaded. Its errors and warnings,
    // each with the file and the line, go to `diagnostics`. False, with
    // nothing added, when the file cannot be read at all; a file read with
    // errors is added with what could be read.
    bool Load(const QString& path, dbc::Encoding encoding,
              std::vector<dbc::Diagnostic>& diagnostics);
    // Forgets every database, the rows and the plotted signals.
    void Unload();
    const std::vector<std::unique_ptr<File>>& files() const { return files_; }
    // The message of a frame in the first database that knows it.
    const dbc::Message* Find(uint32_t id, bool extended) const;

    // A frame received at `us` (microseconds since the epoch): its row
    // and the plotted signals it carries. Frames no database knows and
    // remote frames are passed over; returns the row, or nullptr.
    const Row* Take(const CanRecord& frame, int64_t us);
    // The frames `log` gained since the last call. When the log began a new
    // capture the rows and the plotted samples start afresh, the time axis
    // at the capture's start, and the call returns true.
    bool Follow(const CanFrameLog& log);
    // The rows and the plotted samples emptied, the time axis restarted at
    // the next frame; the databases and the signals ticked stay.
    void Restart();
    // By identifier, standard before extended.
    const std::map<uint64_t, Row>& rows() const { return rows_; }

    void SetPlotted(const dbc::Signal& signal, bool on);
    bool Plotted(const dbc::Signal& signal) const;
    const PlotData& plot() const { return plot_; }
    // Empties the plotted samples and restarts the time axis at the next frame.
    void ClearPlot();

  private:
    struct PlotSlot {
        const dbc::Signal* signal;
        int channel;
    };

    std::vector<std::unique_ptr<File>> files_;
    std::map<uint64_t, Row> rows_;
    std::vector<PlotSlot> plotted_;
    PlotData plot_;
    int64_t startUs_ = -1;
    CanFrameLog::Cursor cursor_;
};

// Where `signal` lies in a frame of `length` bytes, drawn over the frame's
// bits as the CAN monitor shows them (byte 0 first, each byte from its most
// significant bit, a blank between bytes): the signal's bits as "0" or
// "1" from `data`, the others as ".".
std::string BitLayout(const dbc::Signal& signal, const uint8_t* data, int length);

}  // namespace k57
