#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "ParameterList.h"

// The shipped catalogue, loaded once for every input of a harness.
inline ParameterList& FuzzCatalogue() {
    static ParameterList list([] {
        std::ifstream in(K57_CATALOGUE_PATH, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }());
    return list;
}
