// The command line must be released before the library handle is given back.
// The launcher frees it with the global operator delete, so this program
// replaces that operator to log the freeing of the very buffer that the
// command interpreter was handed, into the fake platform's own call log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "launcher/launcher.h"

namespace {
const void* watchedBuffer = nullptr;
trunpax::testing::FakePlatform* watchingFake = nullptr;
}  // namespace

void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    if (memory != nullptr && memory == watchedBuffer && watchingFake != nullptr) {
        watchedBuffer = nullptr;
        watchingFake->calls.emplace_back("release command line");
    }
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept { operator delete(memory); }

namespace trunpax {
namespace {

using testing::FakePlatform;

int (*forwardSystem)(const char*) = nullptr;

// Watches the buffer the interpreter is handed, then lets the fake log it.
int WatchingSystem(const char* line) {
    watchedBuffer = line;
    return forwardSystem(line);
}

TEST(CommandLineLifetimeTest, IsReleasedAfterRevertAndBeforeTheLibrary) {
    FakePlatform fake;
    Platform platform = fake.Make();
    forwardSystem = platform.runSystem;
    platform.runSystem = WatchingSystem;
    watchingFake = &fake;

    // Long enough that the line's storage is on the heap.
    const std::string command(200, 'c');
    const char* argv[] = {"Trunpax.exe", command.c_str(), "x", nullptr};
    const ExitCode result = RunLauncher(3, argv, platform);
    watchingFake = nullptr;

    EXPECT_EQ(result, ExitCode::Ran);
    EXPECT_EQ(fake.PlatformCalls(),
              (std::vector<std::string>{"load kernel32.dll", "find Wow64DisableWow64FsRedirection",
                                        "find Wow64RevertWow64FsRedirection", "disable",
                                        "system " + command + " x", "revert",
                                        "release command line", "free"}));
}

}  // namespace
}  // namespace trunpax
