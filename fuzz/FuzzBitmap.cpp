// The bitmap decoder, followed by what the program does with a decoded picture: marks drawn
// into it, and the encoding that the screenshots and tests write. A decoded picture must
// survive encoding and decoding again pixel for pixel.

#include "diagram/Bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int Coordinate(std::string_view bytes, std::size_t at) {
    if (bytes.size() < at + 2)
        return 0;
    // Signed, so that segments also start and end outside the picture.
    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quorvel::Bitmap picture;
    if (!quorvel::Bitmap::Decode(bytes, picture))
        return 0;
    // Large pictures are decoded, but drawing and encoding them would only slow the search.
    if (static_cast<long long>(picture.Width()) * picture.Height() > 1 << 20)
        return 0;
    // The last bytes of the input choose a segment, as the diagram's lines would.
    const std::size_t tail = size >= 9 ? size - 9 : 0;
    const int width = size >= 9 ? bytes[tail + 8] % 5 : 1;
    picture.DrawLine(Coordinate(bytes, tail), Coordinate(bytes, tail + 2),
                     Coordinate(bytes, tail + 4), Coordinate(bytes, tail + 6), {255, 0, 0}, width);
    const std::string encoded = picture.EncodeBmp();
    quorvel::Bitmap again;
    if (!quorvel::Bitmap::Decode(encoded, again) || again.Width() != picture.Width() ||
        again.Height() != picture.Height())
        std::abort();
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (!(again.Pixel(x, y) == picture.Pixel(x, y)))
                std::abort();
    return 0;
}
