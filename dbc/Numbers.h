#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

// Numbers as a DBC file writes them, always with a decimal point: no locale
// takes part (std::from_chars), so "0.005" is 0.005 under any LC_NUMERIC.
namespace k57::dbc {

// The whole of `text` as a T, or nothing.
template <typename T>
std::optional<T> Read(std::string_view text) {
    T value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

inline std::optional<double> ToDouble(std::string_view text) { return Read<double>(text); }
inline std::optional<uint64_t> ToUnsigned(std::string_view text) { return Read<uint64_t>(text); }

}  // namespace k57::dbc
