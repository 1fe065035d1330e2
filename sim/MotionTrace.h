#pragma once

#include <cstdint>
#include <string>

namespace k57::sim {

// A motion sensor on a parked car, as the diagnostic stream reports it:
// gravity on Z with the sensor's rest noise, a slow tilt that swings part
// of gravity from Z to Y and back over a minute, and every kTapPeriod
// seconds a tap on the body, a damped burst ringing mostly on X. The unit
// reports the taps and the tilt past its threshold as "$AccE:" events, and
// the supply voltage and a door now and then as "$VS:" and "$Can:".
class MotionTrace {
  public:
    static constexpr double kGravity = 980;      // the unit's readings at rest on Z
    static constexpr double kTapPeriod = 7;      // seconds
    static constexpr double kTiltPeriod = 60;    // seconds
    static constexpr double kTiltDegrees = 12;   // the swing's amplitude
    static constexpr double kTiltAlarm = 8;      // degrees the unit reports

    struct Reading {
        double x, y, z;
        std::string event;  // an event line due with this reading, or empty
    };

    // The reading `seconds` after diagnostic mode began; calls come in
    // time order.
    Reading At(double seconds);

  private:
    double Noise();

    uint32_t random_ = 2463534242u;
    int taps_ = 0;
    bool tilted_ = false;
    int voltages_ = 0;
    int doors_ = 0;
};

}  // namespace k57::sim
