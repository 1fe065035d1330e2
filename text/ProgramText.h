#pragma once

#include <string>

namespace k57 {

// The program's own words from code below Qt Widgets (discovery, the
// settings checks, the catalogue's loader): written in Russian, UTF-8, and
// shown in the language the user chose. The windows install a translator
// that looks each text up in the embedded translation; without one (the
// tests, k57ctl in Russian) the Russian text comes back as written.
// `context` groups texts as a class name groups them for Qt's translation
// tools; both arguments must be string literals, marked with K57_TR so the
// tools find them.
using ProgramTextTranslator = std::string (*)(const char* context, const char* text);

void SetProgramTextTranslator(ProgramTextTranslator translator);
std::string ProgramText(const char* context, const char* text);

}  // namespace k57

// A text to translate: lupdate is told that K57_TR is spelt like
// QCoreApplication::translate.
#define K57_TR(context, text) ::k57::ProgramText(context, text)
