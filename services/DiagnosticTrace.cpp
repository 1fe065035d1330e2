#include "DiagnosticTrace.h"

#include <cmath>
#include <optional>

#include "Cp1251.h"
#include "FileRead.h"
#include "PlotCsv.h"
#include "SafeSave.h"

namespace k57 {

DiagnosticTrace::DiagnosticTrace() {
    for (const char* axis : {"X", "Y", "Z"}) {
        data_.AddChannel(axis, "", kCapacity);
    }
}

void DiagnosticTrace::Take(const DiagnosticLines::Result& result, double seconds) {
    const size_t n = result.readings.size();
    // A read that found several lines: they arrived over the time since the
    // previous read, not all at once.
    const double from = std::min(lastSeconds_, seconds);
    for (size_t i = 0; i < n; ++i) {
        const double t = n == 1 ? seconds : from + (seconds - from) * double(i + 1) / double(n);
        std::vector<std::optional<double>> row(3);
        for (int axis = X; axis <= Z; ++axis) {
            double value = result.readings[i].axis[axis];
            if (!std::isnan(value)) {
                data_.Add(axis, t, value);
                row[size_t(axis)] = value;
            }
        }
        Record(plotcsv::Row(t, row));
    }
    for (const std::string& event : result.events) {
        std::string label = cp1251::ToUtf8(event);
        data_.AddMark(seconds, label);
        Record(plotcsv::Row(seconds, std::vector<std::optional<double>>(3), label));
    }
    lastSeconds_ = seconds;
}

void DiagnosticTrace::Clear() {
    data_.Clear();
}

bool DiagnosticTrace::StartRecording(const QString& path, QString& error) {
    QString ignored;
    StopRecording(ignored);
    std::string reason;
    if (NotRegularFile(path.toStdString(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    auto file = std::make_unique<QFile>(path);
    const std::string header = plotcsv::Header(data_.channels());
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file->write(header.data(), qint64(header.size())) != qint64(header.size())) {
        error = file->errorString();
        return false;
    }
    recording_ = std::move(file);
    recordingFailed_ = false;
    return true;
}

bool DiagnosticTrace::StopRecording(QString& error) {
    if (!recording_) {
        return true;
    }
    bool good = recording_->flush() && !recordingFailed_;
    if (!good) {
        error = recording_->errorString();
    }
    recording_->close();
    recording_.reset();
    return good;
}

// Each row goes to the file as it comes: a session cut short by a crash or
// a pulled cable keeps what was recorded.
void DiagnosticTrace::Record(const std::string& row) {
    if (recording_ && !recordingFailed_) {
        recordingFailed_ = recording_->write(row.data(), qint64(row.size())) != qint64(row.size()) ||
                           !recording_->flush();
    }
}

bool DiagnosticTrace::Open(const QString& path, PlotData& data, QString& error) {
    std::string bytes, reason;
    if (!ReadWholeFile(path.toStdString(), FileLimits::kPlotCsv, bytes, reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    plotcsv::ReadResult read = plotcsv::Read(bytes, data, kCapacity);
    if (!read.ok) {
        error = QString::fromStdString(read.error);
    }
    return read.ok;
}

}  // namespace k57
