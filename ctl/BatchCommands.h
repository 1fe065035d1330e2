#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

class ParameterList;

namespace k57 {
class BatchPlan;
}

namespace k57::ctl {

struct Context;

// `k57ctl batch TEMPLATE --values CSV [--check]`: many units programmed
// alike, the template's settings and each unit's own values, checked
// together and then written to every unit that appears on the ports.
struct BatchCommandLine {
    CLI::App* batch = nullptr;
    std::string templateFile;
    std::string valuesFile;
    bool check = false;
    std::vector<std::string> ports;
    bool updateFirmware = false;
    bool templateOnly = false;
    int count = 0;
    std::string reportDir;
};

void AddBatchCommands(CLI::App& app, BatchCommandLine& line);
// The batch command, run when given; -1 when it was not. `port`: the
// program's own --port, for the batch's when it names none.
int RunBatchCommand(Context& context, const BatchCommandLine& line, const std::string& port);
// Every problem of the template and the values file told; 0 when none.
int CheckBatch(const BatchCommandLine& line);
// The same for a plan read already from the line's files.
int TellPlan(const BatchCommandLine& line, const ParameterList& list, const BatchPlan& plan);
// The batch written, port by port, until Ctrl+C or the count.
int RunBatch(Context& context, const BatchCommandLine& line, std::vector<std::string> ports);

}  // namespace k57::ctl
