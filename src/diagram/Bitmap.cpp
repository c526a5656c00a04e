#include "diagram/Bitmap.h"

#include "util/Errors.h"
#include "util/TextFile.h"

#include <cstdlib>

namespace quorvel {

namespace {

constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxSide = 32767;

std::uint32_t Pack(Rgb c) {
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

Rgb Unpack(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

std::uint32_t U16(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

std::uint32_t U32(std::string_view b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// Extracts a channel selected by a bit mask and scales it to 0..255.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const std::uint32_t bits = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(std::uint64_t{value} * 255u / bits);
}

void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

Bitmap::Bitmap(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Pack(fill)) {}

Rgb Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return kBlack;
    return Unpack(pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                          static_cast<std::size_t>(x)]);
}

void Bitmap::SetPixel(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = Pack(colour);
}

void Bitmap::DrawLine(int x1, int y1, int x2, int y2, Rgb colour, int width) {
    if (width < 1)
        width = 1;
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const bool mostlyHorizontal = dx >= dy;
    // Skip what cannot touch the picture (coordinates come from description files).
    const int pad = width;
    if ((x1 < -pad && x2 < -pad) || (y1 < -pad && y2 < -pad) ||
        (x1 >= width_ + pad && x2 >= width_ + pad) || (y1 >= height_ + pad && y2 >= height_ + pad))
        return;
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx - dy;
    int x = x1;
    int y = y1;
    const int firstOffset = -(width / 2);
    for (;;) {
        for (int k = 0; k < width; ++k) {
            if (mostlyHorizontal)
                SetPixel(x, y + firstOffset + k, colour);
            else
                SetPixel(x + firstOffset + k, y, colour);
        }
        if (x == x2 && y == y2)
            break;
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

bool Bitmap::Decode(std::string_view b, Bitmap& out) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        return false;
    const std::uint32_t dataOffset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    long long width = 0;
    long long height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t paletteEntries = 0;
    std::size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = static_cast<std::int16_t>(U16(b, 20));
        bitCount = U16(b, 24);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && b.size() >= 14 + 40) {
        width = static_cast<std::int32_t>(U32(b, 18));
        height = static_cast<std::int32_t>(U32(b, 22));
        bitCount = U16(b, 28);
        compression = U32(b, 30);
        paletteEntries = U32(b, 46);
    } else {
        return false;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels)
        return false;
    std::uint32_t rMask = 0, gMask = 0, bMask = 0;
    if (compression == 3 && (bitCount == 16 || bitCount == 32)) {
        // Masks follow a 40-byte header, or lie inside a longer one.
        if (b.size() < 14 + 40 + 12)
            return false;
        rMask = U32(b, 54);
        gMask = U32(b, 58);
        bMask = U32(b, 62);
    } else if (compression != 0) {
        return false;
    } else if (bitCount == 16) {
        rMask = 0x7C00;
        gMask = 0x03E0;
        bMask = 0x001F;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    std::vector<Rgb> palette;
    if (bitCount <= 8) {
        const std::uint32_t maxEntries = 1u << bitCount;
        std::uint32_t entries = paletteEntries == 0 ? maxEntries : paletteEntries;
        if (entries > maxEntries)
            entries = maxEntries;
        const std::size_t at = 14 + headerSize;
        if (at + entries * paletteEntrySize > b.size())
            return false;
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::size_t p = at + i * paletteEntrySize;
            palette.push_back({static_cast<std::uint8_t>(b[p + 2]),
                               static_cast<std::uint8_t>(b[p + 1]),
                               static_cast<std::uint8_t>(b[p])});
        }
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * static_cast<std::size_t>(height) > b.size() - dataOffset)
        return false;
    Bitmap bmp(static_cast<int>(width), static_cast<int>(height));
    for (long long row = 0; row < height; ++row) {
        const std::size_t rowStart =
            dataOffset + stride * static_cast<std::size_t>(topDown ? row : height - 1 - row);
        for (long long col = 0; col < width; ++col) {
            Rgb c;
            const auto ucol = static_cast<std::size_t>(col);
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bitPos = ucol * bitCount;
                const auto byte = static_cast<unsigned char>(b[rowStart + bitPos / 8]);
                const unsigned shift = 8 - bitCount - (bitPos % 8);
                const unsigned index = (byte >> shift) & ((1u << bitCount) - 1);
                c = index < palette.size() ? palette[index] : kBlack;
                break;
            }
            case 16: {
                const std::uint32_t v = U16(b, rowStart + ucol * 2);
                c = {Channel(v, rMask), Channel(v, gMask), Channel(v, bMask)};
                break;
            }
            case 24: {
                const std::size_t p = rowStart + ucol * 3;
                c = {static_cast<std::uint8_t>(b[p + 2]), static_cast<std::uint8_t>(b[p + 1]),
                     static_cast<std::uint8_t>(b[p])};
                break;
            }
            default: {
                const std::uint32_t v = U32(b, rowStart + ucol * 4);
                if (compression == 3)
                    c = {Channel(v, rMask), Channel(v, gMask), Channel(v, bMask)};
                else
                    c = Unpack(v);
                break;
            }
            }
            bmp.SetPixel(static_cast<int>(col), static_cast<int>(row), c);
        }
    }
    out = std::move(bmp);
    return true;
}

std::string Bitmap::EncodeBmp() const {
    const std::size_t stride = ((static_cast<std::size_t>(width_) * 3 + 3) / 4) * 4;
    const std::size_t imageSize = stride * static_cast<std::size_t>(height_);
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    PutLE(out, static_cast<std::uint32_t>(54 + imageSize), 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(width_), 4);
    PutLE(out, static_cast<std::uint32_t>(height_), 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    PutLE(out, 0, 4);
    PutLE(out, static_cast<std::uint32_t>(imageSize), 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int row = height_ - 1; row >= 0; --row) {
        std::size_t written = 0;
        for (int col = 0; col < width_; ++col) {
            const Rgb c = Pixel(col, row);
            out += static_cast<char>(c.b);
            out += static_cast<char>(c.g);
            out += static_cast<char>(c.r);
            written += 3;
        }
        for (; written < stride; ++written)
            out += '\0';
    }
    return out;
}

Bitmap LoadBitmapFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        throw FileError("Cannot open file \"" + path + "\"");
    Bitmap bmp;
    if (!Bitmap::Decode(bytes, bmp))
        throw FileError("Bitmap image is not valid");
    return bmp;
}

} // namespace quorvel
