#include "MotionTrace.h"

#include <cmath>
#include <cstdio>

namespace k57::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTapAmplitude = 420;
constexpr double kTapDecay = 0.09;    // seconds to fall to 1/e
constexpr double kTapRinging = 23;    // Hz: the body's ringing
constexpr double kNoise = 2.5;        // the sensor's rest noise, one sigma

}  // namespace

// About normal: the sum of four uniform numbers, scaled.
double MotionTrace::Noise() {
    double sum = 0;
    for (int i = 0; i < 4; ++i) {
        random_ ^= random_ << 13;
        random_ ^= random_ >> 17;
        random_ ^= random_ << 5;
        sum += double(random_) / 4294967295.0 - 0.5;
    }
    return sum * std::sqrt(3.0) * kNoise;
}

MotionTrace::Reading MotionTrace::At(double seconds) {
    const double angle =
        kTiltDegrees * std::sin(2 * kPi * seconds / kTiltPeriod) * kPi / 180;
    Reading r{Noise(), kGravity * std::sin(angle) + Noise(), kGravity * std::cos(angle) + Noise(),
              {}};
    // The tap: the first one a period in, then every period.
    const double sinceTap = std::fmod(seconds, kTapPeriod);
    if (seconds >= kTapPeriod) {
        const double ring = kTapAmplitude * std::exp(-sinceTap / kTapDecay) *
                            std::sin(2 * kPi * kTapRinging * sinceTap);
        r.x += ring;
        r.y += 0.35 * ring;
        r.z -= 0.5 * ring;
        const int tap = int(seconds / kTapPeriod);
        if (tap > taps_) {
            taps_ = tap;
            char line[48];
            std::snprintf(line, sizeof line, "$AccE: Shock %d", tap);
            r.event = line;
        }
    }
    const bool tilted = std::abs(angle) * 180 / kPi > kTiltAlarm;
    if (r.event.empty() && tilted != tilted_) {
        tilted_ = tilted;
        r.event = tilted ? "$AccE: Tilt" : "$AccE: Tilt end";
    }
    if (r.event.empty() && int(seconds / 20) > voltages_) {
        voltages_ = int(seconds / 20);
        r.event = "$VS: Voltage 12.4 V";
    }
    if (r.event.empty() && int((seconds + 11) / 30) > doors_) {
        doors_ = int((seconds + 11) / 30);
        r.event = doors_ % 2 ? "$Can: Door open" : "$Can: Door closed";
    }
    return r;
}

}  // namespace k57::sim
