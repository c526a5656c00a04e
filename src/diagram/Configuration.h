#pragma once
// The state of one configuration: the loaded device's tables, which lines are chosen, what
// the value boxes and labels show and the register choices. The selection rules and the
// calculation change it and say what they changed in a Changes record; the views are brought
// up to date from the state and that record, never the other way round.

#include "diagram/DiagramIndex.h"
#include "diagram/Model.h"
#include "util/Views.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvel {

// One broken limit or illegal typed number.
struct TViolation {
    int Box = 0;
    std::string Name;    // what the box shows (its SHOWVAL comment), else its variable name
    double Value = 0.0;  // the number shown in the box
    std::string Message; // the whole reason, for the user
};

struct Configuration {
    // The device tables with the chosen-line flags (ConfigLineMarked, RegisterLineMarked), the
    // values chosen for the calculation (CalcVals) and the register choices (RegVals).
    TModel Model;
    std::string Device;  // the trimmed name of the device last asked for
    std::string Picture; // the bitmap file the diagram was last loaded from
    std::array<ValueBoxState, kValueBoxCount> Boxes{};
    std::array<std::string, kLabelCount> Captions{}; // Label1..Label41 at 0..40
    // The points of the last middle and right clicks, and the text a right click copies.
    std::uint16_t FirstX = 0, FirstY = 0;
    std::uint16_t SecondX = 0, SecondY = 0;
    std::string ClipboardText;
    // Built from the tables after loading (IndexDiagram); copies of the state share it.
    // Without it, or when the tables no longer fit it, the rules walk the tables.
    std::shared_ptr<const DiagramIndex> Index;
    // The limits the last calculation broke, in the order of the description; each box's
    // `problem` holds the reasons about it.
    std::vector<TViolation> Violations;

    const std::string& Caption(int number) const {
        return Captions[static_cast<std::size_t>(number - 1)];
    }
};

// One segment of the diagram to paint again: a line in the colour of the mark it got at that
// moment, or every FOLLOW / FOLLOW_NOT connector in the colours of the marks at painting
// time (so a step's changes are painted before the next step changes marks again).
struct Paint {
    enum class Kind : std::uint8_t { ConfigLine, RegisterLine, Connectors };
    Kind What = Kind::Connectors;
    bool Marked = false;
    std::size_t Index = 0;
    friend bool operator==(const Paint&, const Paint&) = default;
};

// What steps changed in a Configuration, in the order the picture must be painted.
struct Changes {
    std::vector<Paint> Paints;
    std::bitset<kValueBoxCount> Boxes;
    std::bitset<kLabelCount> Captions; // bit n - 1 for Label n
    bool Clipboard = false;

    bool Empty() const { return Paints.empty() && Boxes.none() && Captions.none() && !Clipboard; }
    void Clear() { *this = Changes{}; }
};

// Builds the index of the state's tables, after they were loaded.
void IndexDiagram(Configuration& state);
// The state's index when it fits the tables, else nothing.
const DiagramIndex* UsableIndex(const Configuration& state);

// Sets a label's caption in the state and records the change.
void SetCaption(Configuration& state, int number, const std::string& caption, Changes& changes);

// A value box view over the state's boxes, for code that lays boxes out through the view
// interface (the description parser): every call changes the state and records the box.
class StateBoxes : public ValueBoxView {
public:
    StateBoxes(Configuration& state, Changes& changes) : state_(state), changes_(changes) {}
    std::string Text(int index) const override;
    void SetText(int index, const std::string& text) override;
    void SetPosition(int index, int left, int top) override;
    void SetInputStyle(int index, bool input) override;
    void SetVisible(int index, bool visible) override;
    void SetStale(int index, bool stale) override;

private:
    ValueBoxState& Box(int index);

    Configuration& state_;
    Changes& changes_;
};

} // namespace quorvel
