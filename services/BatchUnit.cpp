#include "BatchUnit.h"

#include "BatchLedger.h"
#include "BatchPlan.h"
#include "DeviceInterface.h"
#include "FirmwareUpdate.h"
#include "ParameterList.h"
#include "PortMapping.h"
#include "ProgramText.h"
#include "ServiceRecord.h"
#include "SettingsGuard.h"
#include "SettingsService.h"
#include "TextArguments.h"

namespace k57 {

namespace {

using Result = BatchUnitResult::Result;

// Why a request to the unit failed, in a technician's words.
std::string FailureText(int result) {
    switch (result) {
        case kPortUnavailable:
        case kLineLost:
            return K57_TR("BatchUnit", "порт закрылся: блок отключён");
        case kNoReply:
            return K57_TR("BatchUnit", "блок перестал отвечать");
        case kBadReply:
            return K57_TR("BatchUnit", "блок ответил не то, что ожидалось");
        default:
            return K57_TR("BatchUnit", "запрос не отправлен");
    }
}

// The work on one unit, step by step; each step's failure ends it with its
// reason and what to do.
class UnitWork {
  public:
    UnitWork(const BatchUnitJob& job, DeviceInterface& device, const UnitIdentity& unit)
        : job_(job), device_(device) {
        result_.port = ports::ShownName(device.PortName());
        result_.serial = unit.serial;
        result_.unitType = unit.unitType;
        result_.firmwareBefore = result_.firmwareAfter = unit.firmware;
    }

    BatchUnitResult Run() {
        if (!result_.serial) {
            return Finish(Result::Skipped, K57_TR("BatchUnit", "блок не назвал серийный номер"),
                          {});
        }
        uint32_t serial = *result_.serial;
        std::optional<std::string> own = job_.plan.TextFor(serial);
        if (!own && !job_.templateOnly) {
            return Finish(Result::Skipped,
                          K57_TR("BatchUnit", "в файле значений нет строки для этого блока"),
                          K57_TR("BatchUnit",
                                 "блок не тронут; добавьте его строку или "
                                 "отложите блок"));
        }
        switch (job_.ledger.Take(serial)) {
            case BatchLedger::Claim::Used:
                return Finish(Result::Skipped,
                              K57_TR("BatchUnit", "этот блок уже запрограммирован в этой партии"),
                              K57_TR("BatchUnit",
                                     "блок не тронут; его строка не используется "
                                     "второй раз"));
            case BatchLedger::Claim::Busy:
                return Finish(Result::Skipped,
                              K57_TR("BatchUnit",
                                     "блок с тем же серийным номером "
                                     "программируется на другом порту"),
                              K57_TR("BatchUnit", "проверьте серийные номера блоков"));
            case BatchLedger::Claim::Taken:
                break;
        }
        result_.row = job_.plan.RowOf(serial);
        bool done = Program(own ? *own : job_.plan.TemplateText());
        job_.ledger.Release(serial, done);
        return result_;
    }

  private:
    // The unit's row is held; true once the write is confirmed.
    bool Program(const std::string& text) {
        if (job_.firmware && !UpdateFirmware()) {
            return false;
        }
        Progress(BatchStep::BackingUp);
        SettingsGuard guard(job_.record, JournalOperation::WriteSettings);
        int read = guard.ReadBackup(device_);
        if (!Journaled([&] { return guard.KeepBackup(); })) {
            Finish(Result::Failed,
                   read != kReplyOk
                       ? WithArguments(
                             K57_TR("BatchUnit", "настройки не прочитаны для резервной копии: %1"),
                             {FailureText(read)})
                       : K57_TR("BatchUnit", "журнал не принял резервную копию"),
                   K57_TR("BatchUnit", "ничего не записано; подключите блок заново"));
            return false;
        }
        // The text as the editor would write it: every value, so nothing of
        // the unit's earlier settings stays behind unnoticed.
        ParameterList list = job_.catalogue;
        SettingsService settings(list);
        settings.LoadGoodLines(settings.Check(text));
        result_.written = list.ValuesToText();
        Progress(BatchStep::Writing);
        guard.WriteSettings(device_, result_.written, [this] { Progress(BatchStep::ReadingBack); });
        Progress(BatchStep::ReadingBack, 100);
        WriteCheck check;
        Journaled([&] {
            check = guard.Written(job_.catalogue, Detail());
            return true;
        });
        result_.entry = guard.changeEntry();
        result_.verified = check.confirmed();
        if (check.confirmed()) {
            Finish(Result::Ok, {}, {});
            return true;
        }
        Finish(Result::Failed, CheckText(check),
               K57_TR("BatchUnit", "строка блока не израсходована; подключите его снова"));
        return false;
    }

    // The firmware replaced when the unit's is older; the unit restarts into
    // it and is asked who it is again.
    bool UpdateFirmware() {
        Progress(BatchStep::UpdatingFirmware, 0);
        FirmwareUpdate update(*job_.firmware);
        update.Start();
        if (update.Step(device_) == UpdateSteps::Stage::Confirm) {
            update.Stop(UpdateOutcome::Declined);  // not older: nothing to do
            return true;
        }
        SettingsGuard guard(job_.record, JournalOperation::FirmwareUpdate);
        guard.ReadBackup(device_);
        if (!Journaled([&] { return guard.KeepBackup(); })) {
            Finish(Result::Failed,
                   K57_TR("BatchUnit",
                          "нет резервной копии настроек; прошивка "
                          "не обновлялась"),
                   K57_TR("BatchUnit", "подключите блок заново"));
            return false;
        }
        while (update.active()) {
            update.Step(device_);
            const UpdateProgress& sent = update.progress();
            Progress(BatchStep::UpdatingFirmware,
                     sent.fragments > 0 ? sent.fragmentsSent * 100 / sent.fragments : 0);
        }
        Journaled([&] {
            guard.Changed(update);
            return true;
        });
        if (update.outcome() != UpdateOutcome::Done) {
            Finish(Result::Failed,
                   WithArguments(K57_TR("BatchUnit", "прошивка не обновлена: %1"),
                                 {FailureText(update.lastResult())}),
                   K57_TR("BatchUnit", "подключите блок заново: обновление начнётся сначала"));
            return false;
        }
        job_.record.Forget(device_.PortName());
        result_.firmwareAfter = job_.record.Identify(device_, true).firmware;
        return true;
    }

    std::string Detail() const {
        return "batch " + job_.batch + ": " +
               (result_.row > 0 ? "row " + std::to_string(result_.row) : std::string("template"));
    }

    static std::string CheckText(const WriteCheck& check) {
        switch (check.state) {
            case WriteCheck::State::Differs:
                return WithArguments(K57_TR("BatchUnit", "блок хранит другие значения: %1"),
                                     {DifferingKeys(check)});
            case WriteCheck::State::Unknown:
                return WithArguments(K57_TR("BatchUnit", "настройки не прочитаны обратно: %1"),
                                     {FailureText(check.readResult)});
            default:
                return WithArguments(K57_TR("BatchUnit", "настройки не записаны: %1"),
                                     {FailureText(check.writeResult)});
        }
    }

    // A journal call, made one port at a time.
    template <typename Call>
    bool Journaled(Call call) {
        std::lock_guard<std::mutex> lock(job_.journalLock);
        return call();
    }

    void Progress(BatchStep step, int percent = -1) {
        if (job_.progress) {
            job_.progress(step, percent);
        }
    }

    BatchUnitResult Finish(Result result, std::string reason, std::string advice) {
        result_.result = result;
        result_.reason = std::move(reason);
        result_.advice = std::move(advice);
        result_.finished = std::chrono::system_clock::now();
        return result_;
    }

    const BatchUnitJob& job_;
    DeviceInterface& device_;
    BatchUnitResult result_;
};

}  // namespace

BatchUnitResult ProgramUnit(const BatchUnitJob& job, DeviceInterface& device,
                            const UnitIdentity& unit) {
    return UnitWork(job, device, unit).Run();
}

}  // namespace k57
