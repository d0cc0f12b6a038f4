// Trunpax.exe: runs one command line through the command interpreter with
// WOW64 file-system redirection switched off, so that a 32-bit caller reaches
// the 64-bit system directory.
#include <string>
#include <vector>

#include "launcher/argument_splitting.h"
#include "launcher/launcher.h"
#include "platform/platform.h"

int main(int argc, char* argv[]) {
    const trunpax::Platform platform = trunpax::SystemPlatform();
    if (platform.rawCommandLine == nullptr) {
        return static_cast<int>(trunpax::RunLauncher(argc, argv, platform));
    }

    const std::vector<std::string> arguments =
        trunpax::SplitCommandLine(platform.rawCommandLine, platform.isLeadByte);
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    pointers.push_back(nullptr);
    return static_cast<int>(
        trunpax::RunLauncher(static_cast<int>(arguments.size()), pointers.data(), platform));
}
