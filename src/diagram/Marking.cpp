#include "diagram/Marking.h"

#include <algorithm>
#include <bitset>

namespace quorvel {

namespace {

void PaintLine(const TLine_& line, Rgb colour, DiagramSurface& surface) {
    surface.DrawSegment(line.X1, line.Y1, line.X2, line.Y2, colour, kLineWidth);
}

Rgb ConfigColour(bool marked) {
    return marked ? kRed : kBlue;
}

Rgb RegisterColour(bool marked) {
    return marked ? kRed : kLime;
}

// The identifiers of every marked line of both tables.
std::bitset<65536> MarkedIds(const TModel& model) {
    std::bitset<65536> marked;
    for (std::size_t j = 0; j < model.ConfigLines.size(); ++j)
        if (model.ConfigLineMarked[j])
            marked.set(model.ConfigLines[j].Id);
    for (std::size_t j = 0; j < model.RegisterLines.size(); ++j)
        if (model.RegisterLineMarked[j])
            marked.set(model.RegisterLines[j].Id);
    return marked;
}

bool AnyListed(const std::bitset<65536>& marked, const std::vector<std::uint16_t>& ids) {
    return std::any_of(ids.begin(), ids.end(), [&marked](std::uint16_t id) { return marked[id]; });
}

} // namespace

void PaintConnectors(const Configuration& state, DiagramSurface& surface) {
    const TModel& model = state.Model;
    if (model.FollowRules.empty() && model.FollowNotRules.empty())
        return;
    const std::bitset<65536> marked = MarkedIds(model);
    for (const TFollow_& rule : model.FollowRules)
        surface.DrawSegment(rule.X1, rule.Y1, rule.X2, rule.Y2,
                            AnyListed(marked, rule.Ids) ? kRed : kBlack, kConnectorWidth);
    for (const TFollow_& rule : model.FollowNotRules)
        surface.DrawSegment(rule.X1, rule.Y1, rule.X2, rule.Y2,
                            AnyListed(marked, rule.Ids) ? kBlack : kRed, kConnectorWidth);
}

void PaintChanges(const Configuration& state, const std::vector<Paint>& paints,
                  DiagramSurface& surface) {
    const TModel& model = state.Model;
    for (const Paint& paint : paints) {
        switch (paint.What) {
        case Paint::Kind::ConfigLine:
            PaintLine(model.ConfigLines[paint.Index], ConfigColour(paint.Marked), surface);
            break;
        case Paint::Kind::RegisterLine:
            PaintLine(model.RegisterLines[paint.Index], RegisterColour(paint.Marked), surface);
            break;
        case Paint::Kind::Connectors:
            PaintConnectors(state, surface);
            break;
        }
    }
}

void PaintWhole(const Configuration& state, DiagramSurface& surface) {
    const TModel& model = state.Model;
    for (std::size_t i = 0; i < model.ConfigLines.size(); ++i)
        PaintLine(model.ConfigLines[i], ConfigColour(model.ConfigLineMarked[i]), surface);
    for (std::size_t i = 0; i < model.RegisterLines.size(); ++i)
        PaintLine(model.RegisterLines[i], RegisterColour(model.RegisterLineMarked[i]), surface);
    PaintConnectors(state, surface);
}

} // namespace quorvel
