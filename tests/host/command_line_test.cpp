#include <gtest/gtest.h>

#include "case_name.h"

#include <string>
#include <vector>

#include "launcher/launcher.h"

namespace trunpax {
namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;  // argv, argv[0] included
    std::string expected;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, IsTheFirstArgumentThenABlankAndTheSecond) {
    const CommandLineCase& c = GetParam();
    std::vector<const char*> argv;
    for (const std::string& argument : c.arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(c.arguments.size());

    std::string commandLine = BuildCommandLine(argv[1]);
    EXPECT_EQ(commandLine, c.arguments[1]) << "built from the first argument alone";
    CompleteCommandLine(commandLine, argc, argv.data());
    EXPECT_EQ(commandLine, c.expected);
}

const CommandLineCase kCommandLineCases[] = {
    {"FirstHelpExample", {"Trunpax.exe", "msg", "0 Hello world!"}, "msg 0 Hello world!"},
    {"SecondHelpExample", {"Trunpax.exe", R"(C:\path\kestrovan.msi)"}, R"(C:\path\kestrovan.msi)"},
    {"ThirdAndLaterArgumentsDropped", {"Trunpax.exe", "msg", "0", "Hello", "world!"}, "msg 0"},
    {"BlanksKeptBareWithNoQuotesAdded",
     {"Trunpax.exe", R"(C:\Program Files\Tool\tool.exe)", "a b"},
     R"(C:\Program Files\Tool\tool.exe a b)"},
    {"NothingTrimmed", {"Trunpax.exe", " msg\t", "  p  "}, " msg\t   p  "},
    {"EmptyFirstArgument", {"Trunpax.exe", ""}, ""},
    {"EmptyFirstThenSecond", {"Trunpax.exe", "", "x"}, " x"},
    {"EmptySecondKeepsItsBlank", {"Trunpax.exe", "msg", ""}, "msg "},
    {"LiteralQuotesCopiedUnchanged",
     {"Trunpax.exe", R"("C:\Program Files\t.exe")", R"("a b" \"c)"},
     R"("C:\Program Files\t.exe" "a b" \"c)"},
    {"ShellCharactersCopiedUnchanged",
     {"Trunpax.exe", "echo %PATH% & dir", "> x | y ^"},
     "echo %PATH% & dir > x | y ^"},
    {"HelpSwitchAsSecondArgument", {"Trunpax.exe", "msg", "/?"}, "msg /?"},
    {"LongArguments",
     {"Trunpax.exe", std::string(8000, 'a'), std::string(40000, 'b')},
     std::string(8000, 'a') + " " + std::string(40000, 'b')},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest, ::testing::ValuesIn(kCommandLineCases),
                         testing::CaseName());

}  // namespace
}  // namespace trunpax
