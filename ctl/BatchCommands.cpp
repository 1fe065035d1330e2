// batch: a template and a values file, checked together before any unit is
// written.

#include "BatchCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "BatchPlan.h"
#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "SettingsProblemText.h"
#include "ValuesMessages.h"

namespace k57::ctl {

namespace {

using Kind = ValuesProblem::Kind;

std::string Quoted(const std::string& windows1251) {
    return "\"" + cp1251::ToUtf8(windows1251) + "\"";
}

// What is wrong, in the words the settings checks use for a value; in
// Russian (--lang ru) the window's.
std::string ValuesProblemText(const ParameterList& list, const ValuesProblem& problem) {
    if (RussianProblemTexts()) {
        return ValuesWindowMessage(problem);
    }
    switch (problem.kind) {
        case Kind::Unreadable:
            return problem.detail;
        case Kind::TooLarge:
            return "larger than " + std::to_string(ValuesFile::kMaxSize >> 20) +
                   " MB, not a values file";
        case Kind::TooManyRows:
            return "more than " + std::to_string(ValuesFile::kMaxUnits) +
                   " rows of units; split it into several files";
        case Kind::UnclosedQuote:
            return "a quoted cell is not closed before the end of the file";
        case Kind::TextAfterQuote:
            return "a quoted cell goes on after its closing quote (a quote inside one is "
                   "written twice: \"\")";
        case Kind::NoUnits:
            return "no rows of units after the header";
        case Kind::SerialNotFirst:
            return problem.key.find(';') != std::string::npos
                       ? "the cells are separated by \";\"; the values file takes \",\""
                       : "the first column must be \"serial\"";
        case Kind::UnknownKey:
            if (problem.key == "serial") {
                return "\"serial\" must be the first column";
            }
            return problem.key.empty() ? "an empty column name" : "no such parameter";
        case Kind::KeyTwice:
            return "given in column " + std::to_string(problem.earlier) + " already";
        case Kind::CellCount:
            return std::to_string(problem.count) + " cell(s) where the header has " +
                   std::to_string(problem.earlier);
        case Kind::NotASerial:
            return Quoted(problem.value) + " is not a serial number (0 to 4294967295)";
        case Kind::SerialTwice:
            return "serial number " + Quoted(problem.value) + " is given by row " +
                   std::to_string(problem.earlier) + " already";
        case Kind::NotInCodePage:
            return "has characters the unit's code page lacks";
        case Kind::Value: {
            SettingsLine line;
            line.key = problem.key;
            line.value = problem.value;
            line.problem = problem.rule;
            return ProblemText(list, line);
        }
        case Kind::TextTooLong:
            return "the unit's settings come to " + std::to_string(problem.count) +
                   " bytes with the template's; the unit takes at most " +
                   std::to_string(kMaxSettingsText);
        case Kind::SetsNothing:
            return "the unit's settings would set no parameter: its PIN and phone numbers "
                   "would be reset";
    }
    return {};
}

// "values.csv: row 4, column 3 (UserNumber1): …", or less where the problem
// is the whole row's or the file's.
std::string Where(const std::string& file, const ValuesProblem& problem) {
    if (RussianProblemTexts()) {
        const std::string place = ValuesProblemPlace(problem);
        return file + ":" + (place.empty() ? " " : " " + place + ": ");
    }
    std::string where = file + ":";
    if (problem.row > 0) {
        where += " row " + std::to_string(problem.row);
    }
    if (problem.column > 0) {
        where += ", column " + std::to_string(problem.column);
    }
    if (!problem.key.empty() && problem.kind != Kind::SerialNotFirst) {
        where += " (" + cp1251::ToUtf8(problem.key) + ")";
    }
    return where + (problem.row > 0 ? ": " : " ");
}

}  // namespace

int CheckBatch(const BatchCommandLine& line) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    return TellPlan(line, list, BatchPlan::Read(line.templateFile, line.valuesFile, list));
}

int TellPlan(const BatchCommandLine& line, const ParameterList& list, const BatchPlan& plan) {
    const SettingsFileVerdict& read = plan.templateFile();
    int problems = 0;
    if (!read.readable()) {
        std::fprintf(stderr, "%s: %s\n", line.templateFile.c_str(), FileProblemText(read).c_str());
        ++problems;
    } else {
        ListProblems(line.templateFile, list, read.verdict);
        problems += int(read.verdict.Problems().size());
    }
    for (const ValuesProblem& problem : plan.valueProblems()) {
        std::fprintf(stderr, "%s%s\n", Where(line.valuesFile, problem).c_str(),
                     ValuesProblemText(list, problem).c_str());
        ++problems;
    }
    if (problems > 0) {
        return Fail(std::to_string(problems) + " problem(s); no unit may be written from these",
                    kBadInput);
    }
    if (line.check) {
        std::printf("%d units, %d keys of their own\n", int(plan.values().units.size()),
                    plan.OwnKeyCount());
    }
    return kDone;
}

void AddBatchCommands(CLI::App& app, BatchCommandLine& line) {
    line.batch = app.add_subcommand(
        "batch", "many units programmed alike: a template and each unit's own values");
    line.batch
        ->add_option("TEMPLATE", line.templateFile,
                     "settings file every unit gets (as settings write takes)")
        ->required();
    line.batch
        ->add_option("--values", line.valuesFile,
                     "CSV file, a row per unit: serial,KEY,KEY… (UTF-8 or Windows-1251); an "
                     "empty cell keeps the template's value")
        ->required();
    line.batch->add_flag("--check", line.check,
                         "check the template and every unit's values, and write nothing");
    line.batch->add_option("--port", line.ports,
                           "a port to watch for units (COM5 or a device path); give it again "
                           "for more ports, written at once; default: the stored port");
    line.batch->add_flag("--update-firmware", line.updateFirmware,
                         "update a unit's firmware first when it is older than the tool's");
    line.batch->add_flag("--template-only", line.templateOnly,
                         "write the template alone to a unit with no row (skipped otherwise)");
    line.batch
        ->add_option("--count", line.count,
                     "stop after N units (written, failed or skipped); default: until Ctrl+C")
        ->check(CLI::PositiveNumber);
    line.batch->footer(
        "Each unit that appears on a port is identified, matched to its row by its serial\n"
        "number, backed up, written and read back; then the port waits for the next unit.\n"
        "A unit with no row, or whose row a unit used already (in the journal), is left\n"
        "alone; a unit that fails keeps its row. One line per unit on standard output\n"
        "(--json: {\"serial\", \"port\", \"result\": ok|failed|skipped, \"verified\",\n"
        "\"reason\"}), the steps on standard error. Exit code 0 when no unit failed, 7 when\n"
        "one did, 1 when the files have problems (nothing is written then).\n"
        "Example: k57ctl batch template.txt --values values.csv --port COM5 --port COM6\n"
        "         --report certificates");
    line.batch->add_option("--report", line.reportDir,
                           "write a PDF certificate per unit and the batch's CSV summary into "
                           "this folder");
}

int RunBatchCommand(Context& context, const BatchCommandLine& line, const std::string& port) {
    if (!line.batch || !*line.batch) {
        return -1;
    }
    if (line.check) {
        return CheckBatch(line);
    }
    std::vector<std::string> ports = line.ports;
    if (ports.empty() && !port.empty()) {
        ports.push_back(port);
    }
    return RunBatch(context, line, ports);
}

}  // namespace k57::ctl
