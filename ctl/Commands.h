#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceInterface.h"
#include "JournalEntry.h"
#include "ServiceRecord.h"

class ParameterList;
class QJsonArray;
class QJsonObject;
class QString;

namespace k57 {
struct CanRecording;
class SettingsGuard;
struct WriteCheck;
}  // namespace k57

// k57ctl's commands. Each returns the program's exit code (ExitCodes.h).
namespace k57::ctl {

struct Context {
    std::unique_ptr<DeviceInterface> device;
    bool json = false;
    bool quiet = false;
    bool yes = false;
    // The service journal; null for the commands that do not touch a unit.
    std::unique_ptr<ServiceRecord> record;
    bool noBackup = false;  // a change may go ahead without its backup
    std::string port;       // --port as given; empty: the stored port
};

// Output: results on stdout, UTF-8; messages on stderr, in English.
void Say(const Context& context, const std::string& line);
// A command's closing line in the language --lang chose: `english`, or
// under --lang ru `russian`, each with %1, %2... replaced by `args`.
std::string Words(const char* english, const char* russian,
                  std::initializer_list<std::string_view> args = {});
int Fail(const std::string& message, int exitCode);
// A file that could not be read to its end: interrupted (Ctrl+C), or the
// reason, which is the input's fault.
int ReadFailed(const std::string& file, const std::string& error);
// The last request's failure, described, with its exit code.
int Failed(const Context& context, int result);
void PrintJson(const QJsonObject& object);
void PrintJsonArray(const QJsonArray& array);
// A CAN identifier as capture files write it: "1A0", "18DAF110".
QString CanIdText(uint32_t id, bool extended);
// The embedded catalogue into `list`, or a message and false.
bool LoadCatalogue(ParameterList& list);
// A question that needs an answer: --yes, or asked on a terminal.
bool Agreed(const Context& context, const std::string& question, int& exitCode);

// The operation's journal entry for the unit on the context's port; after a
// success, who the unit is is asked when not known. A journal problem is
// told once, on stderr; the command goes on.
void Record(Context& context, JournalOperation operation, int result,
            const std::string& detail = {}, const std::optional<std::string>& before = {},
            const std::optional<std::string>& after = {});
// The journal's problem, if it has a new one, as one stderr line.
void TellJournalProblem(Context& context);
// A backup of the unit's settings before a change (`guard`): true when it
// was kept, or when --no-backup lets the change go on without one.
bool BackedUp(Context& context, SettingsGuard& guard, int& exitCode);
// What a settings write came to, told; the exit code. `done` says what was
// written ("settings written to the unit").
int Verified(Context& context, const WriteCheck& check, const std::string& done);

int Find(Context& context);
int Info(Context& context);
int Params(Context& context);
int SetId(Context& context, uint32_t serial);
int Restart(Context& context);

int SettingsRead(Context& context, bool all, const std::string& outFile);
int SettingsWrite(Context& context, const std::string& file, bool dryRun);
int SettingsSet(Context& context, const std::vector<std::string>& assignments);

// `restore`: after the update, the backup is written back when the unit's
// settings differ from it (otherwise asked on a terminal).
int UpdateFirmware(Context& context, const std::string& image, bool force, bool restore = false);
// `package`: the verified package the image came from, or null.
int UpdateSound(Context& context, const std::string& image, const std::string& packageDetail = {});
// A signed package (.k57pkg) verified, then written as above; nothing is
// sent when it is refused (kPackageRefused, with its own journal entry).
int InstallFirmwarePackage(Context& context, const std::string& file, bool force, bool restore,
                           bool allowDowngrade);
int InstallSoundPackage(Context& context, const std::string& file);

// `filter`: a CAN filter line ("+1A0 -7DF +400/700"). With `dbcFile`, the
// frames its database knows are printed decoded (as "can decode" prints
// them), the others as candump lines.
int Can(Context& context, int bitRateKbit, int64_t count, double seconds, const std::string& filter,
        const std::string& dbcFile = {}, const std::string& encoding = "cp1252");
int Diag(Context& context, double seconds);

// CAN signal databases, no unit needed. Encodings: "cp1252", "cp1251", "utf8".
int DbcCheck(const Context& context, const std::string& file, const std::string& encoding);
// Newline-delimited JSON objects with --json, one a decoded frame.
int CanDecode(const Context& context, const std::string& log, const std::string& file,
              const std::string& encoding);
// A capture file (candump, Vector ASC, python-can CSV, PCAN trace, Vector
// BLF) without a unit: per
// identifier its frames, rate, period and changing bits; or its bits ranked
// against a marks file (a time in seconds a line), best first. `window`:
// seconds after a mark that count, 0 for the default.
int CanStats(const Context& context, const std::string& log, const std::string& filter);
int CanHuntFile(const Context& context, const std::string& log, const std::string& marks,
                const std::string& filter, double window);
// The fields whose value moved as the marks say (up, down, same), `most`
// of them, best first.
int CanSearchFile(const Context& context, const std::string& log, const std::string& marks,
                  const std::string& filter, double windowSeconds, int most);
// The signals a capture file suggests with no database, one a line or
// (--json) an array; with `dbcOut`, also saved there as a skeleton DBC.
int CanSignalsFile(const Context& context, const std::string& log, const std::string& filter,
                   const std::string& dbcOut);
// The capture's frames `filter` passes; its malformed lines on stderr.
// False with the exit code when the filter or the file is refused.
bool LoadCapture(const std::string& log, const std::string& filter, CanRecording& recording,
                 int& exitCode);
// What was wrong in a capture file, on stderr: by line, or by byte offset.
void PrintCaptureProblems(const std::string& log, const CanRecording& recording);
// The service journal, read only: the units, or one unit's operations.
int History(Context& context, std::optional<uint32_t> serial);
// Settings texts and values are shown with PIN and phone numbers masked
// unless `reveal`.
int HistoryShow(Context& context, long long id, bool reveal);
// One id: the entry's settings before and after; two: what each left.
int HistoryDiff(Context& context, const std::vector<long long>& ids, bool reveal);
// A journal entry's settings written back to the unit it is of.
int Restore(Context& context, long long id);
int HistoryExport(Context& context, const std::string& file, bool reveal);

}  // namespace k57::ctl
