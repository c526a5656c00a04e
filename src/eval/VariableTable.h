#pragma once
// The evaluator's variables: names compared ignoring ASCII case, lines kept in the order they
// were first defined. A value is kept as the number its 15-digit text rendering reads back as,
// which is all a formula can ever see of it.

#include "eval/RenderedValue.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

class VariableTable {
public:
    struct Line {
        std::string Name;   // spelled as in the latest definition
        double Value = 0.0; // as given
        std::optional<double>
            ReadValue; // what a formula reads: nothing if the text does not convert
    };

    // Defines or replaces a variable; `name` must already be checked.
    void Set(std::string_view name, double value);

    // Replaces the value of an existing line, keeping its name.
    void SetAt(int index, double value) {
        Line& line = lines_[static_cast<std::size_t>(index)];
        line.Value = value;
        line.ReadValue = ReadBack(value);
    }

    // Index of the line with this name (ignoring ASCII case), or -1.
    int Find(std::string_view name) const;
    const Line& At(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    std::size_t Size() const { return lines_.size(); }

private:
    // What a formula reads of a value: the number its 15-digit text reads back as.
    static std::optional<double> ReadBack(double value) {
        const double read = RenderedValueQuick(value);
        if (std::isnan(read)) // the text does not read back
            return std::nullopt;
        return read;
    }

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    std::vector<Line> lines_;
    std::unordered_map<std::string, int, Hash, Equal> index_;
};

} // namespace quorvel
