#include "InterfaceLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include "ProgramText.h"
#include "ToolSettings.h"

namespace k57 {

namespace {

const char kLanguageKey[] = "interface/language";

const QTranslator* gTranslation = nullptr;

std::string TranslatedProgramText(const char* context, const char* text) {
    QString translated = gTranslation->translate(context, text);
    return translated.isEmpty() ? std::string(text) : translated.toStdString();
}

}  // namespace

std::optional<Language> ParseLanguage(const QString& code) {
    const QString lower = code.trimmed().toLower();
    if (lower == "ru") {
        return Language::Russian;
    }
    if (lower == "en") {
        return Language::English;
    }
    return std::nullopt;
}

QString LanguageCode(Language language) {
    return language == Language::English ? "en" : "ru";
}

Language LanguageForSystem(const QStringList& uiLanguages) {
    for (const QString& tag : uiLanguages) {
        // "ru-RU", "ru_RU", "en-Latn-US", "en": the language is the first part.
        const QString language = tag.section(QRegularExpression("[-_]"), 0, 0);
        if (std::optional<Language> known = ParseLanguage(language)) {
            return *known;
        }
    }
    return Language::Russian;
}

std::optional<Language> StoredLanguage() {
    return ParseLanguage(ToolSettings().value(kLanguageKey).toString());
}

void StoreLanguage(std::optional<Language> language) {
    QSettings settings = ToolSettings();
    if (language) {
        settings.setValue(kLanguageKey, LanguageCode(*language));
    } else {
        settings.remove(kLanguageKey);
    }
}

Language ChosenLanguage(std::optional<Language> commandLine) {
    if (commandLine) {
        return *commandLine;
    }
    if (std::optional<Language> stored = StoredLanguage()) {
        return *stored;
    }
    return LanguageForSystem(QLocale::system().uiLanguages());
}

bool InstallProgramTranslation(Language language) {
    if (language == Language::Russian) {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        return true;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Made once and kept for the program's life: texts are looked up in it
    // from any thread until the end, k57ctl's without an application object.
    static QTranslator* translation = [] {
        auto* loaded = new QTranslator;
        if (!loaded->load(":/translations/k57tool_en.qm")) {
            delete loaded;
            return static_cast<QTranslator*>(nullptr);
        }
        return loaded;
    }();
    if (!translation) {
        return false;
    }
    gTranslation = translation;
    SetProgramTextTranslator(&TranslatedProgramText);
    if (QCoreApplication::instance()) {
        QCoreApplication::installTranslator(translation);
    }
    return true;
}

}  // namespace k57
