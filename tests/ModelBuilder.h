#pragma once
// Builds small models in code, the way the description parser would fill them, so that the
// marking, click and calculation tests do not depend on description files.

#include "diagram/Model.h"

#include <string>

namespace quorvel::test {

struct LineSpec {
    std::string name;
    std::uint16_t id = 0;
    std::uint16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int32_t alt = -1;
    std::int32_t link = -1;
    std::uint32_t value = 0;
    double calcValue = 1.0;
    std::string comment;
};

// Fills the fields every clickable line has.
template <typename Line> Line MakeLine(const LineSpec& s) {
    Line line;
    line.Name = s.name;
    line.Id = s.id;
    line.X1 = s.x1;
    line.Y1 = s.y1;
    line.X2 = s.x2;
    line.Y2 = s.y2;
    line.AltGroup = s.alt;
    line.LinkGroup = s.link;
    line.Value = s.value;
    line.CalcValue = s.calcValue;
    return line;
}

inline void AddConfigLine(TModel& m, const LineSpec& s) {
    m.ConfigLines.push_back(MakeLine<TLine_>(s));
    m.ConfigLineMarked.push_back(false);
    if (m.CalcVarNames.IndexOf(s.name) < 0) {
        m.CalcVarNames.Add(s.name);
        m.CalcVals.push_back({s.name, s.calcValue});
    }
}

inline void AddRegisterLine(TModel& m, const LineSpec& s) {
    TLineRegister_ line = MakeLine<TLineRegister_>(s);
    line.Comment = s.comment;
    m.RegisterLines.push_back(line);
    m.RegisterLineMarked.push_back(false);
    if (m.RegNames.IndexOf(s.name) < 0) {
        m.RegNames.Add(s.name);
        m.RegVals.push_back({s.name, 0, s.calcValue, "", false});
    }
}

} // namespace quorvel::test
