#include "SettingsFile.h"

#include "FileRead.h"
#include "SafeSave.h"
#include "SettingsLines.h"

namespace k57 {

bool SettingsFile::Read(const std::string& path, std::string& text, Problem& problem,
                        std::string& detail) {
    std::string bytes, error;
    ReadProblem read = ReadProblem::None;
    if (!ReadWholeFile(path, kMaxSize, bytes, read, error)) {
        problem = read == ReadProblem::TooLarge ? Problem::TooLarge : Problem::Unreadable;
        detail = error;
        return false;
    }
    std::string_view view(bytes);
    std::vector<TextLine> lines = SplitLines(view);
    if (int nul = LineWithNul(lines)) {
        problem = Problem::NulByte;
        detail = std::to_string(nul);
        return false;
    }
    for (const TextLine& line : lines) {
        if (line.text.size() > kMaxLine) {
            problem = Problem::LongLine;
            detail = std::to_string(line.number);
            return false;
        }
    }
    problem = Problem::None;
    text = std::move(bytes);
    return true;
}

std::string SettingsFile::WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

bool SettingsFile::Write(const std::string& path, const std::string& text, std::string& error) {
    return SafeSave(path, WithCrLf(text), error, SaveAccess::Private);
}

}  // namespace k57
