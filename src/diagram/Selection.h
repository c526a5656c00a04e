#pragma once
// Turning mouse presses on the diagram into selections under the diagram's rules: link
// groups mark companions, alternatives groups and EXCL groups unmark lines, the chosen
// values go to the calculation and code tables, and the connectors are redrawn. The middle
// and right buttons copy a pair of points to the clipboard for authors of descriptions.

#include "diagram/Marking.h"
#include "diagram/Model.h"
#include "util/Views.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quorvel {

enum class MouseButton { Left, Middle, Right, Other };

class TSelection {
public:
    TSelection(TModel& model, TDiagramMarking& marking, LabelView& labels, ClipboardView& clipboard)
        : model_(model), marking_(marking), labels_(labels), clipboard_(clipboard) {}

    // True when (x, y) lies in the segment's bounding box grown by 3 pixels on every side.
    static bool HitTest(int x, int y, int x1, int y1, int x2, int y2);

    // A press at bitmap pixel (x, y). After each line a left click selects, `recalculate`
    // runs when it is set (it is left empty while defaults are applied).
    void Image1MouseDown(MouseButton button, int x, int y,
                         const std::function<void()>& recalculate);

    // Shows the description of the setting `value` of field `name` in the setting label of
    // that name; nothing changes when the device has no such setting.
    void ShowSettingLabel(const std::string& name, std::uint32_t value);
    // Unmarks every line whose identifier shares an EXCL group with id.
    void ApplyExclGroups(std::uint16_t id);

    // The text a right click puts on the clipboard: "x1, y1, x2, y2, ".
    std::string PointsText() const;

private:
    bool SelectConfigLines(int x, int y, const std::function<void()>& recalculate);
    void SelectRegisterLines(int x, int y, const std::function<void()>& recalculate);

    TModel& model_;
    TDiagramMarking& marking_;
    LabelView& labels_;
    ClipboardView& clipboard_;
    std::uint16_t firstX_ = 0, firstY_ = 0;
    std::uint16_t secondX_ = 0, secondY_ = 0;
};

} // namespace quorvel
