#include "fake_platform.h"

#include <gtest/gtest.h>

#include "recording_stream.h"

namespace trunpax::testing {
namespace {

FakePlatform* current = nullptr;
// The output stream's recorder; one at a time, like the fake.
RecordingStream stream;

FakePlatform& Current() {
    EXPECT_NE(current, nullptr) << "a platform call with no fake in place";
    return *current;
}

ModuleHandle Load(const char* name) {
    Current().calls.push_back(std::string("load ") + name);
    return Current().libraryHandle;
}

ProcAddress Find(ModuleHandle module, const char* name) {
    FakePlatform& fake = Current();
    fake.calls.push_back(std::string("find ") + name);
    if (module != fake.libraryHandle || fake.libraryHandle == nullptr) {
        return nullptr;
    }
    const std::string wanted(name);
    if (wanted == "Wow64DisableWow64FsRedirection") {
        return fake.hasDisable ? kFakeDisable : nullptr;
    }
    if (wanted == "Wow64RevertWow64FsRedirection") {
        return fake.hasRevert ? kFakeRevert : nullptr;
    }
    return nullptr;
}

void Free(ModuleHandle module) {
    Current().calls.emplace_back("free");
    Current().freeArguments.push_back(module);
}

bool Disable(ProcAddress address, RedirectionState* state) {
    FakePlatform& fake = Current();
    fake.calls.emplace_back("disable");
    fake.disableAddresses.push_back(address);
    // A failing disable stores nothing, as the real one leaves the state
    // untouched when it fails.
    if (fake.disableSucceeds) {
        *state = fake.stateToStore;
    }
    return fake.disableSucceeds;
}

void Revert(ProcAddress address, RedirectionState state) {
    Current().calls.emplace_back("revert");
    Current().revertAddresses.push_back(address);
    Current().revertArguments.push_back(state);
}

int System(const char* commandLine) {
    Current().calls.push_back(std::string("system ") + (commandLine ? commandLine : "<null>"));
    return 0;
}

}  // namespace

FakePlatform::FakePlatform() {
    current = this;
    stream = RecordingStream{};
    stream.onWrite = [this](const std::string& bytes) { calls.push_back("output " + bytes); };
}

FakePlatform::~FakePlatform() {
    if (output_ != nullptr) {
        std::fclose(output_);
    }
    current = nullptr;
}

Platform FakePlatform::Make() {
    if (output_ == nullptr) {
        stream.budget = outputBudget;
        output_ = stream.Open();
    }
    return Platform{
        .loadLibrary = Load,
        .getProcAddress = Find,
        .freeLibrary = Free,
        .callDisable = Disable,
        .callRevert = Revert,
        .runSystem = System,
        .output = output_,
        .lineBreak = "\r\n",
        .rawCommandLine = nullptr,
        .isLeadByte = nullptr,
    };
}

std::string FakePlatform::Output() const { return stream.Accepted(); }

std::vector<std::string> FakePlatform::PlatformCalls() const {
    std::vector<std::string> names;
    for (const std::string& call : calls) {
        if (call.rfind("output ", 0) != 0) {
            names.push_back(call);
        }
    }
    return names;
}

}  // namespace trunpax::testing
