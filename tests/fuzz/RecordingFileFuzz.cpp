// Recording files: any bytes, refused with a message or read into a recording that checks out
// and that writes and reads back to the bit.
#include "DocumentFuzz.h"
#include "RecordingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RecordingDocument sentinel;
    sentinel.recording.startPaused = true;
    sentinel.recording.operations.resize(2);
    return fuzzDocument<RecordingFile>(data, size, sentinel, [](const RecordingDocument& d) {
        return recordingProblem(d.recording);
    });
}
