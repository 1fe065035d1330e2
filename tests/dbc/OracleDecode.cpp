// The decoder for tests/dbc/oracle.py, which holds its answers against
// another implementation's. Reads the DBC file named first; then for each
// line "ID EXTENDED HEXDATA" on stdin prints one line of "name=value" pairs
// (the shortest text of each double), or "?" for an identifier the file
// does not define. The parser's diagnostics go to stderr; errors end it
// with exit code 1.

#include <charconv>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "Decoder.h"
#include "Parse.h"

int main(int argc, char** argv) {
    using namespace k57::dbc;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.dbc < frames\n", argv[0]);
        return 2;
    }
    ParseResult result = ParseFile(argv[1], Encoding::Cp1252);
    for (const Diagnostic& diagnostic : result.diagnostics) {
        std::fprintf(stderr, "%s\n", diagnostic.ToString().c_str());
    }
    if (result.ErrorCount()) {
        return 1;
    }
    std::string line, hex;
    std::vector<Value> values;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        uint32_t id = 0;
        int extended = 0;
        in >> id >> extended >> hex;
        std::vector<uint8_t> data;
        for (size_t i = 0; i + 1 < hex.size(); i += 2) {
            data.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
        }
        const Message* message = result.database.Find(id, extended != 0);
        if (!message) {
            std::cout << "?\n";
            continue;
        }
        Decode(*message, data.data(), data.size(), values);
        std::string out;
        for (const Value& value : values) {
            char number[32];
            char* end = std::to_chars(number, number + sizeof number, value.physical).ptr;
            out += value.signal->name + "=" + std::string(number, end) + " ";
        }
        std::cout << out << "\n";
    }
    return 0;
}
