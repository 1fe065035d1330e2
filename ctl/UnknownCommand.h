#pragma once

#include <CLI/CLI.hpp>

namespace k57::ctl {

// Tells on standard error a command line whose command, or whose command's
// own command, is none of those there are (CLI11 would only say that one is
// missing), with a guessed command's right one; false when every word names
// a command.
bool TellUnknownCommand(const CLI::App& app, int argc, char** argv);

}  // namespace k57::ctl
