#pragma once
// In-memory implementations of the view interfaces, for the command line and for tests.
// They keep exactly the state a window would show.

#include "diagram/Bitmap.h"
#include "diagram/Model.h"
#include "shell/Session.h"
#include "util/Views.h"

#include <array>
#include <string>
#include <vector>

namespace quorvel {

// The diagram as pixels in memory. Loading opens the file and checks its headers, but reads
// and decodes its pixels only when they are first asked for: until then drawn segments are
// kept and drawn over the decoded picture in order, so what is asked for is always what
// drawing at once gives. Front ends that never look at the pixels never pay for them.
class RasterSurface : public DiagramSurface {
public:
    RasterSurface() = default;
    ~RasterSurface() override;
    RasterSurface(const RasterSurface&) = delete;
    RasterSurface& operator=(const RasterSurface&) = delete;

    void LoadBitmap(const std::string& path) override;
    void DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) override;
    bool ShowsMarks() const override { return showsMarks_; }
    // For a picture that will not be read: the session it serves leaves the marks undrawn.
    // Set before the first bitmap is loaded.
    void HideMarks() { showsMarks_ = false; }
    int Width() const { return file_ < 0 ? bitmap_.Width() : width_; }
    int Height() const { return file_ < 0 ? bitmap_.Height() : height_; }
    // The pixels. The loaded file stays open until they are read; should it no longer read
    // as the bitmap it was (changed on disk in between), the picture is white.
    const Bitmap& Picture() const;
    Bitmap& Picture();

private:
    struct Segment {
        int x1, y1, x2, y2;
        Rgb colour;
        int width;
    };
    void DecodePending() const;
    void DecodeFile() const;
    void CloseFile() const;

    mutable Bitmap bitmap_;
    mutable int file_ = -1; // the loaded file, while its pixels are not read
    mutable std::vector<Segment> pending_;
    mutable bool decodedBefore_ = false; // a picture was decoded; a later decode replaces it
    bool showsMarks_ = true;
    int width_ = 0;
    int height_ = 0;
};

class MemoryValueBoxes : public ValueBoxView {
public:
    std::string Text(int index) const override { return boxes_.at(Index(index)).text; }
    void SetText(int index, const std::string& text) override {
        boxes_.at(Index(index)).text = text;
    }
    void SetPosition(int index, int left, int top) override {
        boxes_.at(Index(index)).left = left;
        boxes_.at(Index(index)).top = top;
    }
    void SetInputStyle(int index, bool input) override { boxes_.at(Index(index)).input = input; }
    void SetVisible(int index, bool visible) override { boxes_.at(Index(index)).visible = visible; }
    void SetStale(int index, bool stale) override { boxes_.at(Index(index)).stale = stale; }
    void SetProblem(int index, const std::string& reason) override {
        boxes_.at(Index(index)).problem = reason;
    }
    const ValueBoxState& Box(int index) const { return boxes_.at(Index(index)); }

private:
    static std::size_t Index(int index) { return static_cast<std::size_t>(index); }
    std::array<ValueBoxState, kValueBoxCount> boxes_{};
};

class MemoryLabels : public LabelView {
public:
    std::string Caption(int number) const override { return captions_.at(Index(number)); }
    void SetCaption(int number, const std::string& caption) override {
        captions_.at(Index(number)) = caption;
    }

private:
    static std::size_t Index(int number) { return static_cast<std::size_t>(number - 1); }
    std::array<std::string, kLabelCount> captions_{};
};

class RecordedMessages : public MessageView {
public:
    void ShowMessage(const std::string& text) override { ShowMessageWithDetails(text, ""); }
    void ShowMessageWithDetails(const std::string& text, const std::string& details) override {
        messages_.push_back(text);
        details_.push_back(details);
    }
    const std::vector<std::string>& Messages() const { return messages_; }
    // The details of each message, "" for none; parallel to Messages().
    const std::vector<std::string>& Details() const { return details_; }
    void Clear() {
        messages_.clear();
        details_.clear();
    }

private:
    std::vector<std::string> messages_;
    std::vector<std::string> details_;
};

class MemoryClipboard : public ClipboardView {
public:
    void SetClipboardText(const std::string& text) override { text_ = text; }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// One of each, as a session's views.
struct HeadlessViews {
    RasterSurface Surface;
    MemoryValueBoxes Boxes;
    MemoryLabels Labels;
    RecordedMessages Messages;
    MemoryClipboard Clipboard;

    SessionViews Views() { return SessionViews{Surface, Boxes, Labels, Messages, Clipboard}; }
};

} // namespace quorvel
