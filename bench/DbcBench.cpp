// Measures the signal database: frames decoded per second through a
// database of 100 messages (Intel and Motorola, signed and multiplexed
// signals), against a target of 1,000,000; and the time to read
// vw_mqb.dbc, against a target of 50 ms.
//
//   build/default/bench/dbc_bench [FILE.dbc]

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Decoder.h"
#include "Parse.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// 100 messages of 8 signals each; every tenth message multiplexed.
std::string HundredMessages() {
    std::string text;
    for (int m = 0; m < 100; ++m) {
        text += "BO_ " + std::to_string(0x100 + m) + " Message" + std::to_string(m) + ": 8 ECU\n";
        bool multiplexed = m % 10 == 0;
        for (int s = 0; s < 8; ++s) {
            std::string name = " SG_ S" + std::to_string(s);
            if (multiplexed) {
                name += s == 0 ? " M" : " m" + std::to_string(s % 4);
            }
            bool motorola = s % 2;
            int start = motorola ? s * 8 + 7 : s * 8;
            text += name + " : " + std::to_string(start) + "|8@" + (motorola ? "0" : "1") +
                    (s % 3 ? "+" : "-") + " (0.25,-4) [0|0] \"V\" GW\n";
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace k57::dbc;
    ParseResult hundred = Parse(HundredMessages(), Encoding::Cp1252, "bench.dbc");
    const Database& database = hundred.database;

    struct Frame {
        uint32_t id;
        uint8_t data[8];
    };
    std::mt19937 random(57);
    std::vector<Frame> frames(1'000'000);
    for (Frame& frame : frames) {
        frame.id = 0x100 + random() % 100;
        for (uint8_t& byte : frame.data) {
            byte = uint8_t(random());
        }
    }
    std::vector<Value> values;
    double sum = 0;
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        Clock::time_point start = Clock::now();
        for (const Frame& frame : frames) {
            if (const Message* message = database.Find(frame.id, false)) {
                Decode(*message, frame.data, 8, values);
                for (const Value& value : values) {
                    sum += value.physical;
                }
            }
        }
        best = std::min(best, Seconds(start));
    }
    std::printf("decoding: %.0f frames/s through %zu messages (target 1000000; checksum %g)\n",
                double(frames.size()) / best, database.messages.size(), sum);

    std::string file = argc > 1 ? argv[1] : K57_DBC_DATA "/vw_mqb.dbc";
    double parseBest = 1e9;
    ParseResult result;
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        result = ParseFile(file, Encoding::Cp1252);
        parseBest = std::min(parseBest, Seconds(start));
    }
    std::printf("parsing %s: %.1f ms for %zu messages, %d signals, %d errors (target 50 ms)\n",
                file.c_str(), parseBest * 1000, result.database.messages.size(),
                result.database.SignalCount(), result.ErrorCount());
    return 0;
}
