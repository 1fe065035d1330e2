// A first word that names no command, told with the commands it could have
// been or the one that does what it asks.

#include "UnknownCommand.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace k57::ctl {

namespace {

// A command that names no command, with the commands it could have been.
struct UnknownWords {
    std::string words;  // "settings save"
    const CLI::App* among = nullptr;
};

// The first word that is neither an option nor an option's value, when it
// names no command, or the word after a command that takes one of its own
// when it names none of those: CLI11 would only say that a command is
// missing.
UnknownWords UnknownCommand(const CLI::App& app, int argc, char** argv) {
    const CLI::App* level = &app;
    std::string words;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--port" || arg == "--lang") {
            ++i;
        } else if (arg.empty() || arg[0] != '-') {
            std::vector<const CLI::App*> commands = level->get_subcommands({});
            words += (words.empty() ? "" : " ") + arg;
            auto named = std::find_if(commands.begin(), commands.end(),
                                      [&](const CLI::App* c) { return c->get_name() == arg; });
            if (named == commands.end()) {
                return {words, level};
            }
            if ((*named)->get_require_subcommand_min() == 0) {
                return {};
            }
            level = *named;
        }
    }
    return {};
}

// The command a user may guess and the one that does it.
std::string CommandThatDoes(const std::string& words) {
    if (words == "settings save") {
        return "use `settings read -o FILE` to save the unit's settings to a file";
    }
    return {};
}

}  // namespace

bool TellUnknownCommand(const CLI::App& app, int argc, char** argv) {
    UnknownWords unknown = UnknownCommand(app, argc, argv);
    if (!unknown.among) {
        return false;
    }
    std::string names;
    for (const CLI::App* command : unknown.among->get_subcommands({})) {
        names += (names.empty() ? "" : ", ") + command->get_name();
    }
    std::string instead = CommandThatDoes(unknown.words);
    std::fprintf(stderr, "k57ctl: no command \"%s\"; %s (--help)\n", unknown.words.c_str(),
                 instead.empty() ? ("the commands are " + names).c_str() : instead.c_str());
    return true;
}

}  // namespace k57::ctl
