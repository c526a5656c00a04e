#include "diagram/Bitmap.h"

#include "TestSupport.h"
#include "util/Errors.h"

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
