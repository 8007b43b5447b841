// Reads arbitrary bytes as a bitmap through every reader (stream, file,
// display section for 24- and 8-bit displays, picture window): an accepted
// bitmap has rows for its whole picture, every pixel can be read and drawn,
// and it writes and compresses back without reading outside its rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mapdata/dib.h"
#include "mapdata/picture_dib.h"
#include "platform/message_box.h"

namespace {

using fuzz::Check;

class QuietSink final : public platform::MessageBoxSink {
  public:
    int Show(void*, std::wstring_view, std::wstring_view, unsigned style) override {
        return platform::DefaultAnswer(style);
    }
};

void Exercise(mapdata::CDib& dib) {
    if (dib.Empty() || dib.Bits() == nullptr) return;
    const auto size = dib.GetSize();
    Check(size.width > 0 && size.width <= mapdata::kMaxSide);
    Check(std::abs(size.height) <= mapdata::kMaxSide);
    const int height = std::abs(size.height);
    for (int y = 0; y < height; y += 1 + height / 8)
        for (int x = 0; x < size.width; x += 1 + size.width / 8) (void)dib.GetPixelColour(x, y);
    if (static_cast<long>(size.width) * height <= 1 << 16) (void)dib.ToImage();
    std::ostringstream out;
    dib.WriteStream(out);
    std::ostringstream part;
    dib.WritePart(part, {1, 1, size.width / 2 + 1, height / 2 + 1});
    mapdata::CDib copy;
    copy.CopyFrom(dib);
    if (copy.Compress(true)) Check(copy.Compress(false));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = platform::SetMessageBoxSink(std::make_shared<QuietSink>());
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(bytes);
        mapdata::CDib dib;
        if (dib.ReadStream(in)) Exercise(dib);
    }
    const fuzz::MemoryFile file(data, size);
    const std::string path = "/proc/self/fd/" + std::to_string(file.fd());
    mapdata::CDib dib;
    if (dib.LoadFromFile(path)) Exercise(dib);
    if (dib.ReadSection(path, mapdata::DisplayDevice{}, false)) Exercise(dib);
    if (dib.ReadSection(path, mapdata::DisplayDevice{8, 96, 96}, false)) Exercise(dib);
    mapdata::CCeDib picture;
    if (picture.ReadSection(path, mapdata::DisplayDevice{8, 96, 96})) Exercise(picture.Dib());
    return 0;
}
