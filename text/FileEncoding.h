#pragma once

#include <string_view>

// Text files a person hands the tool come from any editor: the unit's own
// code page, or UTF-8 (what k57ctl prints, and what most editors save).
namespace k57 {

enum class FileEncoding { Windows1251, Utf8 };

// UTF-8 when the bytes begin with its byte order mark, or are UTF-8
// throughout and hold a character beyond ASCII; otherwise Windows-1251. A
// Windows-1251 text in Russian is practically never valid UTF-8: its
// letters are bytes 0xC0-0xFF, which UTF-8 must follow with 0x80-0xBF, the
// rarely used signs of Windows-1251. Plain ASCII is the same in both.
FileEncoding DetectEncoding(std::string_view bytes);

// The bytes after a UTF-8 byte order mark, or all of them.
std::string_view WithoutByteOrderMark(std::string_view bytes);

}  // namespace k57
