#include "diagram/Bitmap.h"

#include "TestSupport.h"
#include "util/Errors.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(Bitmap, EncodesAndDecodesItsOwnFiles) {
    Bitmap bmp(5, 3);
    bmp.SetPixel(0, 0, kRed);
    bmp.SetPixel(4, 2, kBlue);
    bmp.SetPixel(2, 1, {1, 2, 3});
    Bitmap back;
    ASSERT_TRUE(Bitmap::Decode(bmp.EncodeBmp(), back));
    ASSERT_EQ(back.Width(), 5);
    ASSERT_EQ(back.Height(), 3);
    EXPECT_EQ(back.Pixel(0, 0), kRed);
    EXPECT_EQ(back.Pixel(4, 2), kBlue);
    EXPECT_EQ(back.Pixel(2, 1), (Rgb{1, 2, 3}));
    EXPECT_EQ(back.Pixel(1, 1), (Rgb{255, 255, 255}));
}

TEST(Bitmap, DrawsLinesWithWidth) {
    Bitmap bmp(20, 20);
    bmp.DrawLine(3, 10, 12, 10, kRed, 2);
    for (int x = 3; x <= 12; ++x) {
        EXPECT_EQ(bmp.Pixel(x, 10), kRed) << x;
        EXPECT_EQ(bmp.Pixel(x, 9), kRed) << x;
        EXPECT_EQ(bmp.Pixel(x, 11), (Rgb{255, 255, 255})) << x;
    }
    EXPECT_EQ(bmp.Pixel(13, 10), (Rgb{255, 255, 255}));
    bmp.DrawLine(5, 2, 5, 6, kBlack, 1);
    for (int y = 2; y <= 6; ++y)
        EXPECT_EQ(bmp.Pixel(5, y), kBlack);
    EXPECT_EQ(bmp.Pixel(4, 4), (Rgb{255, 255, 255}));
    // Far outside the picture nothing is drawn and nothing breaks.
    bmp.DrawLine(-70000, -5, 70000, 65535, kBlue, 2);
    bmp.DrawLine(65532, 65532, 65535, 65535, kBlue, 2);
}

TEST(Bitmap, RefusesBrokenFilesWithoutReadingPastTheEnd) {
    const std::string good = Bitmap(4, 4).EncodeBmp();
    Bitmap out;
    for (std::size_t len = 0; len < good.size(); ++len)
        EXPECT_FALSE(Bitmap::Decode(good.substr(0, len), out)) << len;
    std::string huge = good;
    huge[18] = '\xFF';
    huge[19] = '\xFF';
    huge[20] = '\x00';
    huge[21] = '\x10';
    EXPECT_FALSE(Bitmap::Decode(huge, out));
    std::string compressed = good;
    compressed[30] = 1; // run-length encoded
    EXPECT_FALSE(Bitmap::Decode(compressed, out));
}

TEST(Bitmap, ReadsPalettedAndTopDownFiles) {
    // 2 x 2, 8 bits per pixel, two palette entries, top-down (negative height).
    std::string b = "BM";
    auto put = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0, 4);
    put(0, 4);
    put(14 + 40 + 8, 4);
    put(40, 4);
    put(2, 4);
    put(static_cast<std::uint32_t>(-2), 4);
    put(1, 2);
    put(8, 2);
    put(0, 4);
    put(0, 4);
    put(0, 4);
    put(0, 4);
    put(2, 4);
    put(0, 4);
    put(0x000000FF, 4); // entry 0: blue
    put(0x00FF0000, 4); // entry 1: red
    put(0x0100, 2);     // top row: blue, red
    put(0, 2);
    put(0x0001, 2); // bottom row: red, blue
    put(0, 2);
    Bitmap out;
    ASSERT_TRUE(Bitmap::Decode(b, out));
    EXPECT_EQ(out.Pixel(0, 0), kBlue);
    EXPECT_EQ(out.Pixel(1, 0), kRed);
    EXPECT_EQ(out.Pixel(0, 1), kRed);
    EXPECT_EQ(out.Pixel(1, 1), kBlue);
}

// A bitmap file of any depth with known pixel bytes: rows of `stride` bytes, bottom-up,
// a palette of `paletteSize` entries, and channel masks when `masks` is set.
std::string BmpFile(int width, int height, int bits, const std::string& rows, int paletteSize,
                    bool masks, std::uint32_t rMask = 0, std::uint32_t gMask = 0,
                    std::uint32_t bMask = 0) {
    std::string b = "BM";
    auto put = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const std::uint32_t offset = 14 + 40 + (masks ? 12 : 0) + 4 * paletteSize;
    put(offset + static_cast<std::uint32_t>(rows.size()), 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(bits), 2);
    put(masks ? 3 : 0, 4);
    put(0, 4);
    put(0, 4);
    put(0, 4);
    put(static_cast<std::uint32_t>(paletteSize), 4);
    put(0, 4);
    if (masks) {
        put(rMask, 4);
        put(gMask, 4);
        put(bMask, 4);
    }
    for (int i = 0; i < paletteSize; ++i)
        put(static_cast<std::uint32_t>(i * 0x0A0B0C + 0x102030) & 0xFFFFFF, 4);
    return b + rows;
}

// The colour a pixel of such a file has, worked out one pixel at a time.
Rgb ExpectedPixel(const std::string& rows, std::size_t stride, int height, int x, int y, int bits,
                  int paletteSize, bool masks, const std::uint32_t (&mask)[3]) {
    const std::size_t row = stride * static_cast<std::size_t>(height - 1 - y);
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(rows[row + i]));
    };
    auto channel = [](std::uint32_t v, std::uint32_t m) -> std::uint8_t {
        if (m == 0)
            return 0;
        int shift = 0;
        while (((m >> shift) & 1u) == 0)
            ++shift;
        return static_cast<std::uint8_t>(std::uint64_t{(v & m) >> shift} * 255u / (m >> shift));
    };
    const auto ux = static_cast<std::size_t>(x);
    if (bits <= 8) {
        const std::size_t bit = ux * static_cast<std::size_t>(bits);
        const std::uint32_t index = (byte(bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (static_cast<int>(index) >= paletteSize)
            return kBlack;
        const std::uint32_t c = (index * 0x0A0B0C + 0x102030) & 0xFFFFFF;
        return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                static_cast<std::uint8_t>(c)};
    }
    if (bits == 24)
        return {static_cast<std::uint8_t>(byte(ux * 3 + 2)),
                static_cast<std::uint8_t>(byte(ux * 3 + 1)),
                static_cast<std::uint8_t>(byte(ux * 3))};
    std::uint32_t v = byte(ux * (bits / 8)) | byte(ux * (bits / 8) + 1) << 8;
    if (bits == 32)
        v |= byte(ux * 4 + 2) << 16 | byte(ux * 4 + 3) << 24;
    if (bits == 32 && !masks)
        return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v)};
    const std::uint32_t r = masks ? mask[0] : 0x7C00, g = masks ? mask[1] : 0x03E0,
                        b = masks ? mask[2] : 0x001F;
    return {channel(v, r), channel(v, g), channel(v, b)};
}

TEST(Bitmap, DecodesEveryDepthAsEachPixelReadsAlone) {
    struct Case {
        int bits;
        int paletteSize;
        bool masks;
        std::uint32_t mask[3];
    };
    const Case cases[] = {
        {1, 2, false, {}},
        {1, 1, false, {}}, // index 1 past the palette: black
        {4, 16, false, {}},
        {4, 5, false, {}},
        {8, 256, false, {}},
        {8, 3, false, {}},
        {16, 0, false, {}},
        {16, 0, true, {0xF800, 0x07E0, 0x001F}},
        {16, 0, true, {0x0F00, 0x00F0, 0}},
        {24, 0, false, {}},
        {32, 0, false, {}},
        {32, 0, true, {0xFF000000, 0x00FF0000, 0x0000FF00}},
        {32, 0, true, {0x3FF00000, 0x000FFC00, 0x000003FF}},
    };
    std::uint32_t seed = 12345;
    for (const Case& c : cases) {
        for (const int width : {1, 7, 13, 33}) {
            const int height = 5;
            const std::size_t stride =
                ((static_cast<std::size_t>(width) * static_cast<std::size_t>(c.bits) + 31) / 32) *
                4;
            std::string rows(stride * height, '\0');
            for (char& ch : rows) {
                seed = seed * 1103515245u + 12345u;
                ch = static_cast<char>(seed >> 16);
            }
            Bitmap out;
            ASSERT_TRUE(Bitmap::Decode(BmpFile(width, height, c.bits, rows, c.paletteSize, c.masks,
                                               c.mask[0], c.mask[1], c.mask[2]),
                                       out))
                << c.bits << " bits, width " << width;
            int checkedWidth = 0, checkedHeight = 0;
            EXPECT_TRUE(Bitmap::Check(BmpFile(width, height, c.bits, rows, c.paletteSize, c.masks,
                                              c.mask[0], c.mask[1], c.mask[2]),
                                      checkedWidth, checkedHeight));
            EXPECT_EQ(checkedWidth, width);
            EXPECT_EQ(checkedHeight, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(out.Pixel(x, y), ExpectedPixel(rows, stride, height, x, y, c.bits,
                                                             c.paletteSize, c.masks, c.mask))
                        << c.bits << " bits, masks " << c.masks << ", width " << width << " at "
                        << x << "," << y;
        }
    }
}

// The pixels of a segment as a plain walk over its whole length sets them.
Bitmap WalkedLine(int w, int h, int x1, int y1, int x2, int y2, int width) {
    Bitmap bmp(w, h);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx - dy, x = x1, y = y1;
    for (;;) {
        for (int k = 0; k < width; ++k) {
            if (dx >= dy)
                bmp.SetPixel(x, y - width / 2 + k, kRed);
            else
                bmp.SetPixel(x - width / 2 + k, y, kRed);
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
    return bmp;
}

TEST(Bitmap, ClippedLinesSetExactlyThePixelsOfTheWholeWalk) {
    std::uint32_t seed = 99;
    auto next = [&seed](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
    };
    const int w = 40, h = 30;
    for (int i = 0; i < 3000; ++i) {
        // Mostly near the picture, some far outside it, every direction and width.
        const int range = i % 3 == 0 ? 3000 : 60;
        const int x1 = next(-range, range), y1 = next(-range, range);
        const int x2 = next(-range, range), y2 = next(-range, range);
        const int width = next(1, 3);
        Bitmap drawn(w, h);
        drawn.DrawLine(x1, y1, x2, y2, kRed, width);
        const Bitmap walked = WalkedLine(w, h, x1, y1, x2, y2, width);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(drawn.Pixel(x, y), walked.Pixel(x, y))
                    << x1 << "," << y1 << " to " << x2 << "," << y2 << " width " << width << " at "
                    << x << "," << y;
    }
}

TEST(LoadBitmapFile, ReportsMissingAndInvalidFiles) {
    test::ScratchDir dir;
    EXPECT_THROW(LoadBitmapFile(dir.File("none.bmp")), FileError);
    try {
        LoadBitmapFile(dir.Write("bad.bmp", "not a bitmap"));
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
}

} // namespace
} // namespace quorvel
