#pragma once
// An RGB picture in memory, read from and written to Windows bitmap files. Every front end
// draws the diagram's marks into one of these, so the window, the command line and the tests
// see the same pixels.

#include "util/Views.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Rgb fill = {255, 255, 255});

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Pixels outside the picture read as black and are not written.
    Rgb Pixel(int x, int y) const;
    void SetPixel(int x, int y, Rgb colour);

    // A straight segment, both end points included. Width 1 is a plain line; a wider pen
    // adds pixels across the line's direction (for width 2: one row above a horizontal line,
    // one column left of a vertical one).
    void DrawLine(int x1, int y1, int x2, int y2, Rgb colour, int width);

    // 0x00RRGGBB per pixel, rows from the top; for wrapping into a toolkit's image.
    const std::uint32_t* Data() const { return pixels_.data(); }

    // Decodes a bitmap file's bytes: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel,
    // bottom-up or top-down. Returns false for anything else, or for a picture too large
    // to hold.
    static bool Decode(std::string_view bytes, Bitmap& out);
    // Whether Decode would accept the bytes, and the picture's size, without decoding
    // the pixels.
    static bool Check(std::string_view bytes, int& width, int& height);
    // The same from the first bytes of a file of fileSize bytes: NeedsMore when its headers
    // reach beyond `head`.
    enum class Validity { Valid, Invalid, NeedsMore };
    static Validity CheckHead(std::string_view head, std::size_t fileSize, int& width, int& height);
    // 24 bits per pixel, bottom-up.
    std::string EncodeBmp() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Reads a bitmap file; throws FileError ("Cannot open file ..." or "Bitmap image is not
// valid").
Bitmap LoadBitmapFile(const std::string& path);

} // namespace quorvel
