#include "launcher/argument_splitting.h"

#include <cstddef>

namespace trunpax {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one character at `at` into `out`: two bytes when the first is a lead
// byte with a byte after it, one otherwise. Gives the index after it.
std::size_t CopyCharacter(std::string_view line, std::size_t at, LeadByteTest isLeadByte,
                          std::string& out) {
    const bool isPair = isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(line[at])) &&
                        at + 1 < line.size();
    const std::size_t width = isPair ? 2 : 1;
    out.append(line.substr(at, width));
    return at + width;
}

// The program name: no escapes, quotes only at its start.
std::size_t ReadProgramName(std::string_view line, LeadByteTest isLeadByte, std::string& out) {
    std::size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        at = 1;
        while (at < line.size() && line[at] != '"') {
            at = CopyCharacter(line, at, isLeadByte, out);
        }
        return at < line.size() ? at + 1 : at;  // past the closing quote
    }
    while (at < line.size() && !IsBlank(line[at])) {
        at = CopyCharacter(line, at, isLeadByte, out);
    }
    return at;
}

// One argument from `at`, which is not a blank. Gives the index after it.
std::size_t ReadArgument(std::string_view line, std::size_t at, LeadByteTest isLeadByte,
                         std::string& out) {
    bool inQuotes = false;
    while (at < line.size()) {
        std::size_t backslashes = 0;
        while (at < line.size() && line[at] == '\\') {
            ++backslashes;
            ++at;
        }
        if (at < line.size() && line[at] == '"') {
            out.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                out.push_back('"');
            } else if (inQuotes && at + 1 < line.size() && line[at + 1] == '"') {
                out.push_back('"');
                ++at;
                inQuotes = false;
            } else {
                inQuotes = !inQuotes;
            }
            ++at;
            continue;
        }
        out.append(backslashes, '\\');
        if (at == line.size() || (!inQuotes && IsBlank(line[at]))) {
            break;
        }
        at = CopyCharacter(line, at, isLeadByte, out);
    }
    return at;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line, LeadByteTest isLeadByte) {
    std::vector<std::string> arguments(1);
    std::size_t at = ReadProgramName(line, isLeadByte, arguments.front());
    for (;;) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return arguments;
        }
        at = ReadArgument(line, at, isLeadByte, arguments.emplace_back());
    }
}

}  // namespace trunpax
