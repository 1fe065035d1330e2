#pragma once

#include <string_view>
#include <vector>

namespace k57 {

// One line of a settings text, without its line end.
struct TextLine {
    int number = 0;  // from 1, as an editor shows it
    std::string_view text;
};

// The unit's text ends at its first NUL, as a C text does.
std::string_view UntilNul(std::string_view text);

// The lines of a settings text: CR LF, LF and CR each end a line, and a last
// line without an end counts too; empty lines are kept so that the numbers
// match the file. NUL bytes stay in their lines (see LineWithNul).
std::vector<TextLine> SplitLines(std::string_view text);

// The number of the first line holding a NUL byte, or 0. A file holding one
// is no settings text: the unit would end the text there.
int LineWithNul(const std::vector<TextLine>& lines);

}  // namespace k57
