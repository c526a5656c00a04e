#include "diagram/Marking.h"

#include <algorithm>

namespace quorvel {

void TDiagramMarking::Paint(const TLine_& line, Rgb colour) {
    surface_.DrawSegment(line.X1, line.Y1, line.X2, line.Y2, colour, kLineWidth);
}

void TDiagramMarking::MarkLine(std::size_t i) {
    Paint(model_.ConfigLines[i], kRed);
    model_.ConfigLineMarked[i] = true;
}

void TDiagramMarking::UnmarkLine(std::size_t i) {
    Paint(model_.ConfigLines[i], kBlue);
    model_.ConfigLineMarked[i] = false;
}

void TDiagramMarking::MarkLineRegister(std::size_t i) {
    Paint(model_.RegisterLines[i], kRed);
    model_.RegisterLineMarked[i] = true;
}

void TDiagramMarking::UnmarkLineRegister(std::size_t i) {
    Paint(model_.RegisterLines[i], kLime);
    model_.RegisterLineMarked[i] = false;
}

void TDiagramMarking::UnmarkAllLines() {
    for (std::size_t i = 0; i < model_.ConfigLines.size(); ++i)
        UnmarkLine(i);
}

void TDiagramMarking::UnmarkAllLineRegisters() {
    for (std::size_t i = 0; i < model_.RegisterLines.size(); ++i)
        UnmarkLineRegister(i);
}

void TDiagramMarking::UnmarkById(std::uint16_t id) {
    for (std::size_t i = 0; i < model_.ConfigLines.size(); ++i)
        if (model_.ConfigLines[i].Id == id)
            UnmarkLine(i);
    for (std::size_t i = 0; i < model_.RegisterLines.size(); ++i)
        if (model_.RegisterLines[i].Id == id)
            UnmarkLineRegister(i);
}

std::bitset<65536> TDiagramMarking::MarkedIds() const {
    std::bitset<65536> marked;
    for (std::size_t j = 0; j < model_.ConfigLines.size(); ++j)
        if (model_.ConfigLineMarked[j])
            marked.set(model_.ConfigLines[j].Id);
    for (std::size_t j = 0; j < model_.RegisterLines.size(); ++j)
        if (model_.RegisterLineMarked[j])
            marked.set(model_.RegisterLines[j].Id);
    return marked;
}

namespace {

bool AnyListed(const std::bitset<65536>& marked, const std::vector<std::uint16_t>& ids) {
    return std::any_of(ids.begin(), ids.end(), [&marked](std::uint16_t id) { return marked[id]; });
}

} // namespace

void TDiagramMarking::DrawFollows() {
    if (model_.FollowRules.empty())
        return;
    const std::bitset<65536> marked = MarkedIds();
    for (const TFollow_& rule : model_.FollowRules)
        surface_.DrawSegment(rule.X1, rule.Y1, rule.X2, rule.Y2,
                             AnyListed(marked, rule.Ids) ? kRed : kBlack, kConnectorWidth);
}

void TDiagramMarking::DrawFollowNots() {
    if (model_.FollowNotRules.empty())
        return;
    const std::bitset<65536> marked = MarkedIds();
    for (const TFollow_& rule : model_.FollowNotRules)
        surface_.DrawSegment(rule.X1, rule.Y1, rule.X2, rule.Y2,
                             AnyListed(marked, rule.Ids) ? kBlack : kRed, kConnectorWidth);
}

} // namespace quorvel
