// find, info, params, set-id and restart.

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "Cp1251.h"
#include "Discovery.h"
#include "ExitCodes.h"
#include "ParameterList.h"
#include "PortMapping.h"
#include "StoredPort.h"
#include "Terminal.h"
#include "UnitText.h"
#include "VersionInfo.h"

namespace k57::ctl {

namespace {

const char* TypeName(ParameterType type) {
    switch (type) {
        case ParameterType::Number:
            return "number";
        case ParameterType::Enum:
            return "enum";
        default:
            return "string";
    }
}

}  // namespace

int Info(Context& context) {
    DeviceInterface& device = *context.device;
    uint32_t serial = 0;
    std::string text;
    int result = device.ReadIdInfo(serial);
    if (result == kReplyOk) {
        context.record->LearnSerial(device.PortName(), serial);
        result = device.ReadVersion(text);
    }
    if (result == kReplyOk) {
        context.record->LearnVersion(device.PortName(), text);
    }
    Record(context, JournalOperation::Identify, result);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    VersionInfo info{};
    SplitVersionText(info, text);
    std::string port = ports::ShownName(device.PortName());
    if (context.json) {
        PrintJson({{"port", QString::fromStdString(port)},
                   {"serial", qint64(serial)},
                   {"type", FromUnit(info.type)},
                   {"version", FromUnit(info.version)},
                   {"build", FromUnit(info.extra)}});
        return kDone;
    }
    std::printf("port: %s\nserial: %u\ntype: %s\nversion: %s\nbuild: %s\n", port.c_str(), serial,
                cp1251::ToUtf8(info.type).c_str(), cp1251::ToUtf8(info.version).c_str(),
                cp1251::ToUtf8(info.extra).c_str());
    return kDone;
}

int Find(Context& context) {
    Say(context, "searching COM2..COM254");
    FoundUnit unit;
    if (!FindUnit(*context.device, unit, [&](const std::string& port) {
            Say(context, "asking " + port);
            return !Interrupted();
        })) {
        if (Interrupted()) {
            return Fail("interrupted: the search stopped", kInterrupted);
        }
        return Fail("no unit found on COM2..COM254", kTimedOut);
    }
    if (!StoredPort::Write(unit.port)) {
        return Fail("found a unit on " + unit.port + " but cannot store the port", kBadInput);
    }
    context.device->SetPortName(unit.port.c_str());
    Say(context, "found; the port is stored: " + unit.port);
    return Info(context);
}

int Params(Context& context) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    QJsonArray groups;
    for (int g = 0; g < list.GroupCount(); ++g) {
        const std::string& group = list.GroupAt(g).name;
        QJsonArray parameters;
        for (const Parameter& p : list.GroupParameters(group)) {
            QJsonObject entry{{"key", FromUnit(p.key)},
                              {"type", TypeName(p.type)},
                              {"default", FromUnit(p.defaultValue)},
                              {"name", FromUnit(p.name)}};
            std::string bounds;
            if (p.type == ParameterType::Enum) {
                QJsonArray choices;
                if (const EnumValueList* items = list.FindEnum(p.enumName)) {
                    for (const EnumItem& item : items->items) {
                        choices.append(
                            QJsonObject{{"value", item.value}, {"text", FromUnit(item.text)}});
                        bounds += (bounds.empty() ? "" : ", ") + std::to_string(item.value) + "=" +
                                  cp1251::ToUtf8(item.text);
                    }
                }
                entry["choices"] = choices;
            } else {
                entry["min"] = p.min;
                entry["max"] = p.max;
                bounds = (p.type == ParameterType::String ? "length " : "") +
                         std::to_string(p.min) + ".." + std::to_string(p.max);
            }
            parameters.append(entry);
            if (!context.json) {
                std::printf("%s\t%s\t%s\t%s\tdefault '%s'\t%s\n", cp1251::ToUtf8(group).c_str(),
                            p.key.c_str(), TypeName(p.type), bounds.c_str(),
                            cp1251::ToUtf8(p.defaultValue).c_str(), cp1251::ToUtf8(p.name).c_str());
            }
        }
        groups.append(QJsonObject{{"name", FromUnit(group)}, {"parameters", parameters}});
    }
    if (context.json) {
        PrintJson({{"groups", groups}});
    }
    return kDone;
}

int SetId(Context& context, uint32_t serial) {
    int exitCode = kDone;
    std::string port = ports::ShownName(context.device->PortName());
    // Filed under the number the unit had: its history goes on under the new one.
    context.record->Identify(*context.device);
    if (!Agreed(context,
                "Give the unit on " + port + " the serial number " + std::to_string(serial) + "?",
                exitCode)) {
        return exitCode;
    }
    int result = context.device->SetId(serial);
    Record(context, JournalOperation::SetId, result, "new serial number " + std::to_string(serial));
    context.record->Forget(context.device->PortName());
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    Say(context, "serial number set: " + std::to_string(serial));
    return kDone;
}

int Restart(Context& context) {
    // Who the unit is, asked while it still answers.
    context.record->Identify(*context.device);
    if (Interrupted()) {  // while it was asked: no restart follows
        return Fail(ports::ShownName(context.device->PortName()) + ": interrupted", kInterrupted);
    }
    int result = context.device->Restart();
    Record(context, JournalOperation::Restart, result);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    Say(context, "restart sent");
    return kDone;
}

}  // namespace k57::ctl
