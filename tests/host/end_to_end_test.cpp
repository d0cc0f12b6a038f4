// The host build of the program as a real process: exact bytes on standard
// output, exit codes, and silence on standard error when output fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "expected_texts.h"

extern char** environ;

namespace {

enum class Output { File, Pipe, Closed, Full };

struct Result {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string TempPath(const char* what) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "_" + test->name() + "_" + what;
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return ::testing::TempDir() + "trunpax_" + name;
}

Result RunProgram(const std::vector<std::string>& arguments, Output output) {
    std::vector<char*> argv;
    std::string program = TRUNPAX_HOST_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const std::string outPath = TempPath("out");
    const std::string errPath = TempPath("err");
    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    switch (output) {
        case Output::File:
            posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
            break;
        case Output::Pipe:
            EXPECT_EQ(pipe(pipeEnds), 0);
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
            posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
            posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
            break;
        case Output::Closed:
            posix_spawn_file_actions_addclose(&actions, 1);
            break;
        case Output::Full:
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
            break;
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    Result result;
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0) << "cannot start " << argv[0];
    if (output == Output::Pipe) {
        close(pipeEnds[1]);
        char buffer[4096];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
            result.output.append(buffer, static_cast<std::size_t>(n));
        }
        close(pipeEnds[0]);
    }
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    if (output == Output::File) {
        result.output = ReadFile(outPath);
    }
    result.errors = ReadFile(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

struct PathCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitCode;
    std::string output;
};

const PathCase kPathCases[] = {
    {"NoArguments", {}, 1, trunpax::testing::ExpectedUsage()},
    {"HelpSwitch", {"/?"}, 2, trunpax::testing::ExpectedHelp()},
    {"HelpSwitchWithMore", {"/?", "msg", "x"}, 2, trunpax::testing::ExpectedHelp()},
    {"CommandWithoutWow64", {"msg", "0 Hello world!"}, 3, trunpax::testing::ExpectedNotWow64()},
    {"EmptyCommandWithoutWow64", {""}, 3, trunpax::testing::ExpectedNotWow64()},
};

struct EndToEndCase {
    PathCase path;
    Output output;
};

class EndToEndTest : public ::testing::TestWithParam<EndToEndCase> {};

TEST_P(EndToEndTest, ExitCodeAndBytes) {
    const auto& [path, output] = GetParam();
    const Result result = RunProgram(path.arguments, output);
    EXPECT_EQ(result.exitCode, path.exitCode);
    EXPECT_EQ(result.errors, "") << "nothing ever goes to standard error";
    if (output == Output::File || output == Output::Pipe) {
        EXPECT_EQ(result.output, path.output);
    }
}

std::vector<EndToEndCase> AllCases() {
    std::vector<EndToEndCase> cases;
    for (const PathCase& path : kPathCases) {
        for (Output output : {Output::File, Output::Pipe, Output::Closed, Output::Full}) {
            cases.push_back({path, output});
        }
    }
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<EndToEndCase>& info) {
    static const char* const kOutputNames[] = {"ToFile", "ToPipe", "Closed", "ToDevFull"};
    return std::string(info.param.path.name) + "_" +
           kOutputNames[static_cast<int>(info.param.output)];
}

INSTANTIATE_TEST_SUITE_P(Paths, EndToEndTest, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
