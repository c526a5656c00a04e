#include "diagram/DescriptionParser.h"

#include "diagram/LimitLines.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <array>
#include <vector>

namespace quorvel {

namespace {

// Every list of the model is indexed with 16-bit counters.
constexpr std::size_t kMaxListEntries = 65536;
// A comment keeps at most this many characters from its "//" on.
constexpr std::size_t kCommentLength = 255;
// The click box of a line reaches 3 pixels beyond its end points and is computed on unsigned
// 16-bit values, so end points outside this range would wrap around.
constexpr std::int32_t kMinLineCoordinate = 3;
constexpr std::int32_t kMaxLineCoordinate = 65532;
// Register bit-fields live in a 32-bit register; the code generator reads at most this many
// characters of a bit range.
constexpr std::int64_t kHighestBit = 31;
constexpr std::size_t kBitRangeLength = 255;

constexpr std::size_t kLineFieldCount = 10;
constexpr std::size_t kCalcValueField = 10;
constexpr std::size_t kFollowIdsField = 5;

[[noreturn]] void ThrowRangeError() {
    throw ConversionError(kRangeCheckError);
}

template <typename T> void CheckRoom(const std::vector<T>& list) {
    if (list.size() >= kMaxListEntries)
        ThrowRangeError();
}

std::uint16_t ToWord(std::string_view text) {
    const std::int32_t value = StrToInt(text);
    if (value < 0 || value > 65535)
        ThrowRangeError();
    return static_cast<std::uint16_t>(value);
}

// The comma-separated fields of one line, each trimmed, the first also upper-cased; reading a
// field that is not there is the index error. Fields are views into the line: a line of a
// million commas costs no more memory than a short one.
class Fields {
public:
    explicit Fields(std::string_view line) : line_(line) {
        // One pass over the line: a search per field costs more than the field itself on
        // lines of a dozen short numbers.
        std::size_t from = 0;
        for (std::size_t i = 0;; ++i) {
            if (i < line.size() && line[i] != ',')
                continue;
            const std::string_view field = Trim(line.substr(from, i - from));
            if (count_ == 0)
                first_ = UpperAscii(field);
            else if (count_ < kKept)
                kept_[count_] = field;
            else if (count_ == kKept)
                rest_ = from;
            ++count_;
            if (i == line.size())
                break;
            from = i + 1;
        }
        kept_[0] = first_;
    }
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;

    std::size_t Count() const { return count_; }

    std::string_view At(std::size_t i) const {
        if (i >= count_)
            throw ListIndexError("List index out of bounds (" + UIntToText(i) + ")");
        if (i < kKept)
            return kept_[i];
        std::string_view found;
        ForEachFrom(i, [&](std::string_view field) {
            found = field;
            return false;
        });
        return found;
    }

    // Calls visit(field) for the fields from index `first` on, until it returns false.
    template <typename Visit> void ForEachFrom(std::size_t first, Visit&& visit) const {
        for (std::size_t i = first; i < count_ && i < kKept; ++i)
            if (!visit(kept_[i]))
                return;
        if (count_ <= kKept)
            return;
        std::size_t from = rest_;
        for (std::size_t i = kKept; i < count_; ++i) {
            const std::size_t comma = line_.find(',', from);
            const std::size_t end = comma == std::string_view::npos ? line_.size() : comma;
            if (i >= first && !visit(Trim(line_.substr(from, end - from))))
                return;
            from = end + 1;
        }
    }

    std::int32_t Integer(std::size_t i) const { return StrToInt(At(i)); }
    std::uint16_t Word(std::size_t i) const { return ToWord(At(i)); }
    std::uint16_t Coordinate(std::size_t i) const {
        const std::int32_t value = Integer(i);
        if (value < kMinLineCoordinate || value > kMaxLineCoordinate)
            ThrowRangeError();
        return static_cast<std::uint16_t>(value);
    }

private:
    // Every kind of line reads its fixed fields among the first ones.
    static constexpr std::size_t kKept = 12;

    std::string_view line_;
    std::string first_;
    std::array<std::string_view, kKept> kept_{};
    std::size_t count_ = 0;
    std::size_t rest_ = 0; // where field kKept starts
};

void CheckBitRange(std::string_view name) {
    const auto range = RegisterBitRange(name);
    if (!range)
        return; // the code generator reports a range that is no number
    for (const std::int64_t bit : {range->High, range->Low})
        if (bit < 0 || bit > kHighestBit)
            ThrowRangeError();
}

// Fills the fields every configuration and register line has.
void ReadLineFields(const Fields& f, TLine_& line) {
    line.Name = std::string(f.At(0));
    line.Id = f.Word(1);
    line.Spare = f.Word(2);
    line.X1 = f.Coordinate(3);
    line.Y1 = f.Coordinate(4);
    line.X2 = f.Coordinate(5);
    line.Y2 = f.Coordinate(6);
    line.AltGroup = f.Integer(7);
    line.LinkGroup = f.Integer(8);
    const std::int32_t value = f.Integer(9);
    if (value < 0)
        ThrowRangeError();
    line.Value = static_cast<std::uint32_t>(value);
    // A ten-field line's variable takes the setting value; a text that is no number keeps 1.
    const std::string_view calc = f.Count() > kLineFieldCount ? f.At(kCalcValueField) : f.At(9);
    line.CalcValue = ParseFloat(calc).value_or(1.0);
}

// True when the last line of `lines` has this very name, which is then in the name list
// already: the lines of one field mostly stand together, and this spares the list's lookup.
template <typename Line> bool NamedAsLast(const std::vector<Line>& lines, const std::string& name) {
    return !lines.empty() && lines.back().Name == name;
}

void AddConfigLine(const Fields& f, TModel& model) {
    TLine_ line;
    ReadLineFields(f, line);
    CheckRoom(model.ConfigLines);
    if (!NamedAsLast(model.ConfigLines, line.Name) && model.CalcVarNames.IndexOf(line.Name) < 0) {
        model.CalcVarNames.Add(line.Name);
        model.CalcVals.push_back(TCalcVal{line.Name, line.CalcValue});
    }
    model.ConfigLines.push_back(std::move(line));
    model.ConfigLineMarked.push_back(false);
}

void AddRegisterLine(const Fields& f, std::string_view comment, TModel& model) {
    CheckBitRange(f.At(0));
    TLineRegister_ line;
    ReadLineFields(f, line);
    line.Comment = comment;
    CheckRoom(model.RegisterLines);
    if (!NamedAsLast(model.RegisterLines, line.Name) && model.RegNames.IndexOf(line.Name) < 0) {
        model.RegNames.Add(line.Name);
        model.RegVals.push_back(TRegVal{line.Name, 0, line.CalcValue, std::string(), false});
    }
    model.RegisterLines.push_back(std::move(line));
    model.RegisterLineMarked.push_back(false);
}

void AddIdentifier(std::vector<std::uint16_t>& ids, std::string_view text) {
    const std::uint16_t id = ToWord(text);
    CheckRoom(ids);
    ids.push_back(id);
}

void AddFollowRule(const Fields& f, std::vector<TFollow_>& rules) {
    TFollow_ rule;
    rule.X1 = f.Word(1);
    rule.Y1 = f.Word(2);
    rule.X2 = f.Word(3);
    rule.Y2 = f.Word(4);
    // Identifiers are separated by blanks within one field.
    const std::string_view ids = f.At(kFollowIdsField);
    std::size_t from = 0;
    while (from <= ids.size()) {
        std::size_t blank = ids.find(' ', from);
        if (blank == std::string_view::npos)
            blank = ids.size();
        const std::string_view id = Trim(ids.substr(from, blank - from));
        if (!id.empty())
            AddIdentifier(rule.Ids, id);
        from = blank + 1;
    }
    CheckRoom(rules);
    rules.push_back(std::move(rule));
}

void AddExclusionGroup(const Fields& f, TModel& model) {
    // One identifier per field.
    TExcl_Groups group;
    f.ForEachFrom(1, [&](std::string_view field) {
        if (!field.empty())
            AddIdentifier(group.Ids, field);
        return true;
    });
    CheckRoom(model.ExclGroups);
    model.ExclGroups.push_back(std::move(group));
}

void AddValueBox(const Fields& f, std::string_view comment, TModel& model, ValueBoxView& boxes) {
    TFormula formula;
    formula.Quantity = CommentText(comment);
    formula.X = f.Word(1);
    formula.Y = f.Word(2);
    std::string left;
    std::string right;
    SplitAtFirst(f.At(3), "=", left, right);
    formula.Name = TrimCopy(left);
    formula.Expression = TrimCopy(right);
    // Commas split an expression into fields; put them back (the blanks around them are gone).
    f.ForEachFrom(4, [&](std::string_view field) {
        formula.Expression += ',';
        formula.Expression += field;
        return true;
    });
    CheckRoom(model.Formulas);
    model.Formulas.push_back(formula);

    if (model.ValueBoxCount >= kValueBoxCount)
        ThrowRangeError();
    const int box = model.ValueBoxCount;
    const bool input = formula.Expression.empty();
    boxes.SetPosition(box, formula.X, formula.Y);
    boxes.SetInputStyle(box, input);
    if (input)
        boxes.SetText(box, kInputBoxText);
    boxes.SetVisible(box, true);
    ++model.ValueBoxCount;
}

bool IsIdentifier(std::string_view text) {
    if (text.empty() || (text[0] >= '0' && text[0] <= '9'))
        return false;
    for (const char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

// SEQUENCE, REGISTER, BEFORE|AFTER, TARGET, VALUE[, VALUE]...
void AddWriteSequence(const Fields& f, TModel& model) {
    TWriteSequence sequence;
    sequence.Register = UpperAscii(f.At(1));
    if (!IsIdentifier(sequence.Register))
        throw ConversionError("SEQUENCE needs a register name, not \"" + std::string(f.At(1)) +
                              "\"");
    const std::string position = UpperAscii(f.At(2));
    if (position != "BEFORE" && position != "AFTER")
        throw ConversionError("SEQUENCE needs BEFORE or AFTER, not \"" + std::string(f.At(2)) +
                              "\"");
    sequence.After = position == "AFTER";
    sequence.Target = std::string(f.At(3));
    if (!IsIdentifier(sequence.Target))
        throw ConversionError("SEQUENCE needs the name of the register it writes, not \"" +
                              sequence.Target + "\"");
    f.At(4); // at least one value
    f.ForEachFrom(4, [&](std::string_view field) {
        const std::int64_t value = StrToInt64(field);
        if (value < 0 || value > 0xFFFFFFFFLL)
            ThrowRangeError();
        CheckRoom(sequence.Values);
        sequence.Values.push_back(static_cast<std::uint32_t>(value));
        return true;
    });
    CheckRoom(model.WriteSequences);
    model.WriteSequences.push_back(std::move(sequence));
}

} // namespace

std::optional<BitRange> RegisterBitRange(std::string_view name) {
    const std::size_t open = name.find('<');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string_view bits = name.substr(open + 1, kBitRangeLength);
    if (!bits.empty())
        bits.remove_suffix(1); // the closing ">"
    std::string_view high = bits;
    std::string_view low = bits;
    const std::size_t colon = bits.find(':');
    if (colon != std::string_view::npos) {
        high = bits.substr(0, colon);
        low = bits.substr(colon + 1);
    }
    const auto hi = ParseInteger(high);
    const auto lo = ParseInteger(low);
    if (!hi || !lo)
        return std::nullopt;
    return BitRange{*hi, *lo};
}

std::string DescriptionFileName(const std::string& diagramName) {
    return "Quorvel_" + diagramName + "_lines.txt";
}

void ClearDiagramLines(TModel& model) {
    model.ConfigLines.clear();
    model.ConfigLineMarked.clear();
    model.RegisterLines.clear();
    model.RegisterLineMarked.clear();
    model.FollowRules.clear();
    model.FollowNotRules.clear();
    model.ExclGroups.clear();
    model.WriteSequences.clear();
}

void ClearDiagramNames(TModel& model) {
    model.CalcVarNames.Clear();
    model.RegNames.Clear();
    model.RegVals.clear();
    model.CalcVals.clear();
    model.Formulas.clear();
    model.ValueBoxCount = 0;
    model.Limits.clear();
    model.TypedFields.clear();
}

void ForEachDescriptionLine(std::string_view text,
                            const std::function<void(std::size_t, std::string_view)>& visit) {
    std::size_t number = 0;
    std::size_t from = 0;
    std::string withoutCr;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        from = end + 1;
        if (line.find('\r') != std::string_view::npos) {
            withoutCr.assign(line);
            std::erase(withoutCr, '\r');
            line = withoutCr;
        }
        visit(++number, line);
    }
}

void ParseDescriptionLine(std::string_view line, TModel& model, ValueBoxView& boxes) {
    // Most lines never read their comment: it stays a view into the line.
    std::string_view comment;
    const std::size_t slashes = line.find("//");
    if (slashes != std::string_view::npos) {
        comment = Trim(line.substr(slashes, kCommentLength));
        line = line.substr(0, slashes);
    }
    line = Trim(line);
    if (line.empty())
        return;
    const Fields fields(line);
    const std::string_view kind = fields.At(0);

    if (kind.find('<') != std::string::npos)
        AddRegisterLine(fields, comment, model);
    else if (kind == "FOLLOW")
        AddFollowRule(fields, model.FollowRules);
    else if (kind == "FOLLOW_NOT")
        AddFollowRule(fields, model.FollowNotRules);
    else if (kind == "EXCL")
        AddExclusionGroup(fields, model);
    else if (kind == "SHOWVAL")
        AddValueBox(fields, comment, model, boxes);
    else if (IsLimitLineKind(kind))
        ParseLimitLine(line, comment, model);
    else if (kind == "SEQUENCE")
        AddWriteSequence(fields, model);
    else
        AddConfigLine(fields, model);
}

void ParseDiagramDescription(std::string_view text, TModel& model, ValueBoxView& boxes) {
    ClearDiagramLines(model);
    ClearDiagramNames(model);
    ForEachDescriptionLine(text, [&](std::size_t, std::string_view line) {
        ParseDescriptionLine(line, model, boxes);
    });
}

std::string ReadDescriptionFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text))
        throw FileError(kFileNotFoundMessage);
    return text;
}

void LoadDiagramDescription(const std::string& diagramName, TModel& model, ValueBoxView& boxes) {
    ClearDiagramLines(model);
    const std::string text = ReadDescriptionFile(DescriptionFileName(diagramName));
    ParseDiagramDescription(text, model, boxes);
}

} // namespace quorvel
