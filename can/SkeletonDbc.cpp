#include "SkeletonDbc.h"

#include <cstdio>

namespace k57 {

namespace {

// A DBC file marks an extended identifier with the top bit.
constexpr uint32_t kExtendedFlag = 0x80000000u;

std::string Number(unsigned long long value) {
    return std::to_string(value);
}

// "[0|4095]", or "[-2048|2047]" for a signed 12 bits: what the length holds.
std::string Range(int length, bool isSigned) {
    if (isSigned) {
        unsigned long long half = 1ull << (length - 1);
        return "[-" + Number(half) + "|" + Number(half - 1) + "]";
    }
    return "[0|" + Number(length >= 64 ? ~0ull : (1ull << length) - 1) + "]";
}

}  // namespace

std::string SkeletonName(uint32_t id, bool extended) {
    char text[16];
    std::snprintf(text, sizeof text, extended ? "ID_%08X" : "ID_%03X", unsigned(id));
    return text;
}

std::string SkeletonDbc(const std::vector<ProposedMessage>& messages) {
    std::string out =
        "VERSION \"\"\n\n\nNS_ :\n\tCM_\n\tBA_DEF_\n\tBA_\n\tVAL_\n\tSIG_VALTYPE_\n\n"
        "BS_:\n\nBU_:\n\n";
    std::string comments;
    for (const ProposedMessage& message : messages) {
        std::string name = SkeletonName(message.id, message.extended);
        std::string id = Number(message.id | (message.extended ? kExtendedFlag : 0));
        out += "\nBO_ " + id + " " + name + ": " + Number(unsigned(message.dlc)) +
               " Vector__XXX\n";
        int n = 0;
        for (const ProposedSignal& signal : message.signalList) {
            std::string signalName = name + "_S" + Number(unsigned(++n));
            out += " SG_ " + signalName + " : " + Number(unsigned(signal.start)) + "|" +
                   Number(unsigned(signal.length)) + (signal.bigEndian ? "@0" : "@1") +
                   (signal.isSigned ? "-" : "+") + " (1,0) " +
                   Range(signal.length, signal.isSigned) + " \"\" Vector__XXX\n";
            comments += "CM_ SG_ " + id + " " + signalName + " \"" + KindName(signal.kind) +
                        "\";\n";
        }
    }
    out += "\n\n" + comments;
    return out;
}

}  // namespace k57
