#pragma once

#include <string>

namespace CLI {
class App;
}

namespace k57::ctl {

struct Context;

// `k57ctl package …`: signing keys, signed update packages made and
// verified. Files only, no unit.
struct PackageCommandLine {
    CLI::App* keygen = nullptr;
    CLI::App* make = nullptr;
    CLI::App* verify = nullptr;
    std::string secretFile, publicFile;
    std::string kind, imageFile, version, lowest, notesRu, notesEn, output;
    std::string packageFile;
};

void AddPackageCommands(CLI::App& app, PackageCommandLine& line);
// The package command given, run; -1 when none was.
int RunPackageCommand(Context& context, const PackageCommandLine& line);

}  // namespace k57::ctl
