// k57ctl: the service job from a command line.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "ApplicationObject.h"
#include "BatchCommands.h"
#include "Commands.h"
#include "ExitCodes.h"
#include "InterfaceLanguage.h"
#include "JournalCommands.h"
#include "PackageCommands.h"
#include "SessionFactory.h"
#include "SettingsProblemText.h"
#include "StoredPort.h"
#include "Terminal.h"
#include "Trace.h"
#include "UnknownCommand.h"
#include "Utf8Console.h"
#include "Version.h"

using namespace k57::ctl;

namespace {

// The trace stays on, and its file open, until the program ends.
bool StartTrace(const std::string& file, bool reveal) {
    std::FILE* out = stderr;
    if (!file.empty()) {
#ifdef _WIN32
        out = _wfopen(std::filesystem::u8path(file).c_str(), L"w");  // UTF-8 names too
#else
        out = std::fopen(file.c_str(), "w");
#endif
    }
    if (!out) {
        std::fprintf(stderr, "k57ctl: cannot write the trace to %s\n", file.c_str());
        return false;
    }
    k57::Trace::Global().SetRevealPrivate(reveal);
    k57::Trace::Global().AddSink(k57::TraceToFile(out));
    k57::Trace::Global().SetOn(true);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Utf8Arguments arguments(argc, argv);
    argc = arguments.count();
    argv = arguments.values();
    UseUtf8Console();
    // Before the translation is installed, which goes into it.
    std::unique_ptr<QCoreApplication> application = MakeApplication(argc, argv);
    CLI::App app{
        "Service tool for the K57 alarm and telematics unit, from a command line.\n"
        "Exit codes: 0 done, 1 bad usage or invalid input (a refused value, a file\n"
        "too large or not a regular file), or a change refused for want of a backup,\n"
        "2 the port cannot be opened, 3 no reply in time, 4 a reply that cannot be\n"
        "read or is of another type, 5 the unit refused (a commit not acknowledged),\n"
        "6 the service journal cannot be read or written, or a file cannot be written\n"
        "(the old one is left whole), 7 settings sent but not confirmed by reading\n"
        "them back, or an update package refused by its check (nothing of it sent),\n"
        "130 interrupted.",
        "k57ctl"};
    app.set_version_flag("--version", k57::VersionText("k57ctl"));
    app.require_subcommand(1);
    app.fallthrough();

    std::string port;
    Context context;
    app.add_option("--port", port,
                   "COM name (COM7) or device path; default: the stored port, or COM5");
    app.add_flag("--json", context.json,
                 "find, info, params, settings read, history, dbc check, journal status, "
                 "package verify: one JSON object; can decode, can --dbc, batch: one a line; "
                 "can stats, can hunt, can search, can signals: an array");
    app.add_flag("--quiet", context.quiet, "print results only");
    std::string language = "en";
    app.add_option("--lang", language,
                   "ru: the settings checks, the unit's messages and the closing lines of "
                   "settings, update and batch commands in Russian, as the window says them")
        ->check(CLI::IsMember({"ru", "en"}))
        ->capture_default_str();
    std::string traceFile;
    auto* trace = app.add_option("--trace", traceFile,
                                 "every frame in and out, on standard error or (--trace=FILE) "
                                 "into FILE")
                      ->expected(0, 1);
    bool traceReveal = false;
    app.add_flag("--trace-reveal", traceReveal,
                 "the trace shows the PIN and the phone numbers in clear (masked otherwise)")
        ->needs(trace);

    auto* find = app.add_subcommand(
        "find", "search COM2..COM254 as \"Определить\" does; print and store the port");
    auto* info = app.add_subcommand("info", "serial number, type, firmware version and build");
    auto* params = app.add_subcommand(
        "params", "the catalogue: group, key, type, bounds or choices, default, name");

    auto* settings = app.add_subcommand("settings", "read, write or change the unit's settings");
    settings->require_subcommand(1);
    bool all = false, dryRun = false;
    std::string outFile, inFile;
    std::vector<std::string> assignments;
    auto* read = settings->add_subcommand(
        "read", "print key=value lines (values differing from the defaults, or --all)");
    read->add_flag("--all", all, "every value, defaults too");
    read->add_option("-o,--output", outFile,
                     "write a settings file as the editor's \"Записать в файл\" does");
    auto* write = settings->add_subcommand(
        "write", "check FILE against the catalogue; write it to the unit if every line passes");
    write->add_option("FILE", inFile, "settings file (key=value lines, Windows-1251 or UTF-8)")
        ->required();
    write->add_flag("--dry-run", dryRun, "check only");
    write->add_flag("--yes", context.yes,
                    "write a file that sets no parameter (every setting back to its default)");
    auto* set = settings->add_subcommand("set", "read, change, check and write settings");
    set->add_option("KEY=VALUE", assignments, "assignments (UTF-8)")->required();

    auto* update = app.add_subcommand("update", "replace the unit's firmware or sound data");
    update->require_subcommand(1);
    std::string image;
    bool force = false;
    auto* firmware = update->add_subcommand(
        "firmware",
        "write the embedded firmware (or --image, or --package) with the window's steps");
    std::string packageFile;
    bool allowDowngrade = false;
    auto* firmwareImage =
        firmware->add_option("--image", image, "a firmware image file instead of the embedded one");
    firmware
        ->add_option("--package", packageFile,
                     "a signed firmware package (.k57pkg), verified before anything is sent")
        ->excludes(firmwareImage);
    firmware->add_flag("--allow-downgrade", allowDowngrade,
                       "install a package older than the unit's firmware");
    firmware->add_flag("--yes", context.yes, "do not ask");
    firmware->add_flag("--force", force, "update a unit whose version is equal or newer");
    bool restoreAfter = false;
    firmware->add_flag("--restore", restoreAfter,
                       "write the backup back when the update changed the unit's settings");
    auto* sound =
        update->add_subcommand("sound", "write the embedded sound data (or --image, or --package)");
    auto* soundImage =
        sound->add_option("--image", image, "a sound package file instead of the embedded one");
    sound
        ->add_option("--package", packageFile,
                     "a signed sound package (.k57pkg), verified before anything is sent")
        ->excludes(soundImage);
    sound->add_flag("--yes", context.yes, "do not ask");

    uint32_t serial = 0;
    auto* setId = app.add_subcommand("set-id", "write a new serial number (asks unless --yes)");
    setId->add_option("SERIAL", serial, "the new serial number")->required();
    setId->add_flag("--yes", context.yes, "do not ask");
    auto* restart = app.add_subcommand("restart", "restart the unit");
    long long restoreId = 0;
    auto* restore = app.add_subcommand(
        "restore",
        "write the settings of a journal entry (history show ID) back to its unit, on the "
        "entry's port unless --port names another");
    restore->add_option("ID", restoreId, "the entry's id")->required();
    restore->add_flag("--yes", context.yes,
                      "do not ask; also write an entry that names no unit to the unit there");
    // Every change backs up the unit's settings into the journal first.
    for (CLI::App* command : {write, set, firmware, sound, restore}) {
        command->add_flag("--no-backup", context.noBackup,
                          "go ahead when the settings cannot be read for a backup");
    }

    int bitrate = 500;
    int64_t count = 0;
    double seconds = 0;
    auto* can = app.add_subcommand(
        "can", "print every CAN frame as a candump log line \"(SECONDS.MICROS) k57 ID#DATA\"");
    can->add_option("--bitrate", bitrate, "kbit/s: 10 20 50 100 125 250 500 800 1000")
        ->capture_default_str();
    can->add_option("--count", count, "stop after N frames");
    // A capture that would end before it starts is a slip, refused as one.
    const CLI::Validator aboveZero(
        [](std::string& text) -> std::string {
            return std::strtod(text.c_str(), nullptr) > 0 ? ""
                                                          : "takes a number of seconds above 0";
        },
        "S>0");
    can->add_option("--duration", seconds, "stop after S seconds")->check(aboveZero);
    std::string dbcFile, logFile, encoding = "cp1252";
    can->add_option("--dbc", dbcFile,
                    "DBC file: print the frames it knows decoded; --json: one object a line");
    std::string canFilter, marksFile;
    double huntWindow = 0;
    can->add_option("--filter", canFilter,
                    "identifiers: \"+1A0 -7DF +400/700\" (include, exclude, ID/MASK; 4-8 digits: "
                    "extended)");
    auto* diag = app.add_subcommand("diag", "diagnostic mode: readings and events with stamps");
    diag->add_option("--duration", seconds, "stop after S seconds")->check(aboveZero);

    // CAN signal databases: files only, no unit.
    auto* dbc = app.add_subcommand("dbc", "CAN signal databases (DBC files)");
    dbc->require_subcommand(1);
    auto* dbcCheck = dbc->add_subcommand(
        "check", "read FILE: messages, signals, value tables, what was skipped, errors by line");
    dbcCheck->add_option("FILE", dbcFile, "DBC file")->required();
    auto* decode = can->add_subcommand(
        "decode",
        "decode a capture file (candump, ASC, CSV, PCAN .trc, Vector .blf; \"-\": a "
        "candump log on stdin) with a DBC file; --json: one object a line");
    decode
        ->add_option("LOG", logFile,
                     "capture file; a candump log as \"can\" prints or candump -l writes")
        ->required();
    decode->add_option("--dbc", dbcFile, "DBC file")->required();
    auto* stats = can->add_subcommand(
        "stats",
        "a capture file (candump, ASC, CSV, PCAN .trc, Vector .blf): per identifier "
        "count, rate, period and changing bits; --json: an array");
    stats->add_option("LOG", logFile, "capture file")->required();
    auto* hunt = can->add_subcommand(
        "hunt",
        "rank the bits of a capture file that changed just after the marks; --json: an "
        "array, best first");
    hunt->add_option("LOG", logFile, "capture file")->required();
    hunt->add_option("--marks", marksFile,
                     "one time a line, seconds on the log's clock (# comments); the window's "
                     "LOG.marks is one")
        ->required();
    hunt->add_option("--window", huntWindow, "seconds after a mark that count (default 1)")
        ->check(CLI::Range(0.001, 3600.0));
    int searchMost = 50;
    auto* search = can->add_subcommand(
        "search",
        "rank the fields (id, start bit, length 1-32, byte order, sign) of a capture "
        "file whose value moved as the marks say; --json: an array, best first");
    search->add_option("LOG", logFile, "capture file")->required();
    search
        ->add_option("--marks", marksFile,
                     "one mark a line: seconds on the log's clock, a label, then up, down or "
                     "same")
        ->required();
    search
        ->add_option("--window", huntWindow,
                     "seconds after a mark at whose end the value is read (default 1)")
        ->check(CLI::Range(0.001, 3600.0));
    search->add_option("--most", searchMost, "candidates printed")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    std::string dbcOut;
    auto* signalsCommand = can->add_subcommand(
        "signals",
        "propose each identifier's signals from a capture file alone (start, length, "
        "byte order, signed, kind: counter, checksum, constant, toggle, value); "
        "--json: an array");
    signalsCommand->add_option("LOG", logFile, "capture file")->required();
    signalsCommand->add_option("--dbc-out", dbcOut,
                               "also write them as a skeleton DBC file (ID_3B4, ID_3B4_S1...)");
    for (CLI::App* command : {dbcCheck, decode, can}) {
        command->add_option("--encoding", encoding, "the DBC file's texts")
            ->check(CLI::IsMember({"cp1252", "cp1251", "utf8"}))
            ->capture_default_str();
    }

    // The service journal, read only; --reveal shows PIN and phone numbers.
    auto* history = app.add_subcommand(
        "history", "the service journal: every unit in it, or the operations on SERIAL");
    uint32_t historySerial = 0;
    auto* historyUnit = history->add_option("SERIAL", historySerial, "one unit's serial number");
    bool reveal = false;
    long long entryId = 0;
    std::vector<long long> entryIds;
    std::string csvFile;
    auto* show = history->add_subcommand("show", "one entry, with the settings before and after");
    show->add_option("ID", entryId, "the entry's id")->required();
    auto* diff = history->add_subcommand(
        "diff", "settings differences by parameter: of two entries, or one's before and after");
    diff->add_option("ID", entryIds, "one or two entry ids")->required()->expected(1, 2);
    auto* exportCsv = history->add_subcommand("export", "the whole journal as a CSV file");
    exportCsv->add_option("FILE", csvFile, "the CSV file to write")->required();
    for (CLI::App* command : {show, diff, exportCsv}) {
        command->add_flag("--reveal", reveal, "show the PIN and phone numbers unmasked");
    }

    PackageCommandLine packageLine;
    AddPackageCommands(app, packageLine);
    JournalCommandLine journalLine;
    AddJournalCommands(app, journalLine);
    BatchCommandLine batchLine;
    AddBatchCommands(app, batchLine);

    if (TellUnknownCommand(app, argc, argv)) {
        return kBadInput;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kDone : kBadInput;
    }

    if (language == "ru") {
        UseRussianProblemTexts(true);
    } else {
        k57::InstallProgramTranslation(k57::Language::English);
    }
    if (*trace && !StartTrace(traceFile, traceReveal)) {
        return kBadInput;
    }
    // Files are read before the unit's port is chosen: Ctrl+C stops those
    // reads as it stops a request.
    CatchInterrupt(nullptr);
    if (*dbcCheck)
        return DbcCheck(context, dbcFile, encoding);
    if (*decode)
        return CanDecode(context, logFile, dbcFile, encoding);
    if (*stats)
        return CanStats(context, logFile, canFilter);
    if (*hunt)
        return CanHuntFile(context, logFile, marksFile, canFilter, huntWindow);
    if (*search)
        return CanSearchFile(context, logFile, marksFile, canFilter, huntWindow, searchMost);
    if (*signalsCommand)
        return CanSignalsFile(context, logFile, canFilter, dbcOut);
    if (*batchLine.batch && batchLine.check)
        return CheckBatch(batchLine);
    if (int packageCommand = RunPackageCommand(context, packageLine); packageCommand >= 0)
        return packageCommand;

    context.device = k57::MakeUnitSession();
    context.device->SetPortName(port.empty() ? k57::StoredPort::ReadOrDefault().c_str()
                                             : port.c_str());
    context.port = port;
    CatchInterrupt(context.device.get());
    context.record = std::make_unique<k57::ServiceRecord>(k57::JournalFrontEnd::Ctl);

    int journalCommand = RunJournalCommand(context, journalLine);
    if (journalCommand >= 0) {
        return journalCommand;
    }
    // The workshop's server: its entries come down before a command that
    // reads a unit's record (the history, a restore, the backup an update
    // restores), and what the command recorded goes up after it.
    // A batch learns from them which rows other PCs have used.
    ShareJournal(context, *history || *restore || *firmware || *sound || *batchLine.batch);
    auto run = [&]() -> int {
        if (int batch = RunBatchCommand(context, batchLine, port); batch >= 0)
            return batch;
        if (*find)
            return Find(context);
        if (*info)
            return Info(context);
        if (*params)
            return Params(context);
        if (*read)
            return SettingsRead(context, all, outFile);
        if (*write)
            return SettingsWrite(context, inFile, dryRun);
        if (*set)
            return SettingsSet(context, assignments);
        if (*firmware)
            return packageFile.empty() ? UpdateFirmware(context, image, force, restoreAfter)
                                       : InstallFirmwarePackage(context, packageFile, force,
                                                                restoreAfter, allowDowngrade);
        if (*sound)
            return packageFile.empty() ? UpdateSound(context, image)
                                       : InstallSoundPackage(context, packageFile);
        if (*setId)
            return SetId(context, serial);
        if (*restart)
            return Restart(context);
        if (*restore)
            return Restore(context, restoreId);
        if (*can)
            return Can(context, bitrate, count, seconds, canFilter, dbcFile, encoding);
        if (*diag)
            return Diag(context, seconds);
        if (*show)
            return HistoryShow(context, entryId, reveal);
        if (*diff)
            return HistoryDiff(context, entryIds, reveal);
        if (*exportCsv)
            return HistoryExport(context, csvFile, reveal);
        if (*history)
            return History(context, *historyUnit ? std::optional(historySerial) : std::nullopt);
        return kBadInput;
    };
    int exitCode = run();
    ShareJournal(context, false);
    return exitCode;
}
