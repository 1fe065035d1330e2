#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "StoredPort.h"
#include "TempDir.h"
#include "Unit.h"

namespace k57::test {

// How many requests of `code` a unit received.
inline int Count(const std::vector<int>& requests, int code) {
    return int(std::count(requests.begin(), requests.end(), code));
}

// Polls `done` until it holds or `ms` have passed: the unit serves on its
// own thread, so what it received shows a moment after the tool sent it.
// The deadline is generous, for a busy machine: waiting ends as soon as
// `done` holds, and only a failure waits it out.
// `done` is asked once a round and never again once it holds, so it may
// take a step of its own.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
    bool met = done();
    for (int waited = 0; !met && waited < ms; waited += 5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        met = done();
    }
    return met;
}

// A test with a private ports directory and stored port, in which simulated
// units are plugged in under COM names.
class SimulatedUnits : public ::testing::Test {
  protected:
    sim::Unit& Plug(int com, sim::UnitOptions options = {}) {
        units_.push_back(std::make_unique<sim::Unit>(std::move(options)));
        sim::Unit& unit = *units_.back();
        EXPECT_TRUE(unit.start());
        EXPECT_TRUE(unit.registerAs(com));
        return unit;
    }

    IsolatedPorts ports_;
    IsolatedSettings settings_;
    std::vector<std::unique_ptr<sim::Unit>> units_;
};

}  // namespace k57::test
