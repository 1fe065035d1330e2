#include "QtTextSupplement.h"

#include <cstring>
#include <iterator>

namespace k57 {

namespace {

struct Text {
    const char* context;
    const char* source;
    const char* russian;
};

// The file dialog's type column names what is not a file by itself; the
// Windows names come first as Explorer shows them there.
constexpr Text kTexts[] = {
    {"QAbstractFileIconProvider", "Folder", "Папка"},
    {"QAbstractFileIconProvider", "File Folder", "Папка с файлами"},
    {"QAbstractFileIconProvider", "Drive", "Диск"},
    {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
    {"QAbstractFileIconProvider", "Alias", "Псевдоним"},
    {"QAbstractFileIconProvider", "Unknown", "Неизвестно"},
    {"QAbstractFileIconProvider", "%1 File", "Файл %1"},
};

}  // namespace

QString QtTextSupplement::translate(const char* context, const char* sourceText,
                                    const char* /*disambiguation*/, int /*n*/) const {
    if (!context || !sourceText) {
        return {};
    }
    for (const Text& text : kTexts) {
        if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0) {
            return QString::fromUtf8(text.russian);
        }
    }
    return {};
}

}  // namespace k57
