// Switches WOW64 file-system redirection off and back on for the calling
// thread, through two kernel32.dll functions found by name at run time.
//
// The functions are looked up rather than imported so that the program still
// starts on a system that lacks them; there it reports them unavailable.
#pragma once

#include "platform/platform.h"

namespace trunpax {

inline constexpr const char* kKernelLibraryName = "kernel32.dll";
inline constexpr const char* kDisableOperationName = "Wow64DisableWow64FsRedirection";
inline constexpr const char* kRevertOperationName = "Wow64RevertWow64FsRedirection";

class RedirectionControl {
public:
    explicit RedirectionControl(const Platform& platform) : platform_(platform) {}

    // Loads kernel32.dll and looks up the disable operation, then the revert
    // operation. Both lookups are made whatever the load gave.
    void Acquire();
    // Whether redirection can be switched off: the disable operation exists.
    bool IsAvailable() const;
    // Switches redirection off and keeps the prior state.
    void Disable();
    // Switches redirection back with the kept state. Skipped when the revert
    // operation is missing, or when the disable operation reported failure
    // and so stored nothing worth handing back.
    void Revert();
    // Gives the library handle back, whatever the load gave.
    void Release();

private:
    const Platform& platform_;
    ModuleHandle library_ = nullptr;
    ProcAddress disableOperation_ = nullptr;
    ProcAddress revertOperation_ = nullptr;
    RedirectionState savedState_ = nullptr;
    bool disabled_ = false;
};

}  // namespace trunpax
