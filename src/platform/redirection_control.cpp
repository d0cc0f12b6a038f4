#include "platform/redirection_control.h"

namespace trunpax {

void RedirectionControl::Acquire() {
    library_ = platform_.loadLibrary(kKernelLibraryName);
    disableOperation_ = platform_.getProcAddress(library_, kDisableOperationName);
    revertOperation_ = platform_.getProcAddress(library_, kRevertOperationName);
}

bool RedirectionControl::IsAvailable() const { return disableOperation_ != nullptr; }

void RedirectionControl::Disable() {
    disabled_ = platform_.callDisable(disableOperation_, &savedState_);
}

void RedirectionControl::Revert() {
    if (revertOperation_ == nullptr || !disabled_) {
        return;
    }
    platform_.callRevert(revertOperation_, savedState_);
}

void RedirectionControl::Release() { platform_.freeLibrary(library_); }

}  // namespace trunpax
