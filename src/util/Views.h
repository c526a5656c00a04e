#pragma once
// The few things the core needs from a screen, and the small types they share. The Qt windows
// implement the views with widgets; tests and the command line use the headless
// implementations of shell/HeadlessViews.h.

#include <cstdint>
#include <string>

namespace quorvel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The screen's fixed counts.
constexpr int kValueBoxCount = 31;     // value boxes 0..30
constexpr int kLabelCount = 41;        // Label1..Label41
constexpr int kLabelledNameCount = 20; // configuration names that get a label pair

// What a value box shows.
struct ValueBoxState {
    std::string text;
    int left = 50;
    int top = 50;
    bool input = true; // a box never laid out is editable, as a fresh edit box is
    bool visible = false;
    // A result computed before the last clear command: a clear takes back choices without
    // recalculating, so the result is stale until a calculation writes it again.
    bool stale = false;
    std::string problem; // why the value breaks a limit, empty when it keeps every one
    friend bool operator==(const ValueBoxState&, const ValueBoxState&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kLime{0, 255, 0};
inline constexpr Rgb kBlack{0, 0, 0};

// The diagram bitmap, which marks are drawn into.
class DiagramSurface {
public:
    virtual ~DiagramSurface() = default;
    // Replaces the picture by the bitmap file at path; throws FileError with the message
    // the user sees when the file cannot be read.
    virtual void LoadBitmap(const std::string& path) = 0;
    // Draws a straight segment into the picture's pixels.
    virtual void DrawSegment(int x1, int y1, int x2, int y2, Rgb colour, int width) = 0;
    // False for a surface whose pixels nothing will look at: a session then draws no marks on
    // it (its bitmap is still loaded, which checks the file).
    virtual bool ShowsMarks() const { return true; }
};

// The 31 single-line value boxes, indices 0..30.
class ValueBoxView {
public:
    virtual ~ValueBoxView() = default;
    virtual std::string Text(int index) const = 0;
    virtual void SetText(int index, const std::string& text) = 0;
    virtual void SetPosition(int index, int left, int top) = 0;
    // Input box: editable, tab stop, yellow, bordered. Result box: read-only, no tab stop,
    // window colour, no border.
    virtual void SetInputStyle(int index, bool input) = 0;
    virtual void SetVisible(int index, bool visible) = 0;
    virtual void SetStale(int index, bool stale) = 0;
    // Shows the box as breaking a limit (red, the reason as its tooltip) while `reason` is
    // not empty. Views that cannot show it ignore it.
    virtual void SetProblem(int /*index*/, const std::string& /*reason*/) {}
};

// Label1..Label41, by number.
class LabelView {
public:
    virtual ~LabelView() = default;
    virtual std::string Caption(int number) const = 0;
    virtual void SetCaption(int number, const std::string& caption) = 0;
};

// Message boxes.
class MessageView {
public:
    virtual ~MessageView() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // A message with details that help to find its cause (which file, which paths): the
    // window shows them in the message box's details, the command line as notes. The text
    // alone is the message.
    virtual void ShowMessageWithDetails(const std::string& text, const std::string& details) {
        (void)details;
        ShowMessage(text);
    }
};

// The clipboard (text).
class ClipboardView {
public:
    virtual ~ClipboardView() = default;
    virtual void SetClipboardText(const std::string& text) = 0;
};

} // namespace quorvel
