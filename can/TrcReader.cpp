#include "TrcReader.h"

#include <sstream>
#include <vector>

#include "FileRead.h"

namespace k57 {

namespace {

// Where a data or remote frame's fields stand among a line's words.
struct Layout {
    int time = 1;
    int type = -1;  // none in version 1.0: every line is a frame
    int id = 2;
    int length = 3;
    int data = 4;
};

// A trace line's meaning by its type word.
enum class Kind { Data, Remote, Other, Unknown };

Kind KindOf(const std::string& type, bool version2) {
    if (version2) {
        if (type == "DT") {
            return Kind::Data;
        }
        if (type == "RR") {
            return Kind::Remote;
        }
        // CAN FD frames, error frames, status, error counters, events.
        for (const char* other : {"FD", "FB", "FE", "BI", "ER", "ST", "EC", "EV"}) {
            if (type == other) {
                return Kind::Other;
            }
        }
        return Kind::Unknown;
    }
    return type == "Rx" || type == "Tx" ? Kind::Data : Kind::Other;  // "Warng", "Error"
}

// 1.x: "N) O [B] T I [R] L D...", bus from 1.2, the reserved column from 1.3.
Layout Version1(int minor) {
    if (minor == 0) {
        return Layout{};
    }
    int bus = minor >= 2;
    int reserved = minor >= 3;
    return Layout{1, 2 + bus, 3 + bus, 4 + bus + reserved, 5 + bus + reserved};
}

// 2.x: the columns ";$COLUMNS=" lists, 2.0's fixed ones otherwise. The
// length is the length code (L) when there is one, else the data's (l).
bool Version2(const std::string& columns, Layout& layout) {
    layout = Layout{-1, -1, -1, -1, -1};
    int at = 0;
    int dataLength = -1;
    for (char c : columns) {
        if (c == ',' || c == ' ') {
            continue;
        }
        int* field = c == 'O' ? &layout.time
                     : c == 'T' ? &layout.type
                     : c == 'I' ? &layout.id
                     : c == 'L' ? &layout.length
                     : c == 'l' ? &dataLength
                     : c == 'D' ? &layout.data
                                : nullptr;
        if (field) {
            *field = at;
        }
        ++at;
    }
    if (layout.length < 0) {
        layout.length = dataLength;
    }
    return layout.time >= 0 && layout.type >= 0 && layout.id >= 0 && layout.length >= 0 &&
           layout.data > layout.length && layout.data == at - 1;
}

class TrcLines {
  public:
    explicit TrcLines(CanRecording& recording) : recording_(recording) {}

    void Line(const std::string& line, int number) {
        if (line.compare(0, 1, ";") == 0) {
            Header(line, number);
            return;
        }
        std::istringstream in(line);
        std::vector<std::string> w;
        for (std::string word; in >> word;) {
            w.push_back(word);
        }
        if (w.empty()) {
            return;
        }
        auto at = [&](int index) { return size_t(index) < w.size() ? w[index] : std::string(); };
        Kind kind = layout_.type < 0 ? Kind::Data : KindOf(at(layout_.type), version2_);
        if (kind == Kind::Unknown) {
            recording_.Malformed(number, "an unknown line type \"" + at(layout_.type) + "\"");
            return;
        }
        std::string id = at(layout_.id);
        if (kind == Kind::Other || (!version2_ && id == "FFFFFFFF")) {
            ++recording_.skipped;  // bus status in 1.0
            return;
        }
        Frame(w, kind, number);
    }

  private:
    void Header(const std::string& line, int number) {
        std::string text = line.substr(0, line.find_last_not_of(" \r") + 1);
        if (text.compare(0, 14, ";$FILEVERSION=") == 0) {
            std::string version = text.substr(14);
            version2_ = version.compare(0, 2, "2.") == 0;
            if (version2_) {
                Version2("N,O,T,I,d,l,D", layout_);
            } else if (version.size() == 3 && version.compare(0, 2, "1.") == 0 &&
                       version[2] >= '0' && version[2] <= '3') {
                layout_ = Version1(version[2] - '0');
            } else {
                recording_.Malformed(number, "file version " + version + " is not read");
            }
        } else if (text.compare(0, 10, ";$COLUMNS=") == 0 &&
                   (!version2_ || !Version2(text.substr(10), layout_))) {
            recording_.Malformed(number, "the columns lack a time, type, identifier, length "
                                         "or data at the end");
            Version2("N,O,T,I,d,l,D", layout_);
        }
    }

    void Frame(const std::vector<std::string>& w, Kind kind, int number) {
        LoggedFrame frame{0, 0, false, kind == Kind::Remote, 0, {}};
        const std::string empty;
        auto at = [&](int index) -> const std::string& {
            return size_t(index) < w.size() ? w[index] : empty;
        };
        const std::string& id = at(layout_.id);
        frame.extended = id.size() > 4;
        int64_t scaled = 0;  // milliseconds, as if they were seconds
        uint32_t length = 0;
        if (!ParseSeconds(at(layout_.time), scaled) || scaled < 0) {
            recording_.Malformed(number, "no time offset in milliseconds");
            return;
        }
        frame.us = (scaled + 500) / 1000;
        if (!HexNumber(id, frame.id) || !IdentifierFits(frame.id, frame.extended)) {
            recording_.Malformed(number, "the identifier is not hex within its range");
            return;
        }
        if (!HexNumber(at(layout_.length), length, 2) ||
            at(layout_.length).find_first_not_of("0123456789") != std::string::npos ||
            length > 8) {
            recording_.Malformed(number, "the length is not 0 to 8");
            return;
        }
        frame.dlc = uint8_t(length);
        frame.remote = frame.remote || at(layout_.data) == "RTR";
        if (!frame.remote && w.size() < size_t(layout_.data) + length) {
            recording_.Malformed(number, "fewer data bytes than the length says");
            return;
        }
        for (size_t i = 0; !frame.remote && i < length; ++i) {
            uint32_t byte = 0;
            if (w[layout_.data + i].size() != 2 || !HexNumber(w[layout_.data + i], byte, 2)) {
                recording_.Malformed(number, "a data byte is not two hex digits");
                return;
            }
            frame.data[i] = uint8_t(byte);
        }
        recording_.Add(frame);
    }

    CanRecording& recording_;
    Layout layout_;  // 1.0 until a file version says otherwise
    bool version2_ = false;
};

}  // namespace

void ReadTrc(std::istream& in, CanRecording& recording) {
    TrcLines lines(recording);
    std::string line;
    bool cut = false;
    for (int number = 1; !recording.full && ReadLine(in, line, FileLimits::kLine, cut); ++number) {
        if (cut) {
            recording.Malformed(number, LongLine());
        } else {
            lines.Line(line, number);
        }
    }
}

}  // namespace k57
