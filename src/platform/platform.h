// The narrow seam between the launcher and the operating system.
//
// Everything the program needs from its platform is one value of this struct:
// library loading, the two calls through looked-up addresses, the command
// interpreter hand-off, and the output stream. The real build fills it from
// the one platform file it links; tests fill it with a recording fake, so the
// order of platform calls can be asserted on any machine.
#pragma once

#include <cstdio>

namespace trunpax {

// A loaded module, as the loader handed it out. Never dereferenced.
using ModuleHandle = void*;

// An address found by name in a module. Only ever called through the two
// call functions below, which cast it to the function type it really has.
using ProcAddress = void (*)();

// The prior redirection state the disable operation stores and the revert
// operation takes back. Pointer-sized and opaque: nothing here reads it.
using RedirectionState = void*;

struct Platform {
    // Loads a module by name. May give a null handle.
    ModuleHandle (*loadLibrary)(const char* name);
    // Looks a function up by name in a module. Null when it is not there.
    ProcAddress (*getProcAddress)(ModuleHandle module, const char* name);
    // Gives a module back. Called once, with whatever handle the load gave.
    void (*freeLibrary)(ModuleHandle module);
    // Calls the disable operation found at `address`, which stores the prior
    // state through `state`. Answers the operation's truth value.
    bool (*callDisable)(ProcAddress address, RedirectionState* state);
    // Calls the revert operation found at `address` with the stored state.
    void (*callRevert)(ProcAddress address, RedirectionState state);
    // Hands a command line to the command interpreter and waits for it.
    int (*runSystem)(const char* commandLine);

    // The process's narrow standard output stream.
    std::FILE* output;
    // What a line break is written as. Where the stream translates '\n' to
    // CR LF itself this is "\n"; where it has no text mode it is "\r\n".
    const char* lineBreak;

    // The raw process command line, for builds that split it themselves so
    // that every runtime gives the same arguments; null where the arguments
    // the runtime delivered to main are used as they are.
    const char* rawCommandLine;
    // Whether a byte opens a two-byte character in the system code page.
    bool (*isLeadByte)(unsigned char byte);
};

// The platform this build runs on, ready to use.
Platform SystemPlatform();

}  // namespace trunpax
