#include "ProgramText.h"

#include <atomic>

namespace k57 {

namespace {

// Set once at start, read from any thread.
std::atomic<ProgramTextTranslator> gTranslator{nullptr};

}  // namespace

void SetProgramTextTranslator(ProgramTextTranslator translator) {
    gTranslator.store(translator);
}

std::string ProgramText(const char* context, const char* text) {
    ProgramTextTranslator translator = gTranslator.load();
    return translator ? translator(context, text) : std::string(text);
}

}  // namespace k57
