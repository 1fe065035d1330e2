#include "JournalEntry.h"

#include <QDateTime>
#include <iterator>

#include "ResultCodes.h"

namespace k57 {

namespace {

// Indexed by the enumerations' values; the texts are the stored form.
const char* const kOperations[] = {"identify",        "read settings", "write settings",
                                   "firmware update", "sound update",  "set id",
                                   "restart",         "restore",       "backup"};
const char* const kResults[] = {"ok",      "no reply", "port unavailable", "bad reply",
                                "refused", "stopped",  "not sent"};
const char* const kFrontEnds[] = {"window", "k57ctl"};

template <typename Enum, size_t N>
std::optional<Enum> Find(const char* const (&texts)[N], const std::string& text) {
    for (size_t i = 0; i < N; ++i) {
        if (text == texts[i]) {
            return Enum(i);
        }
    }
    return std::nullopt;
}

}  // namespace

static_assert(std::size(kOperations) == size_t(JournalOperation::Backup) + 1);
static_assert(std::size(kResults) == size_t(JournalResult::NotSent) + 1);

const char* JournalText(JournalOperation operation) {
    return kOperations[size_t(operation)];
}

const char* JournalText(JournalResult result) {
    return kResults[size_t(result)];
}

const char* JournalText(JournalFrontEnd frontEnd) {
    return kFrontEnds[size_t(frontEnd)];
}

std::optional<JournalOperation> JournalOperationFrom(const std::string& text) {
    return Find<JournalOperation>(kOperations, text);
}

std::optional<JournalResult> JournalResultFrom(const std::string& text) {
    return Find<JournalResult>(kResults, text);
}

JournalResult JournalResultFor(int requestResult) {
    switch (requestResult) {
        case kPortUnavailable:
            return JournalResult::PortUnavailable;
        case kNoReply:
        case kLineLost:  // the unit went without a reply
            return JournalResult::NoReply;
        case kBadReply:
            return JournalResult::BadReply;
        case kCannotFrame:
            return JournalResult::NotSent;
        default:
            return requestResult > 0 ? JournalResult::Ok : JournalResult::BadReply;
    }
}

std::string JournalTimeText(long long timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC)
        .toString(Qt::ISODateWithMs)
        .toStdString();
}

}  // namespace k57
