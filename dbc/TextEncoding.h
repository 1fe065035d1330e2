#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace k57::dbc {

// What a DBC file's texts (names, units, comments, value texts) are written
// in. The tools that write them save Windows-1252 unless told otherwise.
enum class Encoding { Cp1252, Cp1251, Utf8 };

// "cp1252", "cp1251" or "utf8" (also "windows-1252", "windows-1251",
// "utf-8"), any case.
std::optional<Encoding> EncodingNamed(std::string_view name);
// UTF-8 text from the file's bytes; UTF-8 input is taken as it is.
std::string ToUtf8(std::string_view text, Encoding encoding);

}  // namespace k57::dbc
