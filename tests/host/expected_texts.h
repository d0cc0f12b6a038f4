// The exact bytes each console text must come out as, read from the files
// beside the tests, so that a changed character in the program shows.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace trunpax::testing {

inline std::string ReadExpected(const std::string& name) {
    std::ifstream file(std::string(TRUNPAX_EXPECTED_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::string ExpectedUsage() { return ReadExpected("usage.txt"); }
inline std::string ExpectedHelp() { return ReadExpected("help.txt"); }
inline std::string ExpectedNotWow64() { return ReadExpected("not_wow64.txt"); }

}  // namespace trunpax::testing
