#include "diagram/Selection.h"

#include "util/NumberText.h"

#include <algorithm>

namespace quorvel {

bool HitTest(int x, int y, int x1, int y1, int x2, int y2) {
    return x1 - 3 <= x && y1 - 3 <= y && x <= x2 + 3 && y <= y2 + 3;
}

namespace {

template <typename Line>
void AddHits(const std::vector<Line>& lines, bool registerTable, int x, int y,
             std::vector<LineRef>& hits) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLine_& line = lines[i];
        if (HitTest(x, y, line.X1, line.Y1, line.X2, line.Y2))
            hits.push_back({registerTable, i});
    }
}

const TLine_& LineOf(const TModel& model, LineRef ref) {
    if (ref.Register)
        return model.RegisterLines[ref.Index];
    return model.ConfigLines[ref.Index];
}

std::size_t TableSize(const TModel& model, bool registerTable) {
    return registerTable ? model.RegisterLines.size() : model.ConfigLines.size();
}

void PaintConnectors(Changes& changes) {
    changes.Paints.push_back({Paint::Kind::Connectors, false, 0});
}

} // namespace

std::vector<LineRef> LinesAt(const TModel& model, int x, int y) {
    std::vector<LineRef> hits;
    AddHits(model.ConfigLines, false, x, y, hits);
    if (hits.empty())
        AddHits(model.RegisterLines, true, x, y, hits);
    return hits;
}

std::vector<LineRef> LinesAt(const Configuration& state, int x, int y) {
    const DiagramIndex* index = UsableIndex(state);
    if (index == nullptr)
        return LinesAt(state.Model, x, y);
    std::vector<LineRef> hits;
    std::vector<std::uint32_t> candidates;
    for (const bool registerTable : {false, true}) {
        index->Table(registerTable).Hits.AtPoint(x, y, candidates);
        for (const std::uint32_t i : candidates) {
            const TLine_& line = LineOf(state.Model, {registerTable, i});
            if (HitTest(x, y, line.X1, line.Y1, line.X2, line.Y2))
                hits.push_back({registerTable, i});
        }
        if (!hits.empty())
            break;
    }
    return hits;
}

void SetLineMark(Configuration& state, LineRef line, bool marked, Changes& changes) {
    auto& flags = line.Register ? state.Model.RegisterLineMarked : state.Model.ConfigLineMarked;
    flags[line.Index] = marked;
    changes.Paints.push_back(
        {line.Register ? Paint::Kind::RegisterLine : Paint::Kind::ConfigLine, marked, line.Index});
}

void UnmarkAllLines(Configuration& state, bool registerTable, Changes& changes) {
    const std::size_t count = TableSize(state.Model, registerTable);
    for (std::size_t i = 0; i < count; ++i)
        SetLineMark(state, {registerTable, i}, false, changes);
}

void UnmarkById(Configuration& state, std::uint16_t id, Changes& changes) {
    if (const DiagramIndex* index = UsableIndex(state)) {
        for (const bool registerTable : {false, true})
            for (const std::uint32_t i : index->Table(registerTable).Ids.Of(id))
                SetLineMark(state, {registerTable, i}, false, changes);
        return;
    }
    for (const bool registerTable : {false, true}) {
        const std::size_t count = TableSize(state.Model, registerTable);
        for (std::size_t i = 0; i < count; ++i)
            if (LineOf(state.Model, {registerTable, i}).Id == id)
                SetLineMark(state, {registerTable, i}, false, changes);
    }
}

void ApplyExclGroups(Configuration& state, std::uint16_t id, Changes& changes) {
    if (const DiagramIndex* index = UsableIndex(state)) {
        for (const std::uint32_t g : index->ExclOfId.Of(id))
            for (const std::uint16_t member : state.Model.ExclGroups[g].Ids)
                if (member != id)
                    UnmarkById(state, member, changes);
        return;
    }
    for (const TExcl_Groups& group : state.Model.ExclGroups) {
        if (std::find(group.Ids.begin(), group.Ids.end(), id) == group.Ids.end())
            continue;
        for (const std::uint16_t member : group.Ids)
            if (member != id)
                UnmarkById(state, member, changes);
    }
}

void ChooseLine(Configuration& state, LineRef ref, Changes& changes) {
    TModel& model = state.Model;
    // A copy: the tables stay as they are, but the reference must not depend on that.
    const TLine_ line = LineOf(model, ref);
    const DiagramIndex* index = UsableIndex(state);
    SetLineMark(state, ref, true, changes);
    if (ref.Register) {
        const TLineRegister_& reg = model.RegisterLines[ref.Index];
        const auto choose = [&reg](TRegVal& val) {
            val.Value = reg.Value;
            val.Comment = reg.Comment;
            val.CalcValue = reg.CalcValue;
            val.Chosen = true;
        };
        if (index != nullptr) {
            for (const std::uint32_t v :
                 index->Register.Values.Of(index->Register.NameOf[ref.Index]))
                choose(model.RegVals[v]);
        } else {
            for (TRegVal& val : model.RegVals)
                if (val.Name == reg.Name)
                    choose(val);
        }
    } else {
        ShowSettingLabel(state, line.Name, line.Value, changes);
        if (index != nullptr) {
            for (const std::uint32_t v : index->Config.Values.Of(index->Config.NameOf[ref.Index]))
                model.CalcVals[v].Value = line.CalcValue;
        } else {
            for (TCalcVal& val : model.CalcVals)
                if (val.Name == line.Name)
                    val.Value = line.CalcValue;
        }
    }
    if (index != nullptr) {
        const LineTableIndex& table = index->Table(ref.Register);
        if (line.LinkGroup != -1)
            for (const std::uint32_t k : table.Links.Of(GroupKey(line.LinkGroup)))
                SetLineMark(state, {ref.Register, k}, true, changes);
        if (line.AltGroup != -1)
            for (const std::uint32_t k : table.Alts.Of(GroupKey(line.AltGroup)))
                if (k != ref.Index)
                    SetLineMark(state, {ref.Register, k}, false, changes);
        ApplyExclGroups(state, line.Id, changes);
        PaintConnectors(changes);
        return;
    }
    const std::size_t count = TableSize(model, ref.Register);
    if (line.LinkGroup != -1)
        for (std::size_t k = 0; k < count; ++k)
            if (LineOf(model, {ref.Register, k}).LinkGroup == line.LinkGroup)
                SetLineMark(state, {ref.Register, k}, true, changes);
    if (line.AltGroup != -1)
        for (std::size_t k = 0; k < count; ++k)
            if (k != ref.Index && LineOf(model, {ref.Register, k}).AltGroup == line.AltGroup)
                SetLineMark(state, {ref.Register, k}, false, changes);
    ApplyExclGroups(state, line.Id, changes);
    PaintConnectors(changes);
}

void ShowSettingLabel(Configuration& state, const std::string& name, std::uint32_t value,
                      Changes& changes) {
    const TModel& model = state.Model;
    for (const TConfigWord& word : model.ConfigWords) {
        for (const TField& field : word.Fields) {
            if (field.Name != name)
                continue;
            for (const TSetting& setting : field.Settings) {
                if (setting.Value != value)
                    continue;
                const auto& names = model.CalcVarNames.Items();
                const std::size_t limit = std::min<std::size_t>(
                    names.size(), static_cast<std::size_t>(kLabelledNameCount));
                for (std::size_t l = 0; l < limit; ++l)
                    if (names[l] == name)
                        SetCaption(state, static_cast<int>(2 * l + 2), setting.Description,
                                   changes);
                return;
            }
        }
    }
}

void ClearSettingLabels(Configuration& state, Changes& changes) {
    for (int number = 2; number <= 2 * kLabelledNameCount; number += 2)
        SetCaption(state, number, "", changes);
}

void ClearChoices(Configuration& state, bool configuration, bool registers, Changes& changes) {
    if (configuration)
        UnmarkAllLines(state, false, changes);
    if (registers)
        UnmarkAllLines(state, true, changes);
    if (configuration)
        ClearSettingLabels(state, changes);
    if (registers)
        for (TRegVal& val : state.Model.RegVals)
            val.Chosen = false;
    PaintConnectors(changes);
}

void StoreFirstPoint(Configuration& state, int x, int y) {
    state.FirstX = static_cast<std::uint16_t>(x);
    state.FirstY = static_cast<std::uint16_t>(y);
}

void StoreSecondPoint(Configuration& state, int x, int y, Changes& changes) {
    state.SecondX = static_cast<std::uint16_t>(x);
    state.SecondY = static_cast<std::uint16_t>(y);
    state.ClipboardText = PointsText(state);
    changes.Clipboard = true;
}

std::string PointsText(const Configuration& state) {
    return IntToText(state.FirstX) + ", " + IntToText(state.FirstY) + ", " +
           IntToText(state.SecondX) + ", " + IntToText(state.SecondY) + ", ";
}

} // namespace quorvel
