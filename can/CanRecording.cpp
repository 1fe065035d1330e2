#include "CanRecording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "BlfReader.h"
#include "CandumpReader.h"
#include "FileRead.h"
#include "HexDigit.h"
#include "TrcReader.h"

namespace k57 {

namespace {

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        bool blank = separator == ' ' ? (c == ' ' || c == '\t' || c == '\r') : c == separator;
        if (!blank) {
            word += c;
        } else if (separator != ' ' || !word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty() || separator != ' ') {
        words.push_back(std::move(word));
    }
    return words;
}

bool Base64(const std::string& text, std::vector<uint8_t>& bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    uint32_t bits = 0;
    int count = 0;
    bytes.clear();
    for (char c : text) {
        if (c == '=' || c == '\r') {
            break;
        }
        const char* at = std::strchr(kAlphabet, c);
        if (!at || !c) {
            return false;
        }
        bits = bits << 6 | uint32_t(at - kAlphabet);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(uint8_t(bits >> count));
        }
    }
    return true;
}

void ReadCandump(std::istream& in, CanRecording& recording) {
    CandumpReader reader(in);
    CandumpFrame f;
    while (!recording.full && reader.Next(f)) {
        LoggedFrame frame{f.microseconds, f.id, f.extended, f.remote, f.length, {}};
        std::memcpy(frame.data, f.data, sizeof frame.data);
        recording.Add(frame);
    }
    recording.skipped += reader.canFdSkipped();
    for (const CandumpReader::Problem& problem : reader.problems()) {
        recording.Malformed(problem.line, problem.message);
    }
    // Those beyond the kept ones were only counted.
    recording.malformed = reader.malformed();
}

// "   1.015991 1  123x            Rx   d 8 01 02 03 04 05 06 07 08"
void AscLine(const std::string& line, int number, CanRecording& recording) {
    std::vector<std::string> w = Split(line, ' ');
    if (w.empty() || w[0] == "//") {
        return;
    }
    for (const char* head : {"date", "base", "internal", "no", "Begin", "End"}) {
        if (w[0] == head) {
            return;
        }
    }
    int64_t us = 0;
    if (!ParseSeconds(w[0], us)) {
        recording.Malformed(number, "no time in seconds at the start");
        return;
    }
    if (w.size() < 5 || (w[4] != "d" && w[4] != "r")) {
        // Events that are not classic frames: FD, error frames, the start
        // of measurement, statistics.
        if (w.size() >= 2 && (w[1] == "CANFD" || line.find("ErrorFrame") != std::string::npos)) {
            ++recording.skipped;
        }
        return;
    }
    LoggedFrame frame{us, 0, false, w[4] == "r", 0, {}};
    std::string id = w[2];
    frame.extended = !id.empty() && (id.back() == 'x' || id.back() == 'X');
    if (frame.extended) {
        id.pop_back();
    }
    uint32_t dlc = 0;
    if (!HexNumber(id, frame.id) || !IdentifierFits(frame.id, frame.extended)) {
        recording.Malformed(number, "the identifier is not hex within its range");
        return;
    }
    if (w.size() > 5 && (!HexNumber(w[5], dlc, 1) || dlc > 8)) {
        recording.Malformed(number, "the length code is not 0 to 8");
        return;
    }
    if (!frame.remote && w.size() < 6 + dlc) {
        recording.Malformed(number, "fewer data bytes than the length code says");
        return;
    }
    frame.dlc = uint8_t(dlc);
    for (size_t i = 0; !frame.remote && i < dlc; ++i) {
        uint32_t byte = 0;
        if (!HexNumber(w[6 + i], byte, 2)) {
            recording.Malformed(number, "a data byte is not two hex digits");
            return;
        }
        frame.data[i] = uint8_t(byte);
    }
    recording.Add(frame);
}

// "1483389946.197,0x123,0,0,0,8,AQIDBAUGBwg="
void CsvLine(const std::string& line, int number, CanRecording& recording) {
    if (line.find_first_not_of(" \t\r") == std::string::npos ||
        line.compare(0, 9, "timestamp") == 0) {
        return;
    }
    std::vector<std::string> f = Split(line, ',');
    if (f.size() != 7) {
        recording.Malformed(number, "not the 7 fields timestamp,arbitration_id,extended,remote,"
                                    "error,dlc,data");
        return;
    }
    LoggedFrame frame{0, 0, f[2] == "1", f[3] == "1", 0, {}};
    std::vector<uint8_t> bytes;
    std::string id = f[1].compare(0, 2, "0x") == 0 ? f[1].substr(2) : f[1];
    char* end = nullptr;
    long dlc = std::strtol(f[5].c_str(), &end, 10);
    if (!ParseSeconds(f[0], frame.us)) {
        recording.Malformed(number, "the timestamp is not a number of seconds");
    } else if (!HexNumber(id, frame.id) || !IdentifierFits(frame.id, frame.extended)) {
        recording.Malformed(number, "the identifier is not hex within its range");
    } else if (f[4] == "1") {
        ++recording.skipped;  // an error frame
    } else if (*end || end == f[5].c_str() || dlc < 0 || dlc > 8) {
        ++recording.skipped;  // FD, or not a length code
    } else if (!Base64(f[6], bytes) || (!frame.remote && bytes.size() != size_t(dlc))) {
        recording.Malformed(number, "the data are not base64 of the length code's bytes");
    } else {
        frame.dlc = uint8_t(dlc);
        if (!frame.remote) {
            std::copy(bytes.begin(), bytes.end(), frame.data);
        }
        recording.Add(frame);
    }
}

}  // namespace

bool HexNumber(const std::string& text, uint32_t& value, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    value = 0;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        value = value << 4 | uint32_t(digit);
    }
    return true;
}

bool IdentifierFits(uint32_t id, bool extended) {
    return id <= (extended ? 0x1FFFFFFFu : 0x7FFu);
}

bool CanRecording::Add(const LoggedFrame& frame) {
    if (frames.size() >= kMaxFrames) {
        full = true;
        return false;
    }
    const uint64_t key = frame.Key();
    if (identifiers.size() >= kMaxIdentifiers && !identifiers.count(key)) {
        full = true;
        return false;
    }
    identifiers.insert(key);
    frames.push_back(frame);
    return true;
}

void CanRecording::Malformed(int line, const std::string& message) {
    ++malformed;
    if (problems.size() < kMaxProblems) {
        problems.push_back({line, message});
    }
}

bool ParseSeconds(const std::string& text, int64_t& microseconds) {
    size_t at = 0;
    bool negative = !text.empty() && text[0] == '-';
    at += negative;
    int64_t whole = 0, fraction = 0;
    int digits = 0, fractionDigits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
        if (digits < 12) {
            whole = whole * 10 + (text[at] - '0');
        }
    }
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
            if (fractionDigits < 6) {
                fraction = fraction * 10 + (text[at] - '0');
                ++fractionDigits;
            }
        }
    }
    if (digits == 0 || digits > 12 || (at < text.size() && text[at] != '\r')) {
        return false;
    }
    for (; fractionDigits < 6; ++fractionDigits) {
        fraction *= 10;
    }
    microseconds = (negative ? -1 : 1) * (whole * 1000000 + fraction);
    return true;
}

CanLogFormat CanLogFormatOf(const std::string& path, const std::string& firstLine) {
    auto endsWith = [&](const char* tail) {
        size_t n = std::strlen(tail);
        if (path.size() < n) {
            return false;
        }
        for (size_t i = 0; i < n; ++i) {
            if (std::tolower(static_cast<unsigned char>(path[path.size() - n + i])) != tail[i]) {
                return false;
            }
        }
        return true;
    };
    if (endsWith(".asc") || firstLine.compare(0, 5, "date ") == 0) {
        return CanLogFormat::Asc;
    }
    if (endsWith(".csv") || firstLine.compare(0, 10, "timestamp,") == 0) {
        return CanLogFormat::Csv;
    }
    if (endsWith(".trc") || firstLine.compare(0, 13, ";$FILEVERSION") == 0) {
        return CanLogFormat::Trc;
    }
    if (endsWith(".blf") || firstLine.compare(0, 4, "LOGG") == 0) {
        return CanLogFormat::Blf;
    }
    return CanLogFormat::Candump;
}

void ReadCanLog(std::istream& in, CanLogFormat format, CanRecording& recording,
                long long size) {
    if (format == CanLogFormat::Candump) {
        ReadCandump(in, recording);
        return;
    }
    if (format == CanLogFormat::Trc) {
        ReadTrc(in, recording);
        return;
    }
    if (format == CanLogFormat::Blf) {
        ReadBlf(in, size, recording);
        return;
    }
    std::string line;
    bool cut = false;
    for (int number = 1; !recording.full && ReadLine(in, line, FileLimits::kLine, cut); ++number) {
        if (cut) {
            recording.Malformed(number, LongLine());
        } else if (format == CanLogFormat::Asc) {
            AscLine(line, number, recording);
        } else {
            CsvLine(line, number, recording);
        }
    }
}

std::string LongLine() {
    return "longer than " + std::to_string(FileLimits::kLine) + " bytes";
}

}  // namespace k57
