#pragma once

#include <string>

namespace CLI {
class App;
}

namespace k57::ctl {

// `k57ctl batch TEMPLATE --values CSV --check`: many units programmed alike,
// the template's settings and each unit's own values, checked together.
struct BatchCommandLine {
    CLI::App* batch = nullptr;
    std::string templateFile;
    std::string valuesFile;
    bool check = false;
};

void AddBatchCommands(CLI::App& app, BatchCommandLine& line);
// The batch command, run when given; -1 when it was not.
int RunBatchCommand(const BatchCommandLine& line);

}  // namespace k57::ctl
