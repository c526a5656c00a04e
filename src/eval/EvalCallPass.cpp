#include "eval/EvalCallPass.h"

#include "eval/EvalText.h"
#include "util/KivStrings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <map>
#include <vector>

namespace quorvel::evaltext {

namespace {

// For each lower-case letter, the functions whose names start with it, as bits of their
// indices in the table: most names in a formula start with a letter no function name starts
// with, or with one that only a few share.
struct NamesByFirstLetter {
    std::array<std::uint32_t, 26> of{};
    constexpr NamesByFirstLetter() {
        for (int f = 0; f < kFunctionCount; ++f)
            of[static_cast<std::size_t>(kFunctionNames[static_cast<std::size_t>(f)][0] - 'a')] |=
                std::uint32_t{1} << f;
    }
};
static_assert(kFunctionCount <= 32, "the table's indices must fit in the bits of a word");
constexpr NamesByFirstLetter kNamesByFirstLetter;

struct Candidate {
    int function;
    std::size_t start;
};

// Orders the heap so that the first name of the table, then the leftmost, comes out first.
bool ComesLater(const Candidate& a, const Candidate& b) {
    return a.function != b.function ? a.function > b.function : a.start > b.start;
}

class CallPass {
public:
    CallPass(std::string_view text, const CallEvaluator& evaluate)
        : t_(text), evaluate_(evaluate) {}

    bool Run(std::string& out, CallPassError& error) {
        FindCandidates();
        if (heap_.empty())
            return false;
        std::make_heap(heap_.begin(), heap_.end(), ComesLater);
        while (!heap_.empty()) {
            std::pop_heap(heap_.begin(), heap_.end(), ComesLater);
            const Candidate c = heap_.back();
            heap_.pop_back();
            if (Replaced(c.start))
                continue; // inside a call already evaluated
            if (!Replace(c, error))
                return false;
        }
        out = Current(0, t_.size());
        return true;
    }

private:
    struct Replacement {
        std::size_t close; // the ")" that ends the replaced call
        std::string text;  // what stands there now
    };

    // Every name that stands as a call, and every name right behind a ")" that will stand as
    // one once that ")" ends a replaced call.
    void FindCandidates() {
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (ClassOf(t_[i]) != kLetterChar)
                continue;
            const bool stands = i == 0 || CanPrecedeCall(t_[i - 1]);
            if (!stands && t_[i - 1] != ')')
                continue;
            const char lower = static_cast<char>(t_[i] | 0x20);
            // Only the names that start with this letter, in table order.
            for (std::uint32_t names = kNamesByFirstLetter.of[lower - 'a']; names != 0;
                 names &= names - 1) {
                const int f = std::countr_zero(names);
                const std::string_view name = kFunctionNames[static_cast<std::size_t>(f)];
                if (t_.size() - i < name.size())
                    continue;
                bool match = true;
                for (std::size_t k = 1; k < name.size() && match; ++k)
                    match = static_cast<char>(t_[i + k] | 0x20) == name[k] &&
                            ClassOf(t_[i + k]) == kLetterChar;
                const std::size_t end = i + name.size();
                if (!match || (end < t_.size() && !CanFollowCall(t_[end])))
                    continue;
                if (stands)
                    heap_.push_back(Candidate{f, i});
                else
                    behindParen_.push_back(Candidate{f, i});
            }
        }
    }

    // Whether a position of the original text lies in a replaced call.
    bool Replaced(std::size_t pos) const {
        auto it = done_.upper_bound(pos);
        if (it == done_.begin())
            return false;
        --it;
        return pos <= it->second.close;
    }

    // The text as it stands between two positions of the original text.
    std::string Current(std::size_t from, std::size_t to) const {
        std::string s;
        auto it = done_.lower_bound(from);
        std::size_t j = from;
        while (j < to) {
            if (it != done_.end() && it->first < to) {
                s.append(t_, j, it->first - j);
                s += it->second.text;
                j = it->second.close + 1;
                ++it;
            } else {
                s.append(t_, j, to - j);
                j = to;
            }
        }
        return s;
    }

    // As Current, but a part that holds no replacement is read in place; `store` keeps the
    // text otherwise.
    std::string_view CurrentView(std::size_t from, std::size_t to, std::string& store) const {
        const auto it = done_.lower_bound(from);
        if (it == done_.end() || it->first >= to)
            return t_.substr(from, to - from);
        store = Current(from, to);
        return store;
    }

    // Finds the call's parentheses in the text as it stands, evaluates it and records it.
    bool Replace(const Candidate& c, CallPassError& error) {
        const std::size_t end =
            c.start + kFunctionNames[static_cast<std::size_t>(c.function)].size();
        auto next = done_.lower_bound(end); // replacements hold no parentheses: skip them
        std::size_t j = end;
        bool junk = false; // anything but blanks between the name and the "("
        while (j < t_.size()) {
            if (next != done_.end() && next->first == j) {
                junk = true;
                j = next->second.close + 1;
                ++next;
            } else if (t_[j] == '(') {
                break;
            } else {
                junk = junk || !IsBlank(t_[j]);
                ++j;
            }
        }
        const std::size_t open = j;
        std::size_t close = t_.size();
        int depth = 0;
        while (j < t_.size()) {
            if (next != done_.end() && next->first == j) {
                j = next->second.close + 1;
                ++next;
                continue;
            }
            if (t_[j] == '(') {
                ++depth;
            } else if (t_[j] == ')' && --depth == 0) {
                close = j;
                break;
            }
            ++j;
        }
        if (close == t_.size() || junk) {
            error.function = c.function;
            error.kind = open == t_.size()    ? CallPassError::Kind::OpeningExpected
                         : close == t_.size() ? CallPassError::Kind::ClosingExpected
                                              : CallPassError::Kind::OpeningExpectedButFound;
            if (error.kind == CallPassError::Kind::OpeningExpectedButFound)
                error.found = std::string(Trim(Current(end, open)));
            error.text = Current(0, t_.size());
            return false;
        }
        std::string argumentsStore;
        const std::string value =
            evaluate_(c.function, CurrentView(open + 1, close, argumentsStore));
        done_.erase(done_.lower_bound(c.start), done_.upper_bound(close));
        done_.emplace(c.start, Replacement{close, " " + value + " "});
        // A name right behind this ")" now follows a blank.
        const auto behind = std::equal_range(
            behindParen_.begin(), behindParen_.end(), Candidate{0, close + 1},
            [](const Candidate& a, const Candidate& b) { return a.start < b.start; });
        for (auto it = behind.first; it != behind.second; ++it) {
            heap_.push_back(*it);
            std::push_heap(heap_.begin(), heap_.end(), ComesLater);
        }
        return true;
    }

    std::string_view t_;
    const CallEvaluator& evaluate_;
    std::vector<Candidate> heap_;
    std::vector<Candidate> behindParen_; // in order of position
    std::map<std::size_t, Replacement> done_;
};

} // namespace

bool ReduceCalls(std::string_view text, std::string& out, CallPassError& error,
                 const CallEvaluator& evaluate) {
    CallPass pass(text, evaluate);
    return pass.Run(out, error);
}

} // namespace quorvel::evaltext
