#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace k57::test {

// The catalogue document from resources/, as the program embeds it.
inline std::string ShippedCatalogue() {
    std::ifstream in(K57_CATALOGUE_PATH, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace k57::test
