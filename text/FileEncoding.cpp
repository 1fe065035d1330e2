#include "FileEncoding.h"

#include "Utf8.h"

namespace k57 {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool HasNonAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (uint8_t(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view bytes) {
    return bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark
               ? bytes.substr(kByteOrderMark.size())
               : bytes;
}

FileEncoding DetectEncoding(std::string_view bytes) {
    std::string_view text = WithoutByteOrderMark(bytes);
    bool marked = text.size() != bytes.size();
    return utf8::IsValid(text) && (marked || HasNonAscii(text)) ? FileEncoding::Utf8
                                                                : FileEncoding::Windows1251;
}

}  // namespace k57
