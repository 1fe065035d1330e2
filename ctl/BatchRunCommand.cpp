// batch without --check: every unit that appears on the ports written from
// the template and its row, read back, journaled; one line per unit.

#include <QJsonDocument>
#include <QJsonObject>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

#include "BatchCommands.h"
#include "BatchPlan.h"
#include "BatchReport.h"
#include "BatchStation.h"
#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "JournalCommands.h"
#include "StoredPort.h"
#include "Terminal.h"
#include "Workstation.h"

namespace k57::ctl {

namespace {

// The ports' events, handed to the main thread, which prints them and
// watches for Ctrl+C: the ports' threads never write to the terminal.
class EventQueue {
  public:
    void Push(const BatchEvent& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
        ready_.notify_one();
    }
    // The events come so far, after at most `wait`.
    std::deque<BatchEvent> Take(std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait_for(lock, wait, [this] { return !events_.empty(); });
        return std::exchange(events_, {});
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<BatchEvent> events_;
};

const char* StepText(BatchStep step) {
    switch (step) {
        case BatchStep::Waiting:
            return "waiting for a unit";
        case BatchStep::Identifying:
            return "a unit answered";
        case BatchStep::UpdatingFirmware:
            return "updating the firmware";
        case BatchStep::BackingUp:
            return "backing up its settings";
        case BatchStep::Writing:
            return "writing";
        case BatchStep::ReadingBack:
            return "reading back";
        case BatchStep::WaitingForRemoval:
            return "done; take the unit away and plug in the next";
        default:
            return "";
    }
}

std::string SerialText(const std::optional<uint32_t>& serial) {
    return serial ? std::to_string(*serial) : std::string();
}

void PrintResult(const Context& context, const BatchUnitResult& unit) {
    std::string reason = unit.reason;
    if (!unit.advice.empty()) {
        reason += "; " + unit.advice;
    }
    if (context.json) {
        QJsonObject line{{"serial", QString::fromStdString(SerialText(unit.serial))},
                         {"port", QString::fromStdString(unit.port)},
                         {"result", ResultCode(unit.result)},
                         {"verified", unit.verified},
                         {"reason", QString::fromStdString(reason)}};
        std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    } else {
        std::string what =
            unit.port + " " + SerialText(unit.serial) + ": " + ResultCode(unit.result);
        if (unit.result == BatchUnitResult::Result::Ok) {
            what += unit.row > 0
                        ? " (row " + std::to_string(unit.row) + "), read back and confirmed"
                        : " (the template alone), read back and confirmed";
        } else {
            what += ": " + reason;
        }
        std::printf("%s\n", what.c_str());
    }
    std::fflush(stdout);
}

// A port's step on standard error, once per change: a terminal is not
// flooded by the progress of every fragment.
void PrintStep(const Context& context, const BatchEvent& event, std::string& last) {
    if (context.quiet || event.step == BatchStep::Finished) {
        return;
    }
    std::string line = event.port + ": " + StepText(event.step);
    if (event.serial && event.step != BatchStep::Waiting) {
        line = event.port + " " + std::to_string(*event.serial) + ": " + StepText(event.step);
    }
    if (line != last) {
        std::fprintf(stderr, "%s\n", line.c_str());
        last = line;
    }
}

}  // namespace

int RunBatch(Context& context, const BatchCommandLine& line, std::vector<std::string> ports) {
    if (ports.empty()) {
        ports.push_back(StoredPort::ReadOrDefault());
    }
    ParameterList catalogue;
    if (!LoadCatalogue(catalogue)) {
        return kBadInput;
    }
    BatchPlan plan = BatchPlan::Read(line.templateFile, line.valuesFile, catalogue);
    if (!plan.ok()) {
        // The same words as --check: every problem, and nothing written.
        return TellPlan(line, catalogue, plan);
    }
    BatchOptions options;
    options.ports = ports;
    options.updateFirmware = line.updateFirmware;
    options.templateOnly = line.templateOnly;
    options.count = line.count;
    BatchStation station(plan, catalogue, options);
    EventQueue queue;
    station.SetListener([&queue](const BatchEvent& event) { queue.Push(event); });
    std::unique_ptr<BatchReport> report;
    std::string error;
    if (!line.reportDir.empty()) {
        report =
            std::make_unique<BatchReport>(line.reportDir, catalogue,
                                          CertificateFacts{ThisPc(), ThisUser(), station.mark(),
                                                           line.templateFile, line.valuesFile},
                                          std::chrono::system_clock::now());
        if (!report->Start(error)) {
            return Fail(error + "; no unit was written", kNoJournal);
        }
    }
    if (!station.Start(error)) {
        return Fail("no firmware image: " + error, kBadInput);
    }
    Say(context, "batch " + station.mark() + ": " + std::to_string(plan.values().units.size()) +
                     " units, " + std::to_string(station.counts().left) +
                     " not written yet; Ctrl+C ends it");
    std::map<std::string, std::string> lastStep;
    bool ended = false;
    while (!ended) {
        if (Interrupted()) {
            station.Stop();
        }
        ended = station.Wait(std::chrono::milliseconds(0));
        for (const BatchEvent& event : queue.Take(std::chrono::milliseconds(ended ? 0 : 200))) {
            PrintStep(context, event, lastStep[event.port]);
            if (event.result) {
                PrintResult(context, *event.result);
                if (report && !report->Add(*event.result, error)) {
                    std::fprintf(stderr, "k57ctl: %s\n", error.c_str());
                }
                // Shared at once: another station of the workshop must
                // not use the row again.
                station.WithJournal([&context] { ShareJournal(context, false); });
            }
        }
        if (std::string problem = station.TakeJournalProblem(); !problem.empty()) {
            std::fprintf(stderr, "k57ctl: %s\n", problem.c_str());
        }
    }
    BatchCounts counts = station.counts();
    if (report) {
        Say(context, Words("certificates and the summary are in %1 (%2)",
                           "свидетельства и сводка в папке %1 (%2)",
                           {line.reportDir, report->summaryPath()}));
    }
    Say(context, Words("%1 written, %2 failed, %3 skipped; %4 rows not used yet",
                       "записано: %1, с ошибкой: %2, пропущено: %3; не использовано строк: %4",
                       {std::to_string(counts.ok), std::to_string(counts.failed),
                        std::to_string(counts.skipped), std::to_string(counts.left)}));
    return counts.failed > 0 ? kNotConfirmed : kDone;
}

}  // namespace k57::ctl
