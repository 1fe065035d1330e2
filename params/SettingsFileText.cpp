#include "SettingsFileText.h"

#include "Cp1251.h"
#include "FileEncoding.h"
#include "SettingsLines.h"

namespace k57 {

SettingsFileText ToUnitText(std::string_view fileBytes) {
    SettingsFileText file;
    if (DetectEncoding(fileBytes) != FileEncoding::Utf8) {
        file.text = std::string(fileBytes);
        return file;
    }
    file.utf8 = true;
    std::string_view text = WithoutByteOrderMark(fileBytes);
    if (std::optional<std::string> whole = cp1251::FromUtf8(text)) {
        file.text = std::move(*whole);
        return file;
    }
    // Line by line, so that the lines at fault can be named; the numbers
    // stay those of the file.
    for (const TextLine& line : SplitLines(text)) {
        std::optional<std::string> converted = cp1251::FromUtf8(line.text);
        if (!converted) {
            file.outsideCodePage.push_back(line.number);
        }
        file.text += converted ? *converted : std::string(line.text);
        file.text += '\n';
    }
    return file;
}

}  // namespace k57
