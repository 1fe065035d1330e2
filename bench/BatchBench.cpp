// Times a batch against simulated units on links paced to 115200 bit/s:
// a unit's write and read-back compared with the wire time of the two
// transfers (target: at most 1.1 times), and four units on four ports at
// once compared with one unit on one port (target: at most 1.3 times).
//
//   build/default/bench/batch_bench

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>

#include "BatchPlan.h"
#include "BatchStation.h"
#include "EmbeddedImages.h"
#include "Messages.h"
#include "ParameterList.h"
#include "SettingsService.h"
#include "Unit.h"
#include "UnitCore.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBitsPerSecond = 115200;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

// Bytes on the wire for the write, its acknowledgement, the read request
// and its reply.
size_t WireBytes(const std::string& text) {
    using namespace orvan::tms::messages;
    SettingsMessage write, ack, reply;
    write.setText(text);
    reply.setText(text);
    ReqSettingsMessage read;
    return k57::sim::EncodedFrame(write).size() + k57::sim::EncodedFrame(ack).size() +
           k57::sim::EncodedFrame(read).size() + k57::sim::EncodedFrame(reply).size();
}

struct Run {
    double seconds = 0;       // the whole run, first event to last result
    double writeSeconds = 0;  // the slowest unit's write and read-back
    int ok = 0;
};

Run Batch(const k57::BatchPlan& plan, const ParameterList& catalogue, int units,
          const std::string& journal) {
    std::vector<std::unique_ptr<k57::sim::Unit>> sims;
    k57::BatchOptions options;
    for (int i = 0; i < units; ++i) {
        k57::sim::UnitOptions o;
        o.serial = uint32_t(1001 + i);
        o.byteRate = kBitsPerSecond / kBitsPerByte;
        sims.push_back(std::make_unique<k57::sim::Unit>(o));
        if (!sims.back()->start() || !sims.back()->registerAs(60 + i)) {
            std::fprintf(stderr, "cannot start a simulated unit\n");
            std::exit(1);
        }
        options.ports.push_back("COM" + std::to_string(60 + i));
    }
    options.count = units;
    k57::BatchStation station(plan, catalogue, options, journal);
    station.SetPollInterval(std::chrono::milliseconds(20));
    std::mutex mutex;
    std::map<std::string, Clock::time_point> writing;
    Run run;
    station.SetListener([&](const k57::BatchEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        if (event.step == k57::BatchStep::Writing) {
            writing[event.port] = Clock::now();
        } else if (event.step == k57::BatchStep::ReadingBack && event.percent == 100) {
            double s = std::chrono::duration<double>(Clock::now() - writing[event.port]).count();
            run.writeSeconds = std::max(run.writeSeconds, s);
        } else if (event.result) {
            run.ok += event.result->result == k57::BatchUnitResult::Result::Ok ? 1 : 0;
        }
    });
    std::string error;
    Clock::time_point start = Clock::now();
    if (!station.Start(error) || !station.Wait(std::chrono::minutes(5))) {
        std::fprintf(stderr, "the batch did not end: %s\n", error.c_str());
        std::exit(1);
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return run;
}

}  // namespace

int main() {
    QTemporaryDir ports, data;
    qputenv("K57_PORTS_DIR", QDir(ports.path()).absolutePath().toUtf8());
    ParameterList catalogue;
    catalogue.LoadCatalogue(k57::images::Catalogue());
    std::string folder = QDir(data.path()).absolutePath().toStdString();
    // A unit set up in full: every parameter away from its default.
    std::ofstream(folder + "/template.txt")
        << "Balans=*100#\nUserNumber2=+79990000102\nUserNumber3=+79990000103\n"
           "UserNumber4=+79990000104\nNameBT=Fleet car of the workshop, blue\n"
           "ImmoBT=AA:BB:CC:DD:EE:01 AA:BB:CC:DD:EE:02 AA:BB:CC:DD:EE:03\n"
           "MicLevel=10\nCanMode=2\nNoteSecurityOn=5\nNoteSecurityOff=5\nNoteKick=5\n"
           "NoteMove=5\nNoteSlope=5\nNoteBackDoor=5\nNoteHood=5\nNoteDoor=5\nNoteAccLow=5\n"
           "VebastoOn=4\nVebastoOff=4\nVebastoError=4\nKickSens=4\nMoveSens=4\nSlopeSens=4\n"
           "AccLow=11000\nDoorDelay=30\nStoper=1\n";
    std::ofstream values(folder + "/values.csv");
    values << "serial,UserNumber1,PinCod\n";
    for (int i = 0; i < 4; ++i) {
        values << 1001 + i << ",+7999000000" << i << ",123" << i << "\n";
    }
    values.close();
    k57::BatchPlan plan =
        k57::BatchPlan::Read(folder + "/template.txt", folder + "/values.csv", catalogue);
    if (!plan.ok()) {
        std::fprintf(stderr, "the plan has problems\n");
        return 1;
    }
    ParameterList list = catalogue;
    k57::SettingsService settings(list);
    settings.LoadGoodLines(settings.Check(*plan.TextFor(1001)));
    std::string text = list.ValuesToText();
    double wire = double(WireBytes(text)) * kBitsPerByte / kBitsPerSecond;

    Run one = Batch(plan, catalogue, 1, folder + "/one.db");
    Run four = Batch(plan, catalogue, 4, folder + "/four.db");
    std::printf("settings text: %zu bytes; wire time of the write and the read-back: %.3f s\n",
                text.size(), wire);
    std::printf(
        "one unit:   write and read-back %.3f s (%.2fx the wire time; target 1.1x), "
        "whole unit %.3f s\n",
        one.writeSeconds, one.writeSeconds / wire, one.seconds);
    std::printf("four ports: %.3f s for four units at once (%.2fx one unit; target 1.3x)\n",
                four.seconds, four.seconds / one.seconds);
    bool met = one.ok == 1 && four.ok == 4 && one.writeSeconds <= 1.1 * wire &&
               four.seconds <= 1.3 * one.seconds;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
