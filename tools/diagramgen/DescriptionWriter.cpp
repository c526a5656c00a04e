#include "DescriptionWriter.h"

#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace quorvel::diagramgen {

namespace {

// "OSCCON<6:4>" sorts as ("OSCCON", 6).
std::pair<std::string, int> RegisterKey(const std::string& name) {
    const std::size_t open = name.find('<');
    const auto high =
        ParseInteger(name.substr(open + 1, name.find_first_of(":>", open) - open - 1));
    return {name.substr(0, open), high ? static_cast<int>(*high) : 0};
}

// Lines of one kind, the default line of each name first. Configuration fields keep the order
// of the diagram source (it decides which label pair shows them); register fields are sorted
// by register and from the highest bit down, the order of the generated code.
std::vector<const ClickLine*> Ordered(const Diagram& d, bool registers) {
    std::vector<std::string> names;
    for (const ClickLine& l : d.lines)
        if (l.IsRegister() == registers &&
            std::find(names.begin(), names.end(), l.name) == names.end())
            names.push_back(l.name);
    if (registers)
        std::stable_sort(
            names.begin(), names.end(), [](const std::string& a, const std::string& b) {
                const auto ka = RegisterKey(a);
                const auto kb = RegisterKey(b);
                return ka.first != kb.first ? ka.first < kb.first : ka.second > kb.second;
            });
    std::vector<const ClickLine*> out;
    for (const std::string& name : names) {
        for (const ClickLine& l : d.lines)
            if (l.name == name && l.isDefault)
                out.push_back(&l);
        for (const ClickLine& l : d.lines)
            if (l.name == name && !l.isDefault)
                out.push_back(&l);
    }
    return out;
}

std::string Hex32(std::uint32_t v) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(v >> shift) & 0xF];
    return text;
}

std::string Number(int v) {
    return std::to_string(v);
}

void AppendLine(std::string& out, const ClickLine& l) {
    out += l.name + ", " + Number(l.id) + ", 0, " + Number(l.x1) + ", " + Number(l.y1) + ", " +
           Number(l.x2) + ", " + Number(l.y2) + ", " + Number(l.altGroup) + ", " +
           Number(l.linkGroup) + ", " + std::to_string(l.value) + ", " +
           FloatToPlainText(l.calcValue) + " // " + l.comment + "\n";
}

} // namespace

std::string WriteDescription(const Diagram& d) {
    std::string out;
    out += "// " + d.title + "\n";
    out += "// Drawn together with Quorvel_" + d.name +
           ".bmp by tools/diagramgen; change the diagram there, not here.\n";
    out += "//\n// Configuration lines: field, id, spare, x1, y1, x2, y2, alternatives group, "
           "link group,\n// setting value, value for the formulas\n";
    for (const ClickLine* l : Ordered(d, false))
        AppendLine(out, *l);
    out += "//\n// Register lines: register<bits>, id, spare, x1, y1, x2, y2, alternatives "
           "group, link group,\n// bit-field value, value for the formulas; the comment "
           "goes into the generated code\n";
    for (const ClickLine* l : Ordered(d, true))
        AppendLine(out, *l);
    out += "//\n// Connectors: x1, y1, x2, y2, lines (ids separated by blanks)\n";
    for (const FollowRule& f : d.follows) {
        out += std::string(f.whenNoneChosen ? "FOLLOW_NOT" : "FOLLOW") + ", " + Number(f.x1) +
               ", " + Number(f.y1) + ", " + Number(f.x2) + ", " + Number(f.y2) + ",";
        for (int id : f.ids)
            out += " " + Number(id);
        out += "\n";
    }
    if (!d.sequences.empty()) {
        out += "//\n// Write sequences: register, BEFORE or AFTER its writes, register written, "
               "values in order\n";
        for (const WriteSequence& w : d.sequences) {
            out += "SEQUENCE, " + w.reg + (w.after ? ", AFTER, " : ", BEFORE, ") + w.target;
            for (const std::uint32_t v : w.values)
                out += ", " + Hex32(v);
            out += " // " + w.comment + "\n";
        }
    }
    out += "//\n// Value boxes in calculation order: x, y, name = formula (empty: input box)\n";
    for (const ValueBox& box : d.boxes) {
        out += "SHOWVAL, " + Number(box.x) + ", " + Number(box.y) + ", " + box.name + " =";
        if (!box.expression.empty())
            out += " " + box.expression;
        out += " // " + box.quantity + "\n";
    }
    if (!d.limits.empty()) {
        out += "//\n// Limits, checked after every calculation: RANGE, box, minimum, maximum, "
               "condition\n// (empty: always) // label; CHECK, box, condition // message\n";
        for (const Limit& l : d.limits) {
            if (l.isCheck)
                out += "CHECK, " + Number(l.box) + ", " + l.condition;
            else
                out += "RANGE, " + Number(l.box) + ", " + l.min + ", " + l.max +
                       (l.condition.empty() ? "" : ", " + l.condition);
            out += " // " + l.text + "\n";
        }
    }
    if (!d.typed.empty()) {
        out += "//\n// Typed bit-fields: input box, register<bits>, lowest and highest number, "
               "bit-field value;\n// the comment and the number go into the generated code\n";
        for (const TypedField& t : d.typed)
            out += "TYPED, " + Number(t.box) + ", " + t.name + ", " + Number(t.min) + ", " +
                   Number(t.max) + ", " + t.mapping + " // " + t.comment + "\n";
    }
    return out;
}

} // namespace quorvel::diagramgen
