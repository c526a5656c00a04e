#pragma once
// The evaluator's variables: names compared ignoring ASCII case, lines kept in the order they
// were first defined. A value is kept as the number its 15-digit text rendering reads back as,
// which is all a formula can ever see of it.

#include "eval/RenderedValue.h"

#include <cstddef>
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
    };

    // Defines or replaces a variable; `name` must already be checked.
    void Set(std::string_view name, double value);

    // Replaces the value of an existing line, keeping its name.
    void SetAt(int index, double value) {
        const auto at = static_cast<std::size_t>(index);
        lines_[at].Value = value;
        reads_[at] = RenderedValueQuick(value);
    }

    // Index of the line with this name (ignoring ASCII case), or -1.
    int Find(std::string_view name) const;
    const Line& At(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    std::size_t Size() const { return reads_.size(); }

    // What a formula reads of a line's value, the number its 15-digit text reads back as;
    // NaN (which no text reads back as) when that text does not convert.
    double ReadAt(int index) const { return reads_[static_cast<std::size_t>(index)]; }
    // The same for every line at once, in line order, for the compiled forms' runs.
    const double* Reads() const { return reads_.data(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    std::vector<Line> lines_;
    std::vector<double> reads_; // ReadAt of each line, kept apart so that runs read them densely
    std::unordered_map<std::string, int, Hash, Equal> index_;
};

} // namespace quorvel
