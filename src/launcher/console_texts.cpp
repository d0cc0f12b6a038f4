#include "launcher/console_texts.h"

namespace trunpax {
namespace {

// The texts are kept byte for byte, the spelling of the last help line
// included: callers and scripts may match on them.
constexpr const char* kUsageLines[] = {
    "   Usage: Trunpax.exe <path to application> <optional parameters>",
    "      or: Trunpax.exe /? for help",
};

constexpr const char* kHelpLines[] = {
    "   Trunpax disables 64 bit file system redirection to enable 32",
    "   bit processes to have access to the 64 bit system directory.",
    "",
    "   Syntax: Trunpax.exe <path to executable> <optional parameters>",
    "",
    "   You must enclose the executable and also the parameters in",
    "   quotation marks.",
    "",
    "       Example: calling a 64 bit tool",
    R"(                Trunpax.exe "msg" "0 Hello world!")",
    "",
    "       Example: calling kestrovan.msi with no parameters",
    R"(                Trunpax.exe "C:\path\kestrovan.msi")",
    "",
    "    Return codes:",
    "       0      Trunpax.exe successfully ran the executable",
    "       1      Trunpax.exe was called without a parameter list",
    "       2      Trunpax.exe was called with /?",
    "       3      File system redirection could not be enabled.  Either",
    "                  this is not a 64 bit system, or Trunpax.exe was",
    "                  not called in 32 bit mode",
    "       4      An exception occured while trying to run the executable",
};

constexpr const char* kNotWow64Lines[] = {
    "Not running SysWow64",
};

// A step is skipped once the stream is in error, also when the step just
// before it in the same call put it there.
bool IsWritable(std::FILE* stream) { return std::ferror(stream) == 0; }

}  // namespace

const ConsoleText UsageText{kUsageLines};
const ConsoleText HelpText{kHelpLines};
const ConsoleText NotWow64Text{kNotWow64Lines};

void ConsoleWriter::WriteLine(const char* text) const {
    if (IsWritable(stream)) {
        std::fputs(text, stream);
    }
    WriteBlankLine();
}

void ConsoleWriter::WriteBlankLine() const {
    if (IsWritable(stream)) {
        std::fputs(lineBreak, stream);
    }
    if (IsWritable(stream)) {
        std::fflush(stream);
    }
}

void ConsoleWriter::WriteText(ConsoleText text) const {
    for (const char* line : text) {
        if (line[0] == '\0') {
            WriteBlankLine();
        } else {
            WriteLine(line);
        }
    }
}

}  // namespace trunpax
