#include "diagram/Configuration.h"

namespace quorvel {

void IndexDiagram(Configuration& state) {
    state.Index = std::make_shared<const DiagramIndex>(state.Model);
}

const DiagramIndex* UsableIndex(const Configuration& state) {
    return state.Index && state.Index->Fits(state.Model) ? state.Index.get() : nullptr;
}

void SetCaption(Configuration& state, int number, const std::string& caption, Changes& changes) {
    state.Captions.at(static_cast<std::size_t>(number - 1)) = caption;
    changes.Captions.set(static_cast<std::size_t>(number - 1));
}

ValueBoxState& StateBoxes::Box(int index) {
    changes_.Boxes.set(static_cast<std::size_t>(index));
    return state_.Boxes.at(static_cast<std::size_t>(index));
}

std::string StateBoxes::Text(int index) const {
    return state_.Boxes.at(static_cast<std::size_t>(index)).text;
}

void StateBoxes::SetText(int index, const std::string& text) {
    ValueBoxState& box = Box(index);
    box.text = text;
    box.stale = false;
}

void StateBoxes::SetPosition(int index, int left, int top) {
    ValueBoxState& box = Box(index);
    box.left = left;
    box.top = top;
}

void StateBoxes::SetInputStyle(int index, bool input) {
    Box(index).input = input;
}

void StateBoxes::SetVisible(int index, bool visible) {
    Box(index).visible = visible;
}

void StateBoxes::SetStale(int index, bool stale) {
    Box(index).stale = stale;
}

} // namespace quorvel
