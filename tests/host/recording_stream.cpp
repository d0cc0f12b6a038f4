#include "recording_stream.h"

#include <sys/types.h>
#include <cerrno>

namespace trunpax::testing {
namespace {

ssize_t WriteToRecorder(void* cookie, const char* bytes, std::size_t size) {
    auto& recorder = *static_cast<RecordingStream*>(cookie);
    ++recorder.attempts;
    const std::size_t accepted = size < recorder.budget ? size : recorder.budget;
    recorder.budget -= accepted;
    if (accepted > 0) {
        recorder.writes.emplace_back(bytes, accepted);
        if (recorder.onWrite) {
            recorder.onWrite(recorder.writes.back());
        }
    }
    if (accepted < size) {
        errno = ENOSPC;
        return accepted == 0 ? -1 : static_cast<ssize_t>(accepted);
    }
    return static_cast<ssize_t>(size);
}

}  // namespace

std::FILE* RecordingStream::Open() {
    cookie_io_functions_t functions{};
    functions.write = WriteToRecorder;
    std::FILE* stream = fopencookie(this, "w", functions);
    // Full buffering, with room for any line: bytes reach the recorder only
    // when the writer flushes, so each recorded write is one flush.
    std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
    return stream;
}

std::string RecordingStream::Accepted() const {
    std::string all;
    for (const std::string& write : writes) {
        all += write;
    }
    return all;
}

}  // namespace trunpax::testing
