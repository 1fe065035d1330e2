// update firmware and update sound: the window's steps, checks, offsets and
// commit, with a progress display and a clean stop on Ctrl+C.

#include <QFile>
#include <stdexcept>

#include "ByteBuffer.h"
#include "Commands.h"
#include "Cp1251.h"
#include "Crc32.h"
#include "ExitCodes.h"
#include "PortMapping.h"
#include "Terminal.h"
#include "UpdateSources.h"
#include "VersionInfo.h"

namespace k57::ctl {

namespace {

// A field of an information block is text: printable, not empty.
bool IsText(const char* field) {
    if (!*field) {
        return false;
    }
    for (const char* c = field; *c; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20) {
            return false;
        }
    }
    return true;
}

// Sends every block, then commits. Ctrl+C stops between two blocks or ends
// the block being waited for; no commit follows.
int Send(Context& context, Transfer& transfer, const std::string& what) {
    transfer.Begin();  // the sound's size is known once it is open
    Progress progress(what, transfer.steps(), context.quiet);
    int sent = 0;
    for (;;) {
        if (Interrupted()) {
            transfer.Stop();
            progress.Finish();
            return Fail("interrupted: nothing more was sent and nothing committed", kInterrupted);
        }
        Transfer::Step step = transfer.Next(*context.device);
        if (step == Transfer::Step::Sent) {
            progress.Update(++sent);
            continue;
        }
        progress.Finish();
        if (Interrupted()) {
            return Fail("interrupted: nothing more was sent and nothing committed", kInterrupted);
        }
        if (step == Transfer::Step::Committed) {
            progress.Update(transfer.steps());
            Say(context, what + ": done, the unit acknowledged the commit");
            return kDone;
        }
        if (step == Transfer::Step::CommitRefused) {
            return Fail(what + ": the unit did not acknowledge the commit (" +
                            Describe(context.device->LastFailure()) + ")",
                        kRefused);
        }
        return Failed(context, context.device->LastFailure().result);
    }
}

}  // namespace

int UpdateFirmware(Context& context, const std::string& imagePath, bool force) {
    images::Firmware firmware;
    try {
        firmware =
            imagePath.empty() ? images::LoadFirmware() : images::LoadFirmware(imagePath.c_str());
    } catch (const std::exception& e) {
        return Fail(std::string("no firmware image: ") + e.what(), kBadInput);
    }
    if (!IsText(firmware.info.type) || !IsText(firmware.info.version)) {
        return Fail(imagePath +
                        ": not a firmware image (its information block at offset 256 "
                        "holds no type and version)",
                    kBadInput);
    }
    std::string image = cp1251::ToUtf8(firmware.info.version);
    DeviceInterface& device = *context.device;
    std::string text;
    int result = device.ReadVersion(text);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    VersionInfo unit{};
    if (!SplitVersionText(unit, text)) {
        return Fail(
            ports::ShownName(device.PortName()) + ": the unit's version reply cannot be read",
            kBadReply);
    }
    std::string current = cp1251::ToUtf8(unit.version);
    if (images::CompareVersions(unit.version, firmware.info.version) >= 0 && !force) {
        return Fail("the unit has firmware " + current + ", not older than the image's " + image +
                        "; --force updates anyway",
                    kBadInput);
    }
    int exitCode = kDone;
    if (!Agreed(context,
                "Update the firmware of the unit on " + ports::ShownName(device.PortName()) +
                    " from " + current + " to " + image + "? The unit's settings may be reset.",
                exitCode)) {
        return exitCode;
    }
    Say(context, "preparing the unit (up to 10 s)");
    result = device.BeginFirmwareUpdate();
    if (result != kReplyOk) {
        return Interrupted() ? Fail("interrupted: nothing was sent", kInterrupted)
                             : Failed(context, result);
    }
    Transfer transfer(std::make_unique<FirmwareSource>(firmware));
    return Send(context, transfer, "firmware " + image);
}

int UpdateSound(Context& context, const std::string& imagePath) {
    std::string path = imagePath.empty() ? images::kSoundPath : imagePath;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return Fail("cannot read " + path + ": " + file.errorString().toStdString(), kBadInput);
    }
    QByteArray package = file.readAll();
    // The header: the data's size and checksum, which the data must match.
    auto* bytes = reinterpret_cast<uint8_t*>(package.data());
    uint32_t size = 0, crc = 0;
    if (package.size() >= 8) {
        orvan::util::ByteBuffer header(bytes, 8);
        size = uint32_t(header.getInt());
        crc = uint32_t(header.getInt());
    }
    if (package.size() < 8 || size != uint32_t(package.size() - 8) ||
        Crc32(bytes + 8, size) != crc) {
        return Fail(path +
                        ": not a sound package (its header's size and checksum do not match "
                        "its data)",
                    kBadInput);
    }
    int exitCode = kDone;
    if (!Agreed(context,
                "Write " + std::to_string(size) + " bytes of sound data to the unit on " +
                    ports::ShownName(context.device->PortName()) +
                    "? Its old sound data is erased.",
                exitCode)) {
        return exitCode;
    }
    Say(context, "preparing the unit (up to 20 s)");
    int result = context.device->BeginWaveUpdate();
    if (result != kReplyOk) {
        return Interrupted() ? Fail("interrupted: nothing was sent", kInterrupted)
                             : Failed(context, result);
    }
    Transfer transfer(std::make_unique<SoundSource>(path.c_str()));
    return Send(context, transfer, "sound data");
}

}  // namespace k57::ctl
