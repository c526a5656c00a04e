#pragma once
// The selection rules and the renderer driven step by step on a state, as the session drives
// them: each step's changes are painted before the next step.

#include "diagram/Configuration.h"
#include "diagram/Marking.h"
#include "diagram/Selection.h"

#include <functional>

namespace quorvel::test {

class StateSteps {
public:
    StateSteps(Configuration& state, DiagramSurface& surface) : state_(state), surface_(surface) {}

    // Runs one step and paints what it changed.
    template <typename F> void Step(F&& step) {
        Changes changes;
        step(changes);
        PaintChanges(state_, changes.Paints, surface_);
    }

    void MarkLine(std::size_t i) { Mark({false, i}, true); }
    void UnmarkLine(std::size_t i) { Mark({false, i}, false); }
    void MarkLineRegister(std::size_t i) { Mark({true, i}, true); }
    void UnmarkLineRegister(std::size_t i) { Mark({true, i}, false); }
    void UnmarkAllLines() {
        Step([this](Changes& c) { quorvel::UnmarkAllLines(state_, false, c); });
    }
    void UnmarkAllLineRegisters() {
        Step([this](Changes& c) { quorvel::UnmarkAllLines(state_, true, c); });
    }
    void UnmarkById(std::uint16_t id) {
        Step([this, id](Changes& c) { quorvel::UnmarkById(state_, id, c); });
    }
    void ApplyExclGroups(std::uint16_t id) {
        Step([this, id](Changes& c) { quorvel::ApplyExclGroups(state_, id, c); });
    }
    void DrawConnectors() { PaintConnectors(state_, surface_); }

    // A mouse press as the session handles it; `recalculate` runs after each line a left
    // click chooses.
    void Press(MouseButton button, int x, int y, const std::function<void()>& recalculate) {
        switch (button) {
        case MouseButton::Left:
            for (const LineRef line : LinesAt(state_.Model, x, y)) {
                Step([this, line](Changes& c) { ChooseLine(state_, line, c); });
                if (recalculate)
                    recalculate();
            }
            break;
        case MouseButton::Middle:
            StoreFirstPoint(state_, x, y);
            break;
        case MouseButton::Right:
            Step([this, x, y](Changes& c) { StoreSecondPoint(state_, x, y, c); });
            break;
        case MouseButton::Other:
            break;
        }
    }

private:
    void Mark(LineRef line, bool marked) {
        Step([this, line, marked](Changes& c) { SetLineMark(state_, line, marked, c); });
    }

    Configuration& state_;
    DiagramSurface& surface_;
};

} // namespace quorvel::test
