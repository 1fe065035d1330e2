#pragma once

#include <cstdio>
#include <string>
#include <vector>

// k57ctl speaks UTF-8 on every system: its arguments, its paths and what it
// prints. Windows needs help at both ends.
namespace k57::ctl {

// The command line in UTF-8. Windows hands main() its arguments in the ANSI
// code page, which makes "Авто" "????" on most PCs: there they are taken
// from the UTF-16 command line instead; elsewhere as they are.
class Utf8Arguments {
  public:
    Utf8Arguments(int argc, char** argv);
    int count() const { return int(values_.size()) - 1; }
    char** values() { return values_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> values_;  // as argv: ending in a null pointer
};

// Windows: standard output and error that are a console are routed through
// a pipe to WriteConsoleW, so UTF-8 shows whatever the console's code page;
// output that is redirected stays UTF-8 bytes. Elsewhere nothing to do.
// Call once, before anything is printed.
void UseUtf8Console();

// True for a stream UseUtf8Console() routed to a console.
bool RoutedToConsole(std::FILE* stream);

}  // namespace k57::ctl
