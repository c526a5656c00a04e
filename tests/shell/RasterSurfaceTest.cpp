#include "shell/HeadlessViews.h"

#include "TestSupport.h"
#include "util/Errors.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

// A picture with a pattern, so that decoding mistakes show.
Bitmap Pattern(int w, int h) {
    Bitmap bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixel(x, y,
                         {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5), 9});
    return bmp;
}

void ExpectSamePixels(const Bitmap& a, const Bitmap& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
}

TEST(RasterSurface, SegmentsDrawnBeforeTheFirstLookShowAsIfDrawnAtOnce) {
    test::ScratchDir dir;
    const std::string file = dir.Write("p.bmp", Pattern(60, 40).EncodeBmp());
    RasterSurface surface;
    surface.LoadBitmap(file);
    EXPECT_EQ(surface.Width(), 60);
    EXPECT_EQ(surface.Height(), 40);
    Bitmap expected = Pattern(60, 40);
    // Overlapping segments in order: the later colour wins where they cross.
    const int segments[][5] = {
        {0, 10, 59, 10, 2}, {30, 0, 30, 39, 1}, {5, 5, 50, 35, 2}, {0, 10, 40, 10, 1}};
    const Rgb colours[] = {kRed, kBlue, kLime, kBlack};
    for (int i = 0; i < 4; ++i) {
        const auto& s = segments[i];
        surface.DrawSegment(s[0], s[1], s[2], s[3], colours[i], s[4]);
        expected.DrawLine(s[0], s[1], s[2], s[3], colours[i], s[4]);
    }
    ExpectSamePixels(surface.Picture(), expected);
    // After the first look segments go straight into the pixels.
    surface.DrawSegment(0, 0, 59, 39, kRed, 1);
    expected.DrawLine(0, 0, 59, 39, kRed, 1);
    ExpectSamePixels(surface.Picture(), expected);
    // Loading again starts from the file.
    surface.LoadBitmap(file);
    ExpectSamePixels(surface.Picture(), Pattern(60, 40));
}

TEST(RasterSurface, ManySegmentsBeforeTheFirstLookKeepTheirOrder) {
    test::ScratchDir dir;
    const std::string file = dir.Write("p.bmp", Pattern(20, 20).EncodeBmp());
    RasterSurface surface;
    surface.LoadBitmap(file);
    Bitmap expected = Pattern(20, 20);
    // More segments than are kept undrawn: the picture is decoded on the way.
    for (int i = 0; i < 70000; ++i) {
        const Rgb colour = i % 2 == 0 ? kRed : kBlue;
        surface.DrawSegment(i % 20, 0, i % 20, 19, colour, 1);
        expected.DrawLine(i % 20, 0, i % 20, 19, colour, 1);
    }
    ExpectSamePixels(surface.Picture(), expected);
}

TEST(RasterSurface, RefusedFilesLeaveThePictureAsItWas) {
    test::ScratchDir dir;
    RasterSurface surface;
    surface.LoadBitmap(dir.Write("p.bmp", Pattern(8, 6).EncodeBmp()));
    surface.DrawSegment(0, 0, 7, 0, kRed, 1);
    EXPECT_THROW(surface.LoadBitmap(dir.File("missing.bmp")), FileError);
    std::string cut = Pattern(8, 6).EncodeBmp();
    cut.resize(cut.size() - 1);
    try {
        surface.LoadBitmap(dir.Write("cut.bmp", cut));
        FAIL() << "a file one byte short is refused at loading";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
    Bitmap expected = Pattern(8, 6);
    expected.DrawLine(0, 0, 7, 0, kRed, 1);
    ExpectSamePixels(surface.Picture(), expected);
}

TEST(RasterSurface, ReadsHeadersThatReachFarIntoTheFile) {
    // 8 bits per pixel with a header of 6000 bytes: the palette lies past the first bytes
    // read at loading.
    std::string b = "BM";
    auto put = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const std::uint32_t header = 6000;
    const std::uint32_t offset = 14 + header + 8;
    put(offset + 8, 4);
    put(0, 4);
    put(offset, 4);
    put(header, 4);
    put(2, 4);
    put(2, 4);
    put(1, 2);
    put(8, 2);
    for (int i = 0; i < 6; ++i)
        put(i == 4 ? 2 : 0, 4);
    b.resize(14 + header, '\0');
    put(0x000000FF, 4); // entry 0: blue
    put(0x00FF0000, 4); // entry 1: red
    put(0x0001, 2);     // bottom row: red, blue
    put(0, 2);
    put(0x0100, 2); // top row: blue, red
    put(0, 2);
    test::ScratchDir dir;
    RasterSurface surface;
    surface.LoadBitmap(dir.Write("far.bmp", b));
    EXPECT_EQ(surface.Picture().Pixel(0, 0), kBlue);
    EXPECT_EQ(surface.Picture().Pixel(1, 0), kRed);
    EXPECT_EQ(surface.Picture().Pixel(0, 1), kRed);
    // Cut inside the palette, the file is refused at loading.
    EXPECT_THROW(surface.LoadBitmap(dir.Write("cut.bmp", b.substr(0, 14 + header + 4))), FileError);
}

TEST(RasterSurface, AFileChangedBeforeItsPixelsAreReadGivesAWhitePictureOfItsSize) {
    test::ScratchDir dir;
    const std::string file = dir.Write("p.bmp", Pattern(12, 9).EncodeBmp());
    RasterSurface surface;
    surface.LoadBitmap(file);
    surface.DrawSegment(0, 4, 11, 4, kRed, 1);
    dir.Write("p.bmp", "no longer a bitmap");
    Bitmap expected(12, 9);
    expected.DrawLine(0, 4, 11, 4, kRed, 1);
    ExpectSamePixels(surface.Picture(), expected);
}

#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_OWN_ALLOCATOR 1
#endif
#endif

#if !defined(QUORVEL_OWN_ALLOCATOR)
// Resident memory of this process, in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}
#endif

// Switching between diagrams, as choosing devices in turn does, must not leave the freed
// pictures' memory with the process: back on the first picture after many switches, the
// process is no larger than it was with that picture the first time.
TEST(RasterSurface, SwitchingPicturesDoesNotKeepTheirMemory) {
#if defined(QUORVEL_OWN_ALLOCATOR)
    GTEST_SKIP() << "the sanitizer's allocator keeps freed memory on purpose";
#else
    test::ScratchDir dir;
    // Pictures of a few megabytes each, of different sizes as diagrams are.
    const std::string files[] = {dir.Write("a.bmp", Bitmap(1100, 800).EncodeBmp()),
                                 dir.Write("b.bmp", Bitmap(1000, 700).EncodeBmp()),
                                 dir.Write("c.bmp", Bitmap(1200, 900).EncodeBmp())};
    // In a child process, so that what earlier tests left in the heap does not count.
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        RasterSurface surface;
        // What each load keeps besides its picture, allocated after the picture's passing
        // blocks as a window's own data is.
        std::vector<std::string> kept;
        kept.reserve(30);
        long first = 0;
        for (int i = 0; i < 28; ++i) {
            surface.LoadBitmap(files[i % 3]);
            if (surface.Picture().Empty())
                ::_exit(2);
            kept.push_back(std::string(4000, 'k'));
            if (i == 0)
                first = ResidentBytes();
        }
        // The last load was the first picture again.
        ::_exit(ResidentBytes() - first < 512 * 1024 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: half a megabyte or more was kept";
#endif
}

} // namespace
} // namespace quorvel
