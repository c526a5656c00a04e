#include "diagram/LimitLines.h"

#include "diagram/DescriptionParser.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <array>

namespace quorvel {

namespace {

constexpr std::size_t kFixedFields = 6; // the most any of these kinds reads one by one

// The fixed leading fields of a line, trimmed, and the rest of the line from a given field
// on, its fields trimmed and joined again with ",". No list of every field is built, so a
// line of a million commas costs no more than its own text.
class LimitFields {
public:
    explicit LimitFields(std::string_view line) : line_(line) {
        std::size_t from = 0;
        for (;;) {
            const std::size_t comma = line.find(',', from);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            if (count_ < kFixedFields) {
                fields_[count_] = Trim(line.substr(from, end - from));
                starts_[count_] = from;
            }
            ++count_;
            if (comma == std::string_view::npos)
                break;
            from = comma + 1;
        }
    }

    std::size_t Count() const { return count_; }

    std::string_view At(std::size_t i) const {
        if (i >= count_)
            throw ListIndexError("List index out of bounds (" + UIntToText(i) + ")");
        return fields_[i];
    }

    // Fields `first`, `first` + 1, ... joined with ","; empty when there is no such field.
    std::string RestFrom(std::size_t first) const {
        std::string out;
        if (first >= count_)
            return out;
        std::size_t from = starts_[first];
        for (std::size_t i = first;; ++i) {
            const std::size_t comma = line_.find(',', from);
            const std::size_t end = comma == std::string_view::npos ? line_.size() : comma;
            if (i > first)
                out += ',';
            out += Trim(line_.substr(from, end - from));
            if (comma == std::string_view::npos)
                break;
            from = comma + 1;
        }
        return out;
    }

private:
    std::string_view line_;
    std::array<std::string_view, kFixedFields> fields_{};
    std::array<std::size_t, kFixedFields> starts_{};
    std::size_t count_ = 0;
};

int ReadBox(const LimitFields& f) {
    const std::int32_t box = StrToInt(f.At(1));
    if (box < 0 || box >= kValueBoxCount)
        throw ConversionError("value box " + IntToText(box) + " is outside 0.." +
                              IntToText(kValueBoxCount - 1));
    return box;
}

std::optional<double> ReadBound(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    return StrToFloat(text);
}

void AddRange(const LimitFields& f, std::string_view comment, TModel& model) {
    TLimit limit;
    limit.What = TLimit::Kind::Range;
    limit.Box = ReadBox(f);
    limit.Min = ReadBound(f.At(2));
    limit.Max = ReadBound(f.At(3));
    if (!limit.Min && !limit.Max)
        throw ConversionError("RANGE needs a minimum or a maximum");
    if (limit.Min && limit.Max && *limit.Min > *limit.Max)
        throw ConversionError("RANGE minimum " + FloatToPlainText(*limit.Min) +
                              " is above its maximum " + FloatToPlainText(*limit.Max));
    limit.Condition = f.RestFrom(4);
    limit.Text = CommentText(comment);
    model.Limits.push_back(std::move(limit));
}

void AddCheck(const LimitFields& f, std::string_view comment, TModel& model) {
    TLimit limit;
    limit.What = TLimit::Kind::Check;
    limit.Box = ReadBox(f);
    f.At(2);
    limit.Condition = f.RestFrom(2);
    if (limit.Condition.empty())
        throw ConversionError("CHECK needs a condition");
    limit.Text = CommentText(comment);
    model.Limits.push_back(std::move(limit));
}

void AddTyped(const LimitFields& f, std::string_view comment, TModel& model) {
    TTypedField field;
    field.Box = ReadBox(f);
    field.Name = UpperAscii(f.At(2));
    if (field.Name.find('<') == std::string::npos || !RegisterBitRange(field.Name))
        throw ConversionError("TYPED needs a register bit-field such as REG<8:0>, not \"" +
                              field.Name + "\"");
    field.Min = StrToInt(f.At(3));
    field.Max = StrToInt(f.At(4));
    if (field.Min > field.Max)
        throw ConversionError("TYPED minimum " + IntToText(field.Min) + " is above its maximum " +
                              IntToText(field.Max));
    f.At(5);
    field.Mapping = f.RestFrom(5);
    if (field.Mapping.empty())
        throw ConversionError("TYPED needs a formula for the bit-field value");
    field.Comment = std::string(comment);
    model.TypedFields.push_back(std::move(field));
}

} // namespace

bool IsLimitLineKind(std::string_view kind) {
    return kind == kRangeKind || kind == kCheckKind || kind == kTypedKind;
}

std::string CommentText(std::string_view comment) {
    if (comment.starts_with("//"))
        comment.remove_prefix(2);
    return TrimCopy(comment);
}

void ParseLimitLine(std::string_view line, std::string_view comment, TModel& model) {
    const LimitFields fields(line);
    const std::string kind = UpperAscii(fields.At(0));
    if (kind == kRangeKind)
        AddRange(fields, comment, model);
    else if (kind == kCheckKind)
        AddCheck(fields, comment, model);
    else if (kind == kTypedKind)
        AddTyped(fields, comment, model);
}

} // namespace quorvel
