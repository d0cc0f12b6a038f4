// The launcher against a recording fake platform: which path each argument
// list takes, and the exact order of the platform calls on every path.
#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <string>
#include <vector>

#include "expected_texts.h"
#include "fake_platform.h"

namespace trunpax {
namespace {

using testing::FakePlatform;
using Calls = std::vector<std::string>;

const std::string kLoad = "load kernel32.dll";
const std::string kFindDisable = "find Wow64DisableWow64FsRedirection";
const std::string kFindRevert = "find Wow64RevertWow64FsRedirection";
const Calls kAcquireThenRelease = {kLoad, kFindDisable, kFindRevert, "free"};

ExitCode RunWith(FakePlatform& fake, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "Trunpax.exe");
    std::vector<const char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    const Platform platform = fake.Make();
    return RunLauncher(static_cast<int>(arguments.size()), argv.data(), platform);
}

Calls RunPath(const std::string& commandLine) {
    return {kLoad, kFindDisable, kFindRevert, "disable", "system " + commandLine, "revert", "free"};
}

// What a fake platform looks like for one case.
enum class Kernel { Wow64, NoDisable, NoRevert, NoOperations, DisableFails, LoadFails };

void Configure(FakePlatform& fake, Kernel kernel) {
    fake.hasDisable = kernel != Kernel::NoDisable && kernel != Kernel::NoOperations;
    fake.hasRevert = kernel != Kernel::NoRevert && kernel != Kernel::NoOperations;
    fake.disableSucceeds = kernel != Kernel::DisableFails;
    if (kernel == Kernel::LoadFails) {
        fake.libraryHandle = nullptr;
    }
}

struct PathCase {
    const char* name;
    Kernel kernel;
    std::vector<std::string> arguments;  // after argv[0]
    ExitCode exitCode;
    std::string output;
    Calls calls;
};

class LauncherPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(LauncherPathTest, TakesItsPathWithTheseCallsInThisOrder) {
    const PathCase& c = GetParam();
    FakePlatform fake;
    Configure(fake, c.kernel);

    EXPECT_EQ(RunWith(fake, c.arguments), c.exitCode);
    EXPECT_EQ(fake.PlatformCalls(), c.calls);
    EXPECT_EQ(fake.Output(), c.output);
    ASSERT_FALSE(fake.calls.empty());
    EXPECT_EQ(fake.calls.front(), kLoad) << "the library is loaded before anything else";
    EXPECT_EQ(fake.calls.back(), "free") << "the library is given back after everything else";
    ASSERT_EQ(fake.freeArguments.size(), 1U);
    EXPECT_EQ(fake.freeArguments[0], fake.libraryHandle) << "the handle the load gave, null too";
}

const std::string usage = testing::ExpectedUsage();
const std::string help = testing::ExpectedHelp();
const std::string notWow64 = testing::ExpectedNotWow64();

const PathCase kPathCases[] = {
    {"NoArguments", Kernel::Wow64, {}, ExitCode::NoArguments, usage, kAcquireThenRelease},
    {"HelpSwitch", Kernel::Wow64, {"/?"}, ExitCode::HelpShown, help, kAcquireThenRelease},
    {"HelpSwitchIgnoresLaterArguments",
     Kernel::Wow64,
     {"/?", "msg", "x"},
     ExitCode::HelpShown,
     help,
     kAcquireThenRelease},
    {"FirstHelpExample",
     Kernel::Wow64,
     {"msg", "0 Hello world!"},
     ExitCode::Ran,
     "",
     RunPath("msg 0 Hello world!")},
    {"SecondHelpExample",
     Kernel::Wow64,
     {R"(C:\path\kestrovan.msi)"},
     ExitCode::Ran,
     "",
     RunPath(R"(C:\path\kestrovan.msi)")},
    {"ThirdArgumentDropped",
     Kernel::Wow64,
     {"msg", "0", "Hello", "world!"},
     ExitCode::Ran,
     "",
     RunPath("msg 0")},
    {"EmptyFirstArgumentGivesSystemAnEmptyStringNotNull",
     Kernel::Wow64,
     {""},
     ExitCode::Ran,
     "",
     RunPath("")},
    {"EmptySecondArgument", Kernel::Wow64, {"msg", ""}, ExitCode::Ran, "", RunPath("msg ")},
    {"HyphenForSlash", Kernel::Wow64, {"-?"}, ExitCode::Ran, "", RunPath("-?")},
    {"LetterForQuestionMark", Kernel::Wow64, {"/h"}, ExitCode::Ran, "", RunPath("/h")},
    {"CapitalLetterForQuestionMark", Kernel::Wow64, {"/H"}, ExitCode::Ran, "", RunPath("/H")},
    {"DoubledQuestionMark", Kernel::Wow64, {"/??"}, ExitCode::Ran, "", RunPath("/??")},
    {"CharacterAfterSwitch", Kernel::Wow64, {"/?x"}, ExitCode::Ran, "", RunPath("/?x")},
    {"BlankBeforeSwitch", Kernel::Wow64, {" /?"}, ExitCode::Ran, "", RunPath(" /?")},
    {"BlankAfterSwitch", Kernel::Wow64, {"/? "}, ExitCode::Ran, "", RunPath("/? ")},
    {"SlashAlone", Kernel::Wow64, {"/"}, ExitCode::Ran, "", RunPath("/")},
    {"SwitchAsSecondArgument", Kernel::Wow64, {"msg", "/?"}, ExitCode::Ran, "", RunPath("msg /?")},
    {"NotWow64Run",
     Kernel::NoDisable,
     {"msg", "0 Hello world!"},
     ExitCode::RedirectionUnavailable,
     notWow64,
     kAcquireThenRelease},
    {"NotWow64EmptyArgument",
     Kernel::NoDisable,
     {""},
     ExitCode::RedirectionUnavailable,
     notWow64,
     kAcquireThenRelease},
    {"NotWow64LookAlike",
     Kernel::NoOperations,
     {"-?"},
     ExitCode::RedirectionUnavailable,
     notWow64,
     kAcquireThenRelease},
    {"NotWow64StillShowsUsage",
     Kernel::NoOperations,
     {},
     ExitCode::NoArguments,
     usage,
     kAcquireThenRelease},
    {"NotWow64StillShowsHelp",
     Kernel::NoOperations,
     {"/?"},
     ExitCode::HelpShown,
     help,
     kAcquireThenRelease},
    {"FailedLoadIsNotWow64",
     Kernel::LoadFails,
     {"msg"},
     ExitCode::RedirectionUnavailable,
     notWow64,
     kAcquireThenRelease},
    {"FailedLoadStillShowsUsage",
     Kernel::LoadFails,
     {},
     ExitCode::NoArguments,
     usage,
     kAcquireThenRelease},
    {"RevertMissingIsNotCalled",
     Kernel::NoRevert,
     {"msg"},
     ExitCode::Ran,
     "",
     {kLoad, kFindDisable, kFindRevert, "disable", "system msg", "free"}},
    {"FailedDisableStillRunsWithoutRevert",
     Kernel::DisableFails,
     {"msg"},
     ExitCode::Ran,
     "",
     {kLoad, kFindDisable, kFindRevert, "disable", "system msg", "free"}},
};

INSTANTIATE_TEST_SUITE_P(Paths, LauncherPathTest, ::testing::ValuesIn(kPathCases),
                         testing::CaseName());

TEST(LauncherTest, RevertGetsBackExactlyWhatDisableStored) {
    FakePlatform fake;
    EXPECT_EQ(RunWith(fake, {"msg"}), ExitCode::Ran);
    ASSERT_EQ(fake.revertArguments.size(), 1U);
    EXPECT_EQ(fake.revertArguments[0], testing::kFakePriorState);
    EXPECT_EQ(fake.disableAddresses, std::vector<ProcAddress>{testing::kFakeDisable});
    EXPECT_EQ(fake.revertAddresses, std::vector<ProcAddress>{testing::kFakeRevert});
}

TEST(LauncherTest, PrintsNothingOfItsOwnOnTheRunPath) {
    FakePlatform fake;
    EXPECT_EQ(RunWith(fake, {"msg", "0 Hello world!"}), ExitCode::Ran);
    EXPECT_EQ(fake.Output(), "");
}

// Output that the system refuses changes neither the calls nor the exit code.
struct RefusedOutputCase {
    const char* name;
    Kernel kernel;
    std::vector<std::string> arguments;
    ExitCode exitCode;
    std::size_t budget;
    std::string accepted;
};

class RefusedOutputTest : public ::testing::TestWithParam<RefusedOutputCase> {};

TEST_P(RefusedOutputTest, KeepsTheExitCodeAndCalls) {
    const RefusedOutputCase& c = GetParam();
    FakePlatform fake;
    Configure(fake, c.kernel);
    fake.outputBudget = c.budget;
    EXPECT_EQ(RunWith(fake, c.arguments), c.exitCode);
    EXPECT_EQ(fake.PlatformCalls(), kAcquireThenRelease);
    EXPECT_EQ(fake.Output(), c.accepted);
}

const RefusedOutputCase kRefusedOutputCases[] = {
    {"UsageRefusedAtOnce", Kernel::Wow64, {}, ExitCode::NoArguments, 0, ""},
    {"HelpRefusedAfterOneLine", Kernel::Wow64, {"/?"}, ExitCode::HelpShown, 65, help.substr(0, 65)},
    {"HelpRefusedMidLine", Kernel::Wow64, {"/?"}, ExitCode::HelpShown, 100, help.substr(0, 100)},
    {"NotWow64RefusedMidLine",
     Kernel::NoDisable,
     {"msg"},
     ExitCode::RedirectionUnavailable,
     5,
     notWow64.substr(0, 5)},
};

INSTANTIATE_TEST_SUITE_P(Paths, RefusedOutputTest, ::testing::ValuesIn(kRefusedOutputCases),
                         testing::CaseName());

}  // namespace
}  // namespace trunpax
