// Arbitrary files through the PNG loader that velt print reads its pages with. A file it accepts
// gives a picture in the engine's layout; one it refuses says why; none is read or written out of
// bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "png_picture.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

const std::string& InputPath() {
    static const std::string path = "/tmp/velt-fuzz-png-" + std::to_string(getpid()) + ".png";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    Require(file != nullptr);
    Require(std::fwrite(data, 1, size, file) == size);
    Require(std::fclose(file) == 0);
    HostPicture picture;
    std::string error;
    if (!picture::LoadPng(InputPath(), &picture, &error)) {
        Require(!error.empty());
        return 0;
    }
    Require(picture.width > 0 && picture.height > 0);
    Require(picture.stride >= picture.width * 3 && picture.stride % 4 == 0);
    Require(picture.pixels.size() == static_cast<size_t>(picture.stride) * static_cast<size_t>(picture.height));
    return 0;
}
