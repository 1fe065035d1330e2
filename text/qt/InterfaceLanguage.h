#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace k57 {

// The language the programs speak. Their texts are written in Russian;
// English comes from the embedded translation.
enum class Language { Russian, English };

// "ru" or "en" (any case); nothing for anything else.
std::optional<Language> ParseLanguage(const QString& code);
QString LanguageCode(Language language);

// The system's choice: the first of the user's interface languages (most
// wanted first, as QLocale::uiLanguages() lists them) that the programs
// speak; Russian when none of them is Russian or English.
Language LanguageForSystem(const QStringList& uiLanguages);

// The language chosen in the window, remembered between runs; nothing
// while the program follows the system (the detected language itself is
// never stored, so a changed system language is followed next time).
std::optional<Language> StoredLanguage();
void StoreLanguage(std::optional<Language> language);

// What a program speaks: `commandLine` (--lang) first, then what the window
// stored, then the system's languages.
Language ChosenLanguage(std::optional<Language> commandLine);

// Makes the program speak `language`: Qt's translation of the program's
// texts (tr() and K57_TR) from the embedded .qm file, installed into the
// application, and the default locale. Call once, after the application
// object is made. False when the translation could not be loaded (the
// program then speaks Russian).
bool InstallProgramTranslation(Language language);

}  // namespace k57
