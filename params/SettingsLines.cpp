#include "SettingsLines.h"

namespace k57 {

std::string_view UntilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::vector<TextLine> SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back({++number, text.substr(at, end - at)});
        bool crLf = text.compare(end, 2, "\r\n") == 0;
        at = end + (crLf ? 2 : 1);
    }
    return lines;
}

int LineWithNul(const std::vector<TextLine>& lines) {
    for (const TextLine& line : lines) {
        if (line.text.find('\0') != std::string_view::npos) {
            return line.number;
        }
    }
    return 0;
}

}  // namespace k57
