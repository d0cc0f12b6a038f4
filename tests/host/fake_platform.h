// A recording stand-in for the platform, so tests can assert which platform
// calls the launcher makes, in which order, and with which values.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace trunpax::testing {

// Sentinel values: distinct addresses that are only ever compared, never
// called or dereferenced.
inline void FakeDisableOperation() {}
inline void FakeRevertOperation() {}
inline char fakeKernelModule;
inline char fakePriorState;
inline const ProcAddress kFakeDisable = &FakeDisableOperation;
inline const ProcAddress kFakeRevert = &FakeRevertOperation;
inline const ModuleHandle kFakeKernel = &fakeKernelModule;
inline const RedirectionState kFakePriorState = &fakePriorState;

// What the fake platform answers, and everything it was asked, as one log.
// Only one fake exists at a time: its calls have no context pointer, so the
// fake functions find it through a pointer the constructor sets.
struct FakePlatform {
    // Answers.
    ModuleHandle libraryHandle = kFakeKernel;
    bool hasDisable = true;
    bool hasRevert = true;
    bool disableSucceeds = true;
    RedirectionState stateToStore = kFakePriorState;
    // Bytes the output stream accepts before it refuses the rest.
    std::size_t outputBudget = static_cast<std::size_t>(-1);

    // The log, one entry a call, such as "load kernel32.dll",
    // "find Wow64DisableWow64FsRedirection", "disable", "system msg 0",
    // "revert", "free", "output <bytes of one flush>".
    std::vector<std::string> calls;
    std::vector<RedirectionState> revertArguments;
    std::vector<ModuleHandle> freeArguments;
    std::vector<ProcAddress> disableAddresses;
    std::vector<ProcAddress> revertAddresses;

    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // The platform to hand the code under test. Its output stream logs each
    // flush as one "output" entry, with CR LF line breaks.
    Platform Make();
    // Everything written to the output stream.
    std::string Output() const;
    // Only the names of the calls, output entries left out.
    std::vector<std::string> PlatformCalls() const;

private:
    std::FILE* output_ = nullptr;
};

}  // namespace trunpax::testing
