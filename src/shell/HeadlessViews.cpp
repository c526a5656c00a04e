#include "shell/HeadlessViews.h"

#include "util/Errors.h"
#include "util/TextFile.h"

namespace quorvel {

namespace {

// Past this many kept segments the picture is decoded and drawn into directly, so keeping
// them never costs more memory than the picture.
constexpr std::size_t kMaxPendingSegments = 1 << 16;

} // namespace

void RasterSurface::LoadBitmap(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        throw FileError("Cannot open file \"" + path + "\"");
    int width = 0;
    int height = 0;
    if (!Bitmap::Check(bytes, width, height))
        throw FileError("Bitmap image is not valid");
    bitmap_ = Bitmap{};
    pending_.clear();
    encoded_ = std::move(bytes);
    width_ = width;
    height_ = height;
}

void RasterSurface::DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) {
    if (!encoded_.empty() && pending_.size() < kMaxPendingSegments) {
        pending_.push_back({x1, y1, x2, y2, colour, width});
        return;
    }
    DecodePending();
    bitmap_.DrawLine(x1, y1, x2, y2, colour, width);
}

void RasterSurface::DecodePending() const {
    if (encoded_.empty())
        return;
    // Check accepted these bytes, so Decode does too.
    Bitmap::Decode(encoded_, bitmap_);
    std::string().swap(encoded_);
    for (const Segment& s : pending_)
        bitmap_.DrawLine(s.x1, s.y1, s.x2, s.y2, s.colour, s.width);
    std::vector<Segment>().swap(pending_);
}

const Bitmap& RasterSurface::Picture() const {
    DecodePending();
    return bitmap_;
}

Bitmap& RasterSurface::Picture() {
    DecodePending();
    return bitmap_;
}

} // namespace quorvel
