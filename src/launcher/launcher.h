// The launcher: picks usage, help or a run from the arguments, and on a run
// hands one command line to the command interpreter with WOW64 file-system
// redirection switched off.
#pragma once

#include <string>

#include "platform/platform.h"

namespace trunpax {

enum class ExitCode : int {
    Ran = 0,
    NoArguments = 1,
    HelpShown = 2,
    RedirectionUnavailable = 3,
};

inline constexpr const char* kHelpSwitch = "/?";

// The command line starts as an exact copy of the first argument.
std::string BuildCommandLine(const char* firstArgument);

// Appends one blank and the second argument, when there is one. Nothing is
// quoted, escaped or trimmed, and later arguments are never read.
void CompleteCommandLine(std::string& commandLine, int argc, const char* const argv[]);

// Hands the line to the command interpreter and waits for it to end. Its
// result is dropped: exit code 0 only says the line was handed over.
void RunCommandLine(const std::string& commandLine, const Platform& platform);

// The whole program after its arguments are split: argv[0] is the program
// name, argv[1] the help switch or the command, argv[2] its parameters.
ExitCode RunLauncher(int argc, const char* const argv[], const Platform& platform);

}  // namespace trunpax
