// The Windows platform: kernel32's loader, the two WOW64 redirection
// functions called through their looked-up addresses, the C runtime's system
// and standard output in text mode.
#include <windows.h>

#include <cstdlib>

#include "platform/platform.h"

namespace trunpax {
namespace {

// Declared exactly as the platform declares the two functions. On 32-bit x86
// WINAPI is stdcall: the callee pops its argument, so a pointer declared
// without it would leave the stack unbalanced after every call.
using DisableFunction = BOOL(WINAPI*)(PVOID*);
using RevertFunction = BOOL(WINAPI*)(PVOID);

ModuleHandle LoadSystemLibrary(const char* name) { return LoadLibraryA(name); }

ProcAddress FindLibraryFunction(ModuleHandle module, const char* name) {
    return reinterpret_cast<ProcAddress>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void FreeSystemLibrary(ModuleHandle module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool CallDisable(ProcAddress address, RedirectionState* state) {
    return reinterpret_cast<DisableFunction>(address)(state) != FALSE;
}

void CallRevert(ProcAddress address, RedirectionState state) {
    reinterpret_cast<RevertFunction>(address)(state);
}

int RunSystem(const char* commandLine) { return std::system(commandLine); }

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

Platform SystemPlatform() {
    return Platform{
        .loadLibrary = LoadSystemLibrary,
        .getProcAddress = FindLibraryFunction,
        .freeLibrary = FreeSystemLibrary,
        .callDisable = CallDisable,
        .callRevert = CallRevert,
        .runSystem = RunSystem,
        .output = stdout,
        .lineBreak = "\n",
        .rawCommandLine = GetCommandLineA(),
        .isLeadByte = IsLeadByte,
    };
}

}  // namespace trunpax
