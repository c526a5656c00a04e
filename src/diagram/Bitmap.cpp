#include "diagram/Bitmap.h"

#include "util/Errors.h"
#include "util/TextFile.h"

#include <algorithm>
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

namespace {

// Products of two coordinate differences of any int coordinates.
__extension__ using Wide = __int128;

// Rounds a / b up, for b > 0 and a of either sign.
Wide CeilDiv(Wide a, Wide b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

} // namespace

void Bitmap::DrawLine(int x1, int y1, int x2, int y2, Rgb colour, int width) {
    if (width < 1)
        width = 1;
    const long long dx = std::abs(static_cast<long long>(x2) - x1);
    const long long dy = std::abs(static_cast<long long>(y2) - y1);
    const bool mostlyHorizontal = dx >= dy;
    // Skip what cannot touch the picture (coordinates come from description files).
    const int pad = width;
    if ((x1 < -pad && x2 < -pad) || (y1 < -pad && y2 < -pad) ||
        (x1 >= width_ + pad && x2 >= width_ + pad) || (y1 >= height_ + pad && y2 >= height_ + pad))
        return;
    const std::uint32_t packed = Pack(colour);
    const int firstOffset = -(width / 2);
    // The segment steps once along its major axis per point, and along the minor axis
    // whenever its error term says so. Points whose major coordinate lies outside the
    // picture draw nothing, so the walk starts at the first point inside and stops after the
    // last one; the minor coordinate after n steps has a closed form, so the clipped walk
    // visits exactly the pixels the whole walk would.
    const long long major = mostlyHorizontal ? dx : dy;
    const long long minor = mostlyHorizontal ? dy : dx;
    const long long majorStart = mostlyHorizontal ? x1 : y1;
    const long long minorStart = mostlyHorizontal ? y1 : x1;
    const int majorStep = (mostlyHorizontal ? x1 < x2 : y1 < y2) ? 1 : -1;
    const int minorStep = (mostlyHorizontal ? y1 < y2 : x1 < x2) ? 1 : -1;
    const long long majorSize = mostlyHorizontal ? width_ : height_;
    const long long minorSize = mostlyHorizontal ? height_ : width_;
    // Steps n in [first, last] have their major coordinate inside 0..majorSize-1.
    long long first = 0;
    long long last = major;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorSize - 1 - majorStart);
    } else {
        first = std::max(first, majorStart - (majorSize - 1));
        last = std::min(last, majorStart);
    }
    if (first > last)
        return;
    // Minor steps taken before step n.
    const Wide steps = major == 0 ? 0 : CeilDiv(2 * Wide{first} * minor - major, 2 * Wide{major});
    // Twice the error term before the first drawn step, in the major axis's terms; it stays
    // within 2 * major of zero.
    long long twiceError = static_cast<long long>(2 * Wide{major} - 2 * Wide{minor} -
                                                  2 * Wide{first} * minor + 2 * steps * major);
    long long m = majorStart + majorStep * first;
    auto k = static_cast<long long>(minorStart + minorStep * steps);
    for (long long n = first; n <= last; ++n) {
        for (int w = 0; w < width; ++w) {
            const long long across = k + firstOffset + w;
            if (across < 0 || across >= minorSize)
                continue;
            const std::size_t at =
                mostlyHorizontal
                    ? static_cast<std::size_t>(across) * static_cast<std::size_t>(width_) +
                          static_cast<std::size_t>(m)
                    : static_cast<std::size_t>(m) * static_cast<std::size_t>(width_) +
                          static_cast<std::size_t>(across);
            pixels_[at] = packed;
        }
        // Once the minor coordinate has left the picture on its far side it never returns.
        if ((minorStep > 0 && k + firstOffset >= minorSize) ||
            (minorStep < 0 && k + firstOffset + width - 1 < 0))
            break;
        if (twiceError < major) {
            twiceError += 2 * major;
            k += minorStep;
        }
        twiceError -= 2 * minor;
        m += majorStep;
    }
}

namespace {

// What the header of a bitmap file says about its pixels, checked against the file's size.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    std::uint32_t bitCount = 0;
    bool masked = false; // 16 or 32 bits with explicit channel masks
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t dataOffset = 0;
    std::size_t stride = 0;
    std::vector<std::uint32_t> palette; // packed colours, always 1 << bitCount entries
};

// `b` holds the first bytes of a file of `fileSize` bytes: the headers and palette are read
// from it, the pixel rows only have to fit in the file. When a header or the palette lies
// beyond `b` but inside the file, the answer is NeedsMore.
Bitmap::Validity ReadLayout(std::string_view b, std::size_t fileSize, Layout& out) {
    using V = Bitmap::Validity;
    V refused = V::Invalid;
    // Whether the first n bytes are at hand; when they are not but the file has them, more
    // of the file is needed.
    auto has = [&](std::size_t n) {
        if (n <= b.size())
            return true;
        if (n <= fileSize)
            refused = V::NeedsMore;
        return false;
    };
    if (!has(26))
        return refused;
    if (b[0] != 'B' || b[1] != 'M')
        return V::Invalid;
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
    } else if (headerSize >= 40 && has(14 + 40)) {
        width = static_cast<std::int32_t>(U32(b, 18));
        height = static_cast<std::int32_t>(U32(b, 22));
        bitCount = U16(b, 28);
        compression = U32(b, 30);
        paletteEntries = U32(b, 46);
    } else {
        return refused;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels)
        return V::Invalid;
    std::uint32_t rMask = 0, gMask = 0, bMask = 0;
    bool masked = false;
    if (compression == 3 && (bitCount == 16 || bitCount == 32)) {
        // Masks follow a 40-byte header, or lie inside a longer one.
        if (!has(14 + 40 + 12))
            return refused;
        rMask = U32(b, 54);
        gMask = U32(b, 58);
        bMask = U32(b, 62);
        masked = true;
    } else if (compression != 0) {
        return V::Invalid;
    } else if (bitCount == 16) {
        rMask = 0x7C00;
        gMask = 0x03E0;
        bMask = 0x001F;
        masked = true;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return V::Invalid;
    out.palette.clear();
    if (bitCount <= 8) {
        const std::uint32_t maxEntries = 1u << bitCount;
        std::uint32_t entries = paletteEntries == 0 ? maxEntries : paletteEntries;
        if (entries > maxEntries)
            entries = maxEntries;
        const std::size_t at = 14 + headerSize;
        if (!has(at + entries * paletteEntrySize))
            return refused;
        // Indices past the stored entries read as black.
        out.palette.assign(maxEntries, 0);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::size_t p = at + i * paletteEntrySize;
            out.palette[i] =
                Pack({static_cast<std::uint8_t>(b[p + 2]), static_cast<std::uint8_t>(b[p + 1]),
                      static_cast<std::uint8_t>(b[p])});
        }
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    if (dataOffset > fileSize || stride * static_cast<std::size_t>(height) > fileSize - dataOffset)
        return V::Invalid;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.topDown = topDown;
    out.bitCount = bitCount;
    out.masked = masked;
    out.masks[0] = rMask;
    out.masks[1] = gMask;
    out.masks[2] = bMask;
    out.dataOffset = dataOffset;
    out.stride = stride;
    return V::Valid;
}

// A channel selected by a bit mask, scaled to 0..255: the value table of one channel is
// built once, so a pixel costs a shift and a look-up per channel.
class MaskedChannel {
public:
    explicit MaskedChannel(std::uint32_t mask) : mask_(mask) {
        if (mask_ == 0)
            return;
        while (((mask_ >> shift_) & 1u) == 0)
            ++shift_;
        bits_ = mask_ >> shift_;
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (bits_ == 0)
            return 0;
        const std::uint32_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint32_t>(std::uint64_t{value} * 255u / bits_);
    }

private:
    std::uint32_t mask_;
    int shift_ = 0;
    std::uint32_t bits_ = 0;
};

// Decodes every row of a checked layout into width * height packed pixels, top row first.
// ReadLayout has checked that every row lies inside the bytes, so rows read freely.
void DecodeRows(std::string_view b, const Layout& l, std::uint32_t* pixels) {
    const auto width = static_cast<std::size_t>(l.width);
    for (int row = 0; row < l.height; ++row) {
        const auto* in = reinterpret_cast<const unsigned char*>(b.data()) + l.dataOffset +
                         l.stride * static_cast<std::size_t>(l.topDown ? row : l.height - 1 - row);
        std::uint32_t* out = pixels + width * static_cast<std::size_t>(row);
        switch (l.bitCount) {
        case 1:
            for (std::size_t x = 0; x < width; ++x)
                out[x] = l.palette[(in[x >> 3] >> (7 - (x & 7))) & 1u];
            break;
        case 4:
            for (std::size_t x = 0; x < width; ++x)
                out[x] = l.palette[(in[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xFu];
            break;
        case 8:
            for (std::size_t x = 0; x < width; ++x)
                out[x] = l.palette[in[x]];
            break;
        case 24:
            for (std::size_t x = 0; x < width; ++x, in += 3)
                out[x] = std::uint32_t{in[2]} << 16 | std::uint32_t{in[1]} << 8 | in[0];
            break;
        case 32:
            if (!l.masked) {
                for (std::size_t x = 0; x < width; ++x, in += 4)
                    out[x] = std::uint32_t{in[2]} << 16 | std::uint32_t{in[1]} << 8 | in[0];
                break;
            }
            [[fallthrough]];
        default: {
            const MaskedChannel r(l.masks[0]), g(l.masks[1]), bl(l.masks[2]);
            const std::size_t bytes = l.bitCount / 8;
            for (std::size_t x = 0; x < width; ++x, in += bytes) {
                std::uint32_t v = std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8;
                if (bytes == 4)
                    v |= std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
                out[x] = r(v) << 16 | g(v) << 8 | bl(v);
            }
            break;
        }
        }
    }
}

} // namespace

Bitmap::Validity Bitmap::CheckHead(std::string_view head, std::size_t fileSize, int& width,
                                   int& height) {
    Layout layout;
    const Validity v = ReadLayout(head, std::max(fileSize, head.size()), layout);
    if (v == Validity::Valid) {
        width = layout.width;
        height = layout.height;
    }
    return v;
}

bool Bitmap::Check(std::string_view bytes, int& width, int& height) {
    return CheckHead(bytes, bytes.size(), width, height) == Validity::Valid;
}

bool Bitmap::Decode(std::string_view b, Bitmap& out) {
    Layout layout;
    if (ReadLayout(b, b.size(), layout) != Validity::Valid)
        return false;
    Bitmap bmp;
    bmp.width_ = layout.width;
    bmp.height_ = layout.height;
    bmp.pixels_.resize(static_cast<std::size_t>(layout.width) *
                       static_cast<std::size_t>(layout.height));
    DecodeRows(b, layout, bmp.pixels_.data());
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
