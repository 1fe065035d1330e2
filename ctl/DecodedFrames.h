#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Decoder.h"
#include "Parse.h"

// Decoded CAN frames as k57ctl prints them: "can decode" from a log and
// "can --dbc" live.
namespace k57::ctl {

// The DBC file in the encoding named ("cp1252", "cp1251", "utf8"), its
// diagnostics on stderr; false when it cannot be read.
bool LoadDatabase(const std::string& file, const std::string& encodingName,
                  dbc::ParseResult& result);
// "(1436509052.249713) 108 DI_torque1: DI_pedalPos=40 %, DI_soptState=3
// \"SOPT_TEST_PASSED\"": the stamp, identifier, message and each signal's
// value with its unit and value text.
std::string DecodedText(int64_t microseconds, const dbc::Message& message,
                        const std::vector<dbc::Value>& values);
// The same as one compact JSON object: t, id, message, signals, texts.
std::string DecodedJson(int64_t microseconds, const dbc::Message& message,
                        const std::vector<dbc::Value>& values);

}  // namespace k57::ctl
