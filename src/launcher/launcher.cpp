#include "launcher/launcher.h"

#include "launcher/console_texts.h"
#include "platform/redirection_control.h"

namespace trunpax {
namespace {

// Everything between acquiring the redirection control and releasing it. The
// command line lives only in here, so it is always gone before the library
// handle is given back.
ExitCode ChoosePath(int argc, const char* const argv[], const Platform& platform,
                    RedirectionControl& redirection) {
    const ConsoleWriter console{platform.output, platform.lineBreak};
    if (argc < 2) {
        console.WriteText(UsageText);
        return ExitCode::NoArguments;
    }

    std::string commandLine = BuildCommandLine(argv[1]);
    if (commandLine == kHelpSwitch) {
        console.WriteText(HelpText);
        return ExitCode::HelpShown;
    }
    if (!redirection.IsAvailable()) {
        console.WriteText(NotWow64Text);
        return ExitCode::RedirectionUnavailable;
    }

    redirection.Disable();
    CompleteCommandLine(commandLine, argc, argv);
    RunCommandLine(commandLine, platform);
    redirection.Revert();
    return ExitCode::Ran;
}

}  // namespace

std::string BuildCommandLine(const char* firstArgument) { return {firstArgument}; }

void CompleteCommandLine(std::string& commandLine, int argc, const char* const argv[]) {
    if (argc > 2) {
        commandLine.push_back(' ');
        commandLine.append(argv[2]);
    }
}

void RunCommandLine(const std::string& commandLine, const Platform& platform) {
    // c_str() is never null, so an empty line reaches the interpreter as an
    // empty command instead of turning into an "is there an interpreter" query.
    platform.runSystem(commandLine.c_str());
}

ExitCode RunLauncher(int argc, const char* const argv[], const Platform& platform) {
    RedirectionControl redirection(platform);
    redirection.Acquire();
    const ExitCode result = ChoosePath(argc, argv, platform, redirection);
    redirection.Release();
    return result;
}

}  // namespace trunpax
