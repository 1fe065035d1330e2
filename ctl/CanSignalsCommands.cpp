// can signals: the signals a capture file suggests with no database, and
// the skeleton DBC made of them. No unit needed.

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

#include "CanRecording.h"
#include "Commands.h"
#include "ExitCodes.h"
#include "SignalSkeleton.h"
#include "SkeletonDbc.h"

namespace k57::ctl {

int CanSignalsFile(const Context& context, const std::string& log, const std::string& filter,
                   const std::string& dbcOut) {
    CanRecording recording;
    int code = kDone;
    if (!LoadCapture(log, filter, recording, code)) {
        return code;
    }
    std::vector<ProposedMessage> messages = SignalSkeleton::Propose(recording.frames);
    size_t count = 0;
    QJsonArray array;
    if (!context.json && !context.quiet) {
        std::printf("%-8s %5s %6s  %-6s %-8s %s\n", "id", "start", "length", "order", "sign",
                    "kind");
    }
    for (const ProposedMessage& message : messages) {
        const QString id = CanIdText(message.id, message.extended);
        for (const ProposedSignal& signal : message.signalList) {
            ++count;
            const char* order = signal.bigEndian ? "big" : "little";
            if (context.json) {
                array.append(QJsonObject{{"id", id},
                                         {"extended", message.extended},
                                         {"start", signal.start},
                                         {"length", signal.length},
                                         {"byte_order", order},
                                         {"signed", signal.isSigned},
                                         {"kind", KindName(signal.kind)}});
            } else {
                std::printf("%-8s %5d %6d  %-6s %-8s %s\n", id.toLatin1().constData(), signal.start,
                            signal.length, order, signal.isSigned ? "signed" : "unsigned",
                            KindName(signal.kind));
            }
        }
    }
    if (context.json) {
        PrintJsonArray(array);
    }
    if (!dbcOut.empty()) {
        std::string error;
        if (!SignalSkeleton::Save(messages, dbcOut, error)) {
            return Fail("cannot write " + dbcOut + ": " + error, kNoJournal);
        }
        auto counted = [](size_t n, const char* noun) {
            return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
        };
        Say(context, "skeleton DBC written to " + dbcOut + ": " +
                         counted(messages.size(), "message") + ", " + counted(count, "signal"));
    }
    return kDone;
}

}  // namespace k57::ctl
