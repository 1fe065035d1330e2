#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "EmbeddedImages.h"
#include "ExitCodes.h"
#include "ParameterList.h"
#include "Terminal.h"

namespace k57::ctl {

void Say(const Context& context, const std::string& line) {
    if (!context.quiet) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

int Fail(const std::string& message, int exitCode) {
    std::fprintf(stderr, "k57ctl: %s\n", message.c_str());
    return exitCode;
}

int Failed(const Context& context, int result) {
    return Fail(Describe(context.device->LastFailure()), ExitFor(result));
}

void PrintJson(const QJsonObject& object) {
    QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

bool LoadCatalogue(ParameterList& list) {
    list.LoadCatalogue(images::Catalogue());
    if (!list.loadError().empty()) {
        Fail(list.loadError(), kBadInput);
        return false;
    }
    return true;
}

bool Agreed(const Context& context, const std::string& question, int& exitCode) {
    if (context.yes) {
        return true;
    }
    if (!IsTerminal(stdin)) {
        exitCode = Fail("no terminal to ask \"" + question + "\" on; --yes answers it", kBadInput);
        return false;
    }
    if (!Confirm(question)) {
        exitCode = Fail("not confirmed", kBadInput);
        return false;
    }
    return true;
}

}  // namespace k57::ctl
