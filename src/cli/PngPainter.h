#pragma once
// The interface between the command line and the small library that paints diagrams into
// PNG files. The library is the only part of the command line that needs Qt, so the
// command line loads it, and Qt with it, only when it writes a picture.

#include <cstddef>
#include <cstdint>

extern "C" {

// One shown value box; the text is not terminated.
struct QuorvelPngBox {
    int Left;
    int Top;
    int Input; // non-zero: an input box (yellow, bordered)
    const char* Text;
    std::size_t TextSize;
    int Marked;  // non-zero: an input text that does not read as it looks
    int Failed;  // non-zero: an input text that cannot be read
    int Stale;   // non-zero: a result computed before the last clear
    int Problem; // non-zero: the value breaks a limit of the diagram (drawn red)
};

struct QuorvelPngPicture {
    int Width;
    int Height;
    const std::uint32_t* Pixels; // 0x00RRGGBB, Width * Height, rows from the top
    const QuorvelPngBox* Boxes;
    int BoxCount;
};

// Receives the encoded picture.
typedef void (*QuorvelPngSink)(void* context, const char* bytes, std::size_t size);

// Paints the picture with its boxes and encodes it as PNG, handing the bytes to sink once.
// Returns non-zero on success; on failure writes a terminated message of at most errorSize
// bytes to error.
int QuorvelEncodePng(const QuorvelPngPicture* picture, QuorvelPngSink sink, void* context,
                     char* error, std::size_t errorSize);
}

// The name of the library file, which lies beside the command-line executable.
inline constexpr const char* kPngPainterFileName = "libquorvel_png.so";
inline constexpr const char* kPngPainterEntry = "QuorvelEncodePng";
