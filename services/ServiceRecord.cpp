#include "ServiceRecord.h"

#include <QFileInfo>

#include "DeviceInterface.h"
#include "PortMapping.h"
#include "VersionInfo.h"

namespace k57 {

namespace {

std::string PortOf(const std::string& port) {
    return ports::ShownName(port);
}

// The journals open in this process, by file: one each, shared.
std::shared_ptr<Journal> SharedJournal(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<Journal>> open;
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<Journal> journal = open[path].lock();
    if (!journal) {
        journal = std::make_shared<Journal>(path);
        open[path] = journal;
    }
    return journal;
}

}  // namespace

ServiceRecord::ServiceRecord(JournalFrontEnd frontEnd, std::string journalPath)
    : frontEnd_(frontEnd), path_(std::move(journalPath)) {}

ServiceRecord::~ServiceRecord() = default;

UnitIdentity ServiceRecord::Identify(DeviceInterface& device, bool refresh) {
    std::string port = device.PortName();
    // Asked every time: the unit that answered a moment ago may have been
    // unplugged and another plugged in.
    uint32_t serial = 0;
    if (device.ReadIdInfo(serial) != kReplyOk) {
        Forget(port);
        return {};  // a unit that does not answer is not asked twice
    }
    LearnSerial(port, serial);
    if (refresh || Known(port).firmware.empty()) {
        std::string text;
        if (device.ReadVersion(text) == kReplyOk) {
            LearnVersion(port, text);
        }
    }
    return Known(port);
}

void ServiceRecord::LearnSerial(const std::string& port, uint32_t serial) {
    std::lock_guard<std::mutex> lock(mutex_);
    UnitIdentity& unit = known_[PortOf(port)];
    if (unit.serial != serial) {
        // Another unit on the port: its version is not known yet.
        unit = UnitIdentity{};
        unit.serial = serial;
    }
    fresh_.insert(PortOf(port));
    current_.insert(PortOf(port));
}

void ServiceRecord::LearnVersion(const std::string& port, const std::string& versionText) {
    VersionInfo info{};
    if (!SplitVersionText(info, versionText)) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    UnitIdentity& unit = known_[PortOf(port)];
    unit.unitType = info.type;
    unit.firmware = info.version;
}

void ServiceRecord::Forget(const std::string& port) {
    std::lock_guard<std::mutex> lock(mutex_);
    known_.erase(PortOf(port));
    fresh_.erase(PortOf(port));
    current_.erase(PortOf(port));
}

UnitIdentity ServiceRecord::Known(const std::string& port) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = known_.find(PortOf(port));
    return found == known_.end() ? UnitIdentity{} : found->second;
}

std::string ServiceRecord::JournalPath() const {
    return path_.empty() ? Journal::DefaultPath() : path_;
}

Journal& ServiceRecord::journal() {
    if (!journal_) {
        journal_ = SharedJournal(JournalPath());
    }
    return *journal_;
}

Journal* ServiceRecord::ExistingJournal() {
    if (!journal_ && !QFileInfo::exists(QString::fromStdString(JournalPath()))) {
        return nullptr;
    }
    return &journal();
}

long long ServiceRecord::Record(JournalOperation operation, const std::string& port,
                                JournalResult result, const std::string& detail,
                                const std::optional<std::string>& before,
                                const std::optional<std::string>& after) {
    UnitIdentity unit;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string shown = PortOf(port);
        if (fresh_.count(shown) || (result == JournalResult::Ok && current_.count(shown))) {
            unit = known_[shown];
        }
        // A backup is the start of the change it guards.
        if (operation != JournalOperation::Backup) {
            fresh_.erase(shown);
        }
        if (result != JournalResult::Ok) {
            current_.erase(shown);
        }
    }
    JournalEntry entry;
    entry.serial = unit.serial;
    entry.unitType = unit.unitType;
    entry.firmware = unit.firmware;
    entry.operation = operation;
    entry.port = PortOf(port);
    entry.result = result;
    entry.detail = detail;
    entry.frontEnd = frontEnd_;
    entry.before = before;
    entry.after = after;
    long long id = journal().Record(entry);
    if (id != 0 && recorded_) {
        recorded_(operation, result);
    }
    return id;
}

std::string ServiceRecord::TakeProblem() {
    return journal_ ? journal_->TakeProblem() : std::string();
}

}  // namespace k57
