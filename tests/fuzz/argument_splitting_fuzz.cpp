// Fuzzes the argument splitter. Any raw line must split without a crash or a
// sanitizer report, and quoting a list of arguments by the inverse of the
// splitting rules must give the same list back when the line is split.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/argument_splitting.h"

namespace {

bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The characters of an argument: two bytes for a lead byte and its trail.
std::vector<std::string_view> Characters(std::string_view argument,
                                         trunpax::LeadByteTest isLeadByte) {
    std::vector<std::string_view> characters;
    for (std::size_t at = 0; at < argument.size();) {
        const bool isPair = isLeadByte != nullptr &&
                            isLeadByte(static_cast<unsigned char>(argument[at])) &&
                            at + 1 < argument.size();
        const std::size_t width = isPair ? 2 : 1;
        characters.push_back(argument.substr(at, width));
        at += width;
    }
    return characters;
}

// Quotes one argument so that the splitter gives it back unchanged: the
// whole argument in quotes, each quote escaped, and the backslashes before a
// quote (or before the closing quote) doubled.
std::string Quote(std::string_view argument, trunpax::LeadByteTest isLeadByte) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::string_view character : Characters(argument, isLeadByte)) {
        if (character == "\\") {
            ++backslashes;
            continue;
        }
        if (character == "\"") {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.append(character);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

// Cuts the input into arguments at NUL bytes, which no argument can hold.
// In a double-byte code page an argument cannot end in a lone lead byte
// (its closing quote would become the trail byte), so one is dropped there.
std::vector<std::string> Arguments(std::string_view data, trunpax::LeadByteTest isLeadByte) {
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (std::size_t end = 0; end <= data.size(); ++end) {
        if (end == data.size() || data[end] == '\0') {
            std::string argument(data.substr(start, end - start));
            const auto characters = Characters(argument, isLeadByte);
            if (!characters.empty() && characters.back().size() == 1 && isLeadByte != nullptr &&
                isLeadByte(static_cast<unsigned char>(characters.back()[0]))) {
                argument.pop_back();
            }
            arguments.push_back(std::move(argument));
            start = end + 1;
        }
    }
    return arguments;
}

void CheckRoundTrip(std::string_view data, trunpax::LeadByteTest isLeadByte) {
    std::vector<std::string> expected = Arguments(data, isLeadByte);
    std::string line = "Trunpax.exe";
    for (const std::string& argument : expected) {
        line += ' ';
        line += Quote(argument, isLeadByte);
    }
    expected.insert(expected.begin(), "Trunpax.exe");
    if (trunpax::SplitCommandLine(line, isLeadByte) != expected) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    // Any raw line: a C string ends at its first NUL.
    const std::string_view line = data.substr(0, data.find('\0'));
    static_cast<void>(trunpax::SplitCommandLine(line, nullptr));
    static_cast<void>(trunpax::SplitCommandLine(line, IsShiftJisLeadByte));

    CheckRoundTrip(data, nullptr);
    CheckRoundTrip(data, IsShiftJisLeadByte);
    return 0;
}
