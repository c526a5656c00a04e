#include "diagram/Marking.h"

#include "diagram/DiagramIndex.h"

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

// Past this many lines painted between two drawings of the connectors, every connector is
// drawn again rather than looked up near each line.
constexpr std::size_t kMaxDamage = 4096;

const TFollow_& Connector(const TModel& model, std::size_t number) {
    const std::size_t follows = model.FollowRules.size();
    return number < follows ? model.FollowRules[number] : model.FollowNotRules[number - follows];
}

PixelBox ConnectorBox(const TModel& model, std::size_t number) {
    const TFollow_& rule = Connector(model, number);
    return SegmentBox(rule.X1, rule.Y1, rule.X2, rule.Y2, kConnectorWidth);
}

// Whether a line of one of the listed identifiers is marked.
bool AnyListedMarked(const TModel& model, const DiagramIndex& index,
                     const std::vector<std::uint16_t>& ids) {
    for (const std::uint16_t id : ids) {
        for (const std::uint32_t i : index.Config.Ids.Of(id))
            if (model.ConfigLineMarked[i])
                return true;
        for (const std::uint32_t i : index.Register.Ids.Of(id))
            if (model.RegisterLineMarked[i])
                return true;
    }
    return false;
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

namespace quorvel {

void MarkPainter::Reset() {
    for (const Paint& paint : log_) {
        if (paint.What == Paint::Kind::ConfigLine)
            lastConfig_[paint.Index] = 0;
        else if (paint.What == Paint::Kind::RegisterLine)
            lastRegister_[paint.Index] = 0;
    }
    log_.clear();
    dropped_.clear();
    live_ = 0;
    lastConnectors_ = 0;
    for (const std::uint16_t id : touchedIds_)
        touched_[id] = false;
    touchedIds_.clear();
    damage_.clear();
    allDamaged_ = true;
}

void MarkPainter::Hold(const Configuration& state, const std::vector<Paint>& paints) {
    const TModel& model = state.Model;
    if (touched_.empty())
        touched_.resize(std::size_t{1} << 16); // one per line identifier
    for (const Paint& paint : paints) {
        std::size_t* last = &lastConnectors_;
        if (paint.What != Paint::Kind::Connectors) {
            const bool reg = paint.What == Paint::Kind::RegisterLine;
            std::vector<std::size_t>& lasts = reg ? lastRegister_ : lastConfig_;
            if (lasts.size() <= paint.Index)
                lasts.resize(paint.Index + 1, 0);
            last = &lasts[paint.Index];
            const std::uint16_t id =
                reg ? model.RegisterLines[paint.Index].Id : model.ConfigLines[paint.Index].Id;
            if (!touched_[id]) {
                touched_[id] = true;
                touchedIds_.push_back(id);
            }
        }
        // A later paint of the same segment covers every pixel of the earlier one.
        if (*last != 0) {
            dropped_[*last - 1] = true;
            --live_;
        }
        log_.push_back(paint);
        dropped_.push_back(false);
        ++live_;
        *last = log_.size();
    }
    if (log_.size() > 2 * live_ + 4096)
        Compact();
}

void MarkPainter::Compact() {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < log_.size(); ++k) {
        if (dropped_[k])
            continue;
        const Paint paint = log_[k];
        log_[kept] = paint;
        dropped_[kept] = false;
        ++kept;
        if (paint.What == Paint::Kind::ConfigLine)
            lastConfig_[paint.Index] = kept;
        else if (paint.What == Paint::Kind::RegisterLine)
            lastRegister_[paint.Index] = kept;
        else
            lastConnectors_ = kept;
    }
    log_.resize(kept);
    dropped_.resize(kept);
}

void MarkPainter::Damage(const TModel& model, bool registerTable, std::size_t index) {
    if (allDamaged_)
        return;
    if (damage_.size() >= kMaxDamage) {
        allDamaged_ = true;
        damage_.clear();
        return;
    }
    const TLine_& line = registerTable ? model.RegisterLines[index]
                                       : static_cast<const TLine_&>(model.ConfigLines[index]);
    damage_.push_back(SegmentBox(line.X1, line.Y1, line.X2, line.Y2, kLineWidth));
}

void MarkPainter::Flush(const Configuration& state, DiagramSurface& surface) {
    const TModel& model = state.Model;
    std::vector<Paint> log;
    std::vector<bool> dropped;
    log.swap(log_);
    dropped.swap(dropped_);
    live_ = 0;
    lastConnectors_ = 0;
    for (const Paint& paint : log) {
        if (paint.What == Paint::Kind::ConfigLine)
            lastConfig_[paint.Index] = 0;
        else if (paint.What == Paint::Kind::RegisterLine)
            lastRegister_[paint.Index] = 0;
    }
    for (std::size_t k = 0; k < log.size(); ++k) {
        if (dropped[k])
            continue;
        const Paint& paint = log[k];
        switch (paint.What) {
        case Paint::Kind::ConfigLine:
            PaintLine(model.ConfigLines[paint.Index], ConfigColour(paint.Marked), surface);
            Damage(model, false, paint.Index);
            break;
        case Paint::Kind::RegisterLine:
            PaintLine(model.RegisterLines[paint.Index], RegisterColour(paint.Marked), surface);
            Damage(model, true, paint.Index);
            break;
        case Paint::Kind::Connectors:
            PaintDamagedConnectors(state, surface);
            break;
        }
    }
}

void MarkPainter::PaintDamagedConnectors(const Configuration& state, DiagramSurface& surface) {
    const TModel& model = state.Model;
    const DiagramIndex* index = UsableIndex(state);
    const std::size_t count = model.FollowRules.size() + model.FollowNotRules.size();
    const auto drawn = [this] {
        for (const std::uint16_t id : touchedIds_)
            touched_[id] = false;
        touchedIds_.clear();
        damage_.clear();
        allDamaged_ = false;
    };
    if (allDamaged_ || index == nullptr) {
        PaintConnectors(state, surface);
        drawn();
        return;
    }
    // Every connector whose colour may have changed, or that a painted line may cover.
    chosen_.assign(count, 0);
    std::vector<std::uint32_t> pick;
    const auto choose = [this, &pick](std::uint32_t number) {
        if (chosen_[number] == 0) {
            chosen_[number] = 1;
            pick.push_back(number);
        }
    };
    for (const std::uint16_t id : touchedIds_)
        for (const std::uint32_t number : index->ConnectorsOfId.Of(id))
            choose(number);
    std::vector<std::uint32_t> near;
    for (const PixelBox& box : damage_) {
        near.clear();
        index->Connectors.Meeting(box, near);
        for (const std::uint32_t number : near)
            if (ConnectorBox(model, number).Meets(box))
                choose(number);
    }
    // A connector drawn again covers the ones before it where they cross; each later one it
    // meets is drawn again after it, so every pixel ends in the last connector's colour.
    for (std::size_t k = 0; k < pick.size() && pick.size() <= count / 2; ++k) {
        const std::uint32_t number = pick[k];
        const PixelBox box = ConnectorBox(model, number);
        near.clear();
        index->Connectors.Meeting(box, near);
        for (const std::uint32_t later : near)
            if (later > number && ConnectorBox(model, later).Meets(box))
                choose(later);
    }
    if (pick.size() > count / 2) {
        PaintConnectors(state, surface);
        drawn();
        return;
    }
    std::sort(pick.begin(), pick.end());
    const std::size_t follows = model.FollowRules.size();
    for (const std::uint32_t number : pick) {
        const TFollow_& rule = Connector(model, number);
        const bool active = AnyListedMarked(model, *index, rule.Ids);
        const bool red = number < follows ? active : !active;
        surface.DrawSegment(rule.X1, rule.Y1, rule.X2, rule.Y2, red ? kRed : kBlack,
                            kConnectorWidth);
    }
    drawn();
}

} // namespace quorvel
