// A platform without kernel32.dll, such as the Linux host the tests run on.
//
// No library is loaded and no function is found, so redirection is reported
// unavailable and a run ends on the not-WOW64 path. Standard output has no
// text mode here, so line breaks are written as CR LF explicitly and the
// bytes match the Windows build.
#include <csignal>
#include <cstdlib>

#include "platform/platform.h"

namespace trunpax {
namespace {

ModuleHandle LoadSystemLibrary(const char* /*name*/) { return nullptr; }

ProcAddress FindLibraryFunction(ModuleHandle /*module*/, const char* /*name*/) { return nullptr; }

void FreeSystemLibrary(ModuleHandle /*module*/) {}

// Never reached: the disable operation is never found here.
bool CallDisable(ProcAddress /*address*/, RedirectionState* /*state*/) { return false; }

void CallRevert(ProcAddress /*address*/, RedirectionState /*state*/) {}

int RunSystem(const char* commandLine) { return std::system(commandLine); }

}  // namespace

Platform SystemPlatform() {
    // A reader that leaves early must make the write fail, as it does on
    // Windows, rather than kill the process and change its exit code.
    std::signal(SIGPIPE, SIG_IGN);
    return Platform{
        .loadLibrary = LoadSystemLibrary,
        .getProcAddress = FindLibraryFunction,
        .freeLibrary = FreeSystemLibrary,
        .callDisable = CallDisable,
        .callRevert = CallRevert,
        .runSystem = RunSystem,
        .output = stdout,
        .lineBreak = "\r\n",
        .rawCommandLine = nullptr,
        .isLeadByte = nullptr,
    };
}

}  // namespace trunpax
