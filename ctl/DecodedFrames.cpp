#include "DecodedFrames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "CanFrameLog.h"

namespace k57::ctl {

namespace {

void AppendHex(std::string& out, uint32_t id, bool extended) {
    char text[12];
    int length = std::snprintf(text, sizeof text, extended ? "%08X" : "%03X", id);
    out.append(text, size_t(length));
}

// The shortest text that reads back as the same double.
void AppendNumber(std::string& out, double value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A number as QJsonDocument writes it: null for what JSON cannot hold,
// integral values up to 2^53 as integers (so 1000000, never 1e+06), the
// rest in Qt's shortest form. That form is std::to_chars' (the same digits,
// the shorter of decimal and exponent, decimal on a tie) except for whole
// numbers beyond 2^53, where to_chars writes every digit and Qt pads the
// shortest ones with zeros: those few are left to Qt.
void AppendJsonNumber(std::string& out, double value) {
    char text[32];
    if (!std::isfinite(value)) {
        out += "null";
    } else if (std::trunc(value) != value) {
        AppendNumber(out, value);
    } else if (std::fabs(value) <= 9007199254740992.0) {
        out.append(text, std::to_chars(text, text + sizeof text, int64_t(value)).ptr);
    } else {
        QByteArray qt = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
        out.append(qt.constData(), size_t(qt.size()));
    }
}

// `text` quoted and escaped as QJsonDocument does.
std::string JsonString(const std::string& text) {
    QByteArray array =
        QJsonDocument(QJsonArray{QString::fromStdString(text)}).toJson(QJsonDocument::Compact);
    return std::string(array.constData() + 1, size_t(array.size()) - 2);  // the [ ]
}

}  // namespace

// What every line of one message repeats, worked out on its first frame.
struct DecodedLines::MessageParts {
    std::string textHead;                // " 1A0 Engine:"
    std::string jsonHead;                // {"id":"1A0","message":"Engine","signals":{
    std::vector<std::string> textNames;  // "Speed="
    std::vector<std::string> jsonNames;  // "\"Speed\":"
    // QJsonObject keeps its keys sorted and one value a key: the signals in
    // that order, and for each whether a later one of the same name follows
    // (the later value is the one written).
    std::vector<int> jsonOrder;
    std::vector<bool> sameNameFollows;
};

DecodedLines::DecodedLines() = default;
DecodedLines::~DecodedLines() = default;

const DecodedLines::MessageParts& DecodedLines::PartsOf(const dbc::Message& message) {
    std::unique_ptr<MessageParts>& slot = parts_[&message];
    if (slot) {
        return *slot;
    }
    slot = std::make_unique<MessageParts>();
    MessageParts& parts = *slot;
    std::string id;
    AppendHex(id, message.id, message.extended);
    parts.textHead = " " + id + " " + message.name + ":";
    parts.jsonHead =
        "{\"id\":\"" + id + "\",\"message\":" + JsonString(message.name) + ",\"signals\":{";
    // The order QJsonObject gives the names, each name's rank in it.
    QJsonObject names;
    for (const dbc::Signal& signal : message.signalList) {
        parts.textNames.push_back(signal.name + "=");
        parts.jsonNames.push_back(JsonString(signal.name) + ":");
        names[QString::fromStdString(signal.name)] = 0;
    }
    QStringList sorted = names.keys();
    std::vector<int> rank;
    for (const dbc::Signal& signal : message.signalList) {
        rank.push_back(int(sorted.indexOf(QString::fromStdString(signal.name))));
    }
    for (size_t i = 0; i < rank.size(); ++i) {
        parts.jsonOrder.push_back(int(i));
    }
    std::stable_sort(parts.jsonOrder.begin(), parts.jsonOrder.end(),
                     [&rank](int a, int b) { return rank[size_t(a)] < rank[size_t(b)]; });
    for (size_t i = 0; i < parts.jsonOrder.size(); ++i) {
        parts.sameNameFollows.push_back(i + 1 < parts.jsonOrder.size() &&
                                        rank[size_t(parts.jsonOrder[i])] ==
                                            rank[size_t(parts.jsonOrder[i + 1])]);
    }
    return parts;
}

const std::string& DecodedLines::JsonText(const std::string& text) {
    std::string& quoted = texts_[&text];
    if (quoted.empty()) {
        quoted = JsonString(text);
    }
    return quoted;
}

void DecodedLines::Text(std::string& out, int64_t microseconds, const dbc::Message& message,
                        const std::vector<dbc::Value>& values) {
    const MessageParts& parts = PartsOf(message);
    AppendCandumpStamp(out, microseconds);
    out += parts.textHead;
    for (size_t i = 0; i < values.size(); ++i) {
        const dbc::Value& value = values[i];
        out += i ? ", " : " ";
        out += parts.textNames[size_t(value.signal - message.signalList.data())];
        AppendNumber(out, value.physical);
        if (!value.signal->unit.empty()) {
            out += ' ';
            out += value.signal->unit;
        }
        if (value.text) {
            out += " \"";
            out += *value.text;
            out += '"';
        }
    }
}

void DecodedLines::Json(std::string& out, int64_t microseconds, const dbc::Message& message,
                        const std::vector<dbc::Value>& values) {
    const MessageParts& parts = PartsOf(message);
    // The decoded values by signal, to be walked in the keys' order.
    byIndex_.assign(message.signalList.size(), nullptr);
    bool anyText = false;
    for (const dbc::Value& value : values) {
        byIndex_[size_t(value.signal - message.signalList.data())] = &value;
        anyText = anyText || value.text;
    }
    out += parts.jsonHead;
    WriteSignals(out, parts, false);
    out += "},\"t\":";
    AppendJsonNumber(out, double(microseconds) / 1e6);
    if (anyText) {
        out += ",\"texts\":{";
        WriteSignals(out, parts, true);
        out += '}';
    }
    out += '}';
}

// Each decoded signal once, in the keys' order: its value, or its text for
// `texts`, the later signal winning where two share a name.
void DecodedLines::WriteSignals(std::string& out, const MessageParts& parts, bool texts) {
    bool first = true;
    const dbc::Value* chosen = nullptr;
    int chosenIndex = 0;
    for (size_t i = 0; i < parts.jsonOrder.size(); ++i) {
        const dbc::Value* value = byIndex_[size_t(parts.jsonOrder[i])];
        if (value && (!texts || value->text)) {
            chosen = value;
            chosenIndex = parts.jsonOrder[i];
        }
        if (parts.sameNameFollows[i] || !chosen) {
            continue;
        }
        if (!first) {
            out += ',';
        }
        first = false;
        out += parts.jsonNames[size_t(chosenIndex)];
        if (texts) {
            out += JsonText(*chosen->text);
        } else {
            AppendJsonNumber(out, chosen->physical);
        }
        chosen = nullptr;
    }
}

}  // namespace k57::ctl
