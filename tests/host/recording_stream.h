// A stdio stream over a test's own buffer. It records each write that
// reaches it (with full buffering, one per flush) and can refuse all bytes
// past a budget, the way a full disk or a closed pipe does.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace trunpax::testing {

struct RecordingStream {
    // Each write the stream received: the boundaries of its flushes.
    std::vector<std::string> writes;
    // Every write the stream was offered, refused ones included.
    std::size_t attempts = 0;
    // Bytes accepted before every further byte is refused.
    std::size_t budget = std::numeric_limits<std::size_t>::max();
    // Called for each write that is accepted, whole or in part.
    std::function<void(const std::string&)> onWrite;

    // Opens a fully buffered stream over this recorder. Close it with fclose.
    std::FILE* Open();
    std::string Accepted() const;
};

}  // namespace trunpax::testing
