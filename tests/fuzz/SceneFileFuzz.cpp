// Scene files: any bytes, refused with a message or read into a scene that checks out and that
// writes and reads back to the bit.
#include "DocumentFuzz.h"
#include "SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SceneDocument sentinel;
    sentinel.scene.gridSize = 200;
    sentinel.display.hueA = 7;
    return fuzzDocument<SceneFile>(data, size, sentinel,
                                   [](const SceneDocument& d) { return sceneProblem(d.scene); });
}
