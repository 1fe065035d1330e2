#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
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
// Decoded frames as lines appended to `out`: as text, "(1436509052.249713)
// 108 DI_torque1: DI_pedalPos=40 %, DI_soptState=3 \"SOPT_TEST_PASSED\"" (the
// stamp, identifier, message and each signal's value with its unit and value
// text), or as one compact JSON object (t, id, message, signals, texts).
// What each message's lines share (identifier, names, JSON quoting and key
// order) is worked out once, so a line costs little more than its numbers.
// Keeps pointers into the database, which must outlive it.
class DecodedLines {
  public:
    DecodedLines();
    ~DecodedLines();
    DecodedLines(const DecodedLines&) = delete;
    DecodedLines& operator=(const DecodedLines&) = delete;

    void Text(std::string& out, int64_t microseconds, const dbc::Message& message,
              const std::vector<dbc::Value>& values);
    void Json(std::string& out, int64_t microseconds, const dbc::Message& message,
              const std::vector<dbc::Value>& values);

  private:
    struct MessageParts;
    const MessageParts& PartsOf(const dbc::Message& message);
    const std::string& JsonText(const std::string& text);
    void WriteSignals(std::string& out, const MessageParts& parts, bool texts);

    std::unordered_map<const dbc::Message*, std::unique_ptr<MessageParts>> parts_;
    std::unordered_map<const std::string*, std::string> texts_;  // quoted for JSON
    std::vector<const dbc::Value*> byIndex_;  // this frame's values by signal
};

}  // namespace k57::ctl
