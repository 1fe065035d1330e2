// dbc check and can decode: CAN signal databases, without a unit.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "CanFrameLog.h"
#include "CanRecording.h"
#include "CandumpReader.h"
#include "Commands.h"
#include "DecodedFrames.h"
#include "Decoder.h"
#include "ExitCodes.h"
#include "FileRead.h"
#include "Parse.h"

namespace k57::ctl {

namespace {}  // namespace

// The file read, its diagnostics on stderr; false when it cannot be read.
bool LoadDatabase(const std::string& file, const std::string& encodingName,
                  dbc::ParseResult& result) {
    std::optional<dbc::Encoding> encoding = dbc::EncodingNamed(encodingName);
    if (!encoding) {
        Fail("--encoding takes cp1252, cp1251 or utf8", kBadInput);
        return false;
    }
    result = dbc::ParseFile(file, *encoding);
    for (const dbc::Diagnostic& diagnostic : result.diagnostics) {
        std::fprintf(stderr, "%s\n", diagnostic.ToString().c_str());
    }
    if (int unlisted = result.unlistedErrors + result.unlistedWarnings) {
        std::fprintf(stderr, "%s: %d more errors and warnings\n", file.c_str(), unlisted);
    }
    return result.diagnostics.empty() || result.diagnostics.front().line != 0;
}

int DbcCheck(const Context& context, const std::string& file, const std::string& encoding) {
    dbc::ParseResult result;
    if (!LoadDatabase(file, encoding, result)) {
        return FileReadsStopped() ? kInterrupted : kBadInput;
    }
    const dbc::Database& database = result.database;
    if (context.json) {
        QJsonObject skipped;
        for (const auto& [keyword, count] : result.skipped) {
            skipped[QString::fromStdString(keyword)] = count;
        }
        QJsonArray diagnostics;
        for (const dbc::Diagnostic& diagnostic : result.diagnostics) {
            diagnostics.append(QJsonObject{{"line", diagnostic.line},
                                           {"message", QString::fromStdString(diagnostic.message)},
                                           {"warning", diagnostic.warning}});
        }
        PrintJson(QJsonObject{{"messages", int(database.messages.size())},
                              {"signals", database.SignalCount()},
                              {"valueTables", database.ValueTableCount()},
                              {"skipped", skipped},
                              {"diagnostics", diagnostics}});
    } else {
        std::printf("messages: %zu\nsignals: %d\nvalue tables: %d\n", database.messages.size(),
                    database.SignalCount(), database.ValueTableCount());
        for (const auto& [keyword, count] : result.skipped) {
            std::printf("skipped %s: %d\n", keyword.c_str(), count);
        }
        std::printf("errors: %d\nwarnings: %d\n", result.ErrorCount(),
                    int(result.diagnostics.size()) + result.unlistedErrors +
                        result.unlistedWarnings - result.ErrorCount());
    }
    return result.ErrorCount() ? kBadInput : kDone;
}

namespace {

// Prints the frames of one log decoded, into stdout's buffer.
class FramePrinter {
  public:
    FramePrinter(const Context& context, const dbc::Database& database)
        : json_(context.json), database_(database) {}

    // The frame printed decoded when the database knows it; false otherwise.
    bool Print(int64_t microseconds, uint32_t id, bool extended, bool remote, const uint8_t* data,
               int length) {
        const dbc::Message* message = database_.Find(id, extended);
        if (!message || remote) {
            return false;
        }
        dbc::Decode(*message, data, size_t(length), values_);
        line_.clear();
        if (json_) {
            lines_.Json(line_, microseconds, *message, values_);
        } else {
            lines_.Text(line_, microseconds, *message, values_);
        }
        line_ += '\n';
        std::fwrite(line_.data(), 1, line_.size(), stdout);
        return true;
    }

  private:
    bool json_;
    const dbc::Database& database_;
    DecodedLines lines_;
    std::vector<dbc::Value> values_;
    std::string line_;
};

std::string DecodeSummary(int64_t frames, int64_t decoded) {
    return std::to_string(frames) + " frames, " + std::to_string(decoded) + " decoded, " +
           std::to_string(frames - decoded) + " remote or not in the database; ";
}

// A capture file of another kind than candump (ASC, CSV, PCAN trace, BLF),
// read whole.
int DecodeCapture(const Context& context, const std::string& log, const dbc::Database& database) {
    CanRecording recording;
    std::string error;
    if (!ReadCanLogFile(log, recording, error)) {
        return ReadFailed(log, error);
    }
    FramePrinter printer(context, database);
    int64_t decoded = 0;
    for (const LoggedFrame& f : recording.frames) {
        decoded += printer.Print(f.us, f.id, f.extended, f.remote, f.data, f.dlc);
    }
    PrintCaptureProblems(log, recording);
    Say(context, DecodeSummary(int64_t(recording.frames.size()), decoded) +
                     std::to_string(recording.skipped) +
                     " error, status or CAN FD frames skipped, " +
                     std::to_string(recording.malformed) + " malformed");
    return kDone;
}

}  // namespace

int CanDecode(const Context& context, const std::string& log, const std::string& file,
              const std::string& encoding) {
    dbc::ParseResult result;
    if (!LoadDatabase(file, encoding, result)) {
        return FileReadsStopped() ? kInterrupted : kBadInput;
    }
    // Standard input and candump logs are decoded as they come.
    CanLogFormat format = CanLogFormat::Candump;
    std::string error;
    if (log != "-" && !CanLogFormatOfFile(log, format, error)) {
        return ReadFailed(log, error);
    }
    if (format != CanLogFormat::Candump) {
        return DecodeCapture(context, log, result.database);
    }
    FileStream logFile;  // "-": standard input
    if (!logFile.Open(log, error)) {
        return ReadFailed(log, error);
    }
    CandumpReader reader(logFile);
    CandumpFrame frame;
    FramePrinter printer(context, result.database);
    int64_t frames = 0, decoded = 0;
    while (reader.Next(frame)) {
        ++frames;
        decoded += printer.Print(frame.microseconds, frame.id, frame.extended, frame.remote,
                                 frame.data, frame.length);
        // Nothing more read ahead: a live input (a pipe, a terminal) may wait
        // for its next frame, so what was decoded goes out now. A file costs
        // one flush per block read.
        if (logFile.rdbuf()->in_avail() <= 0) {
            std::fflush(stdout);
        }
    }
    for (const CandumpReader::Problem& problem : reader.problems()) {
        std::fprintf(stderr, "%s:%d: %s\n", log.c_str(), problem.line, problem.message.c_str());
    }
    Say(context, DecodeSummary(frames, decoded) + std::to_string(reader.canFdSkipped()) +
                     " CAN FD lines skipped, " + std::to_string(reader.malformed()) +
                     " malformed lines");
    return logFile.problem() == ReadProblem::None ? kDone : ReadFailed(log, logFile.ProblemText());
}

}  // namespace k57::ctl
