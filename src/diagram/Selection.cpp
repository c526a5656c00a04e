#include "diagram/Selection.h"

#include "util/NumberText.h"

#include <algorithm>

namespace quorvel {

bool TSelection::HitTest(int x, int y, int x1, int y1, int x2, int y2) {
    return x1 - 3 <= x && y1 - 3 <= y && x <= x2 + 3 && y <= y2 + 3;
}

void TSelection::Image1MouseDown(MouseButton button, int x, int y,
                                 const std::function<void()>& recalculate) {
    switch (button) {
    case MouseButton::Left:
        if (!SelectConfigLines(x, y, recalculate))
            SelectRegisterLines(x, y, recalculate);
        break;
    case MouseButton::Middle:
        firstX_ = static_cast<std::uint16_t>(x);
        firstY_ = static_cast<std::uint16_t>(y);
        break;
    case MouseButton::Right:
        secondX_ = static_cast<std::uint16_t>(x);
        secondY_ = static_cast<std::uint16_t>(y);
        clipboard_.SetClipboardText(PointsText());
        break;
    case MouseButton::Other:
        break;
    }
}

std::string TSelection::PointsText() const {
    return IntToText(firstX_) + ", " + IntToText(firstY_) + ", " + IntToText(secondX_) + ", " +
           IntToText(secondY_) + ", ";
}

bool TSelection::SelectConfigLines(int x, int y, const std::function<void()>& recalculate) {
    bool hit = false;
    auto& lines = model_.ConfigLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLine_& line = lines[i];
        if (!HitTest(x, y, line.X1, line.Y1, line.X2, line.Y2))
            continue;
        hit = true;
        marking_.MarkLine(i);
        ShowSettingLabel(line.Name, line.Value);
        for (TCalcVal& val : model_.CalcVals)
            if (val.Name == line.Name)
                val.Value = line.CalcValue;
        if (line.LinkGroup != -1)
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (lines[k].LinkGroup == line.LinkGroup)
                    marking_.MarkLine(k);
        if (line.AltGroup != -1)
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (k != i && lines[k].AltGroup == line.AltGroup)
                    marking_.UnmarkLine(k);
        ApplyExclGroups(line.Id);
        marking_.DrawFollows();
        marking_.DrawFollowNots();
        if (recalculate)
            recalculate();
    }
    return hit;
}

void TSelection::SelectRegisterLines(int x, int y, const std::function<void()>& recalculate) {
    auto& lines = model_.RegisterLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLineRegister_& line = lines[i];
        if (!HitTest(x, y, line.X1, line.Y1, line.X2, line.Y2))
            continue;
        marking_.MarkLineRegister(i);
        for (TRegVal& val : model_.RegVals) {
            if (val.Name == line.Name) {
                val.Value = line.Value;
                val.Comment = line.Comment;
                val.CalcValue = line.CalcValue;
                val.Chosen = true;
            }
        }
        if (line.LinkGroup != -1)
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (lines[k].LinkGroup == line.LinkGroup)
                    marking_.MarkLineRegister(k);
        if (line.AltGroup != -1)
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (k != i && lines[k].AltGroup == line.AltGroup)
                    marking_.UnmarkLineRegister(k);
        ApplyExclGroups(line.Id);
        marking_.DrawFollows();
        marking_.DrawFollowNots();
        if (recalculate)
            recalculate();
    }
}

void TSelection::ShowSettingLabel(const std::string& name, std::uint32_t value) {
    for (const TConfigWord& word : model_.ConfigWords) {
        for (const TField& field : word.Fields) {
            if (field.Name != name)
                continue;
            for (const TSetting& setting : field.Settings) {
                if (setting.Value != value)
                    continue;
                const auto& names = model_.CalcVarNames.Items();
                const std::size_t limit = std::min<std::size_t>(
                    names.size(), static_cast<std::size_t>(kLabelledNameCount));
                for (std::size_t l = 0; l < limit; ++l)
                    if (names[l] == name)
                        labels_.SetCaption(static_cast<int>(2 * l + 2), setting.Description);
                return;
            }
        }
    }
}

void TSelection::ApplyExclGroups(std::uint16_t id) {
    for (const TExcl_Groups& group : model_.ExclGroups) {
        if (std::find(group.Ids.begin(), group.Ids.end(), id) == group.Ids.end())
            continue;
        for (const std::uint16_t member : group.Ids)
            if (member != id)
                marking_.UnmarkById(member);
    }
}

} // namespace quorvel
