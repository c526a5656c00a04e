#include "results/Solver.h"

#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "results/Limits.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace quorvel {

namespace {

using Mask = std::uint64_t;
constexpr int kMaxSearched = 64; // fields beyond these keep their value
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

// One choice of a field.
struct Choice {
    std::uint32_t value = 0;
    double calc = 0.0;       // what the formulas see
    std::int64_t number = 0; // typed number
};

// A field the search may set.
struct Field {
    std::string name;
    std::string variable; // the evaluator's name of it
    bool isRegister = false;
    const TTypedField* typed = nullptr;
    std::vector<Choice> choices;
    int current = -1;         // index of the starting choice, -1 when none is chosen
    double currentCalc = 0.0; // the formulas' value while the field is not decided
    bool locked = false;
    int bit = -1; // its bit in a Mask, -1 when it is never searched
    std::size_t firstUse = static_cast<std::size_t>(-1);
    bool selector = false;
};

// The dependency shape of a formula text: which fields and formulas it reads, and where an
// ifthen or select call makes it read only one of its arguments.
struct Node {
    enum class Kind { Sequence, Field, Formula, Call };
    static Node Of(Kind kind, int index) {
        Node node;
        node.kind = kind;
        node.index = index;
        return node;
    }
    Kind kind = Kind::Sequence;
    int index = 0;        // Field: field index; Formula: formula index
    bool chooses = false; // Call: ifthen or select
    bool isSelect = false;
    std::string text;        // Sequence: its own text, evaluated when a call chooses by it
    std::vector<Node> parts; // Sequence: its items; Call: its arguments (sequences)
    // Cache of the sequence's value for the choices it was computed under.
    mutable std::vector<std::pair<int, int>> cacheKey; // (field, choice)
    mutable double cacheValue = kNoValue;
    mutable bool cacheValid = false;
    mutable bool cacheError = false;
};

class Parser {
public:
    Parser(const std::string& text,
           const std::function<std::optional<Node>(std::string_view)>& resolve)
        : text_(text), resolve_(resolve) {}

    Node Parse() {
        std::size_t pos = 0;
        return Sequence(pos, false);
    }

private:
    Node Sequence(std::size_t& pos, bool stopAtComma) {
        Node seq;
        const std::size_t start = pos;
        while (pos < text_.size()) {
            const char c = text_[pos];
            if (c == ')' || (stopAtComma && c == ','))
                break;
            if (c == '(') {
                ++pos;
                seq.parts.push_back(Sequence(pos, false));
                if (pos < text_.size())
                    ++pos;
                continue;
            }
            if (IsIdentStart(c)) {
                const std::size_t from = pos;
                while (pos < text_.size() && IsIdentChar(text_[pos]))
                    ++pos;
                const std::string_view name(text_.data() + from, pos - from);
                std::size_t after = pos;
                while (after < text_.size() && IsBlank(text_[after]))
                    ++after;
                auto resolved = resolve_(name);
                if (!resolved && after < text_.size() && text_[after] == '(') {
                    pos = after + 1;
                    seq.parts.push_back(Call(LowerAscii(name), pos));
                } else if (resolved) {
                    seq.parts.push_back(std::move(*resolved));
                }
                continue;
            }
            if (c >= '0' && c <= '9') {
                while (pos < text_.size() && (IsIdentChar(text_[pos]) || text_[pos] == '.'))
                    ++pos;
                continue;
            }
            ++pos;
        }
        seq.text = TrimCopy(std::string_view(text_).substr(start, pos - start));
        return seq;
    }

    Node Call(const std::string& name, std::size_t& pos) {
        Node call;
        call.kind = Node::Kind::Call;
        call.chooses = name == "ifthen" || name == "select";
        call.isSelect = name == "select";
        for (;;) {
            call.parts.push_back(Sequence(pos, true));
            if (pos >= text_.size())
                break;
            if (text_[pos] == ')') {
                ++pos;
                break;
            }
            ++pos; // ","
        }
        return call;
    }

    const std::string& text_;
    const std::function<std::optional<Node>(std::string_view)>& resolve_;
};

struct FormulaInfo {
    int box = 0;
    std::string text;     // with register references converted
    std::string variable; // "E" + n
    Node tree;
    // The value last put into the evaluator's variable, to skip setting it again.
    double inEvaluator = kNoValue;
    // Cache of the value for the choices it was computed under.
    std::vector<std::pair<int, int>> cacheKey;
    double shown = kNoValue; // signed, as the box shows it
    double fed = kNoValue;   // as the calculation feeds it back
    bool cacheValid = false;
    bool error = false;
};

struct Item {
    bool isTarget = false;
    int target = 0; // index into request.Targets
    int limit = 0;  // index into model.Limits
    int box = 0;
    std::optional<Node> condition;
    int failures = 0;
};

class Search {
public:
    Search(const TModel& model, const SolveStart& start, const SolveRequest& request)
        : model_(model), start_(start), request_(request) {
        BuildFields();
        BuildFormulas();
        BuildItems();
        OrderFields();
        Prime();
    }

    SolveResult Run() {
        SolveResult result;
        result.Candidates = Candidates();
        for (const Item& item : items_)
            relevant_ |= StaticDeps(item);
        decided_.assign(items_.size(), -1);
        Visit(0);
        Finish();
        result.Solutions = std::move(solutions_);
        result.Evaluated = evaluated_;
        if (result.Solutions.empty())
            result.Reason = Reason();
        return result;
    }

private:
    // --- set-up ---------------------------------------------------------------------------

    void BuildFields() {
        for (std::size_t i = 0; i < model_.CalcVals.size(); ++i) {
            Field f;
            f.name = model_.CalcVals[i].Name;
            f.variable = f.name;
            f.currentCalc = model_.CalcVals[i].Value;
            for (const TLine_& line : model_.ConfigLines)
                if (line.Name == f.name)
                    AddChoice(f, {line.Value, line.CalcValue, 0});
            SetCurrent(f, i < start_.ConfigValues.size() ? start_.ConfigValues[i] : std::nullopt);
            fields_.push_back(std::move(f));
        }
        for (std::size_t i = 0; i < model_.RegVals.size(); ++i) {
            Field f;
            f.name = model_.RegVals[i].Name;
            f.variable = RegisterVariableName(f.name);
            f.isRegister = true;
            f.currentCalc = model_.RegVals[i].CalcValue;
            f.typed = TypedFieldOfName(model_, f.name);
            if (f.typed) {
                const std::vector<std::uint32_t> values = TypedFieldValues(*f.typed);
                for (std::size_t n = 0; n < values.size(); ++n) {
                    const std::int64_t number = f.typed->Min + static_cast<std::int64_t>(n);
                    f.choices.push_back({values[n], static_cast<double>(number), number});
                }
            } else {
                for (const TLineRegister_& line : model_.RegisterLines)
                    if (line.Name == f.name)
                        AddChoice(f, {line.Value, line.CalcValue, 0});
            }
            SetCurrent(f,
                       i < start_.RegisterValues.size() ? start_.RegisterValues[i] : std::nullopt);
            fields_.push_back(std::move(f));
        }
        for (const std::string& name : request_.Locked) {
            bool found = false;
            for (Field& f : fields_)
                if (EqualsIgnoreCaseAscii(f.name, name))
                    f.locked = found = true;
            if (!found)
                throw ConversionError("--lock " + name + ": the diagram has no field of that name");
        }
        for (std::size_t i = 0; i < fields_.size(); ++i)
            byVariable_.emplace(UpperAscii(fields_[i].variable), static_cast<int>(i));
    }

    static void AddChoice(Field& f, const Choice& c) {
        for (const Choice& have : f.choices)
            if (have.value == c.value)
                return;
        f.choices.push_back(c);
    }

    void SetCurrent(Field& f, std::optional<std::uint32_t> value) {
        if (!value)
            return;
        for (std::size_t c = 0; c < f.choices.size(); ++c)
            if (f.choices[c].value == *value) {
                f.current = static_cast<int>(c);
                return;
            }
    }

    // What an identifier of a formula refers to, where `before` formulas have run.
    std::optional<Node> Resolve(std::string_view name, std::size_t before) const {
        const std::string upper = UpperAscii(name);
        if (const auto it = byVariable_.find(upper); it != byVariable_.end())
            return Node::Of(Node::Kind::Field, it->second);
        // A box variable: the latest formula above that sets it, else the box's own number.
        for (std::size_t j = std::min(before, formulas_.size()); j-- > 0;)
            if (UpperAscii(formulas_[j].variable) == upper)
                return Node::Of(Node::Kind::Formula, static_cast<int>(j));
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i].typed && upper == "E" + IntToText(fields_[i].typed->Box))
                return Node::Of(Node::Kind::Field, static_cast<int>(i));
        if (upper.size() > 1 && upper[0] == 'E' && ParseInteger(upper.substr(1)))
            return Node{}; // a constant: an empty sequence
        return std::nullopt;
    }

    Node Tree(const std::string& text, std::size_t before) const {
        const std::function<std::optional<Node>(std::string_view)> resolve =
            [&](std::string_view name) { return Resolve(name, before); };
        return Parser(text, resolve).Parse();
    }

    void BuildFormulas() {
        for (std::size_t k = 0; k < model_.Formulas.size(); ++k) {
            const TFormula& formula = model_.Formulas[k];
            if (formula.Expression.empty())
                continue;
            const auto n = formula.Name.size() > 1
                               ? ParseInteger(std::string_view(formula.Name).substr(1, 255))
                               : std::nullopt;
            if (!n || *n < 0 || *n > 65535 || k >= static_cast<std::size_t>(kValueBoxCount))
                break; // the calculation stops here too
            FormulaInfo info;
            info.box = static_cast<int>(k);
            info.text = ConvertBitTags(formula.Expression);
            info.variable = "E" + IntToText(*n);
            info.tree = Tree(info.text, formulas_.size());
            formulas_.push_back(std::move(info));
            formulaOfBox_[static_cast<int>(k)] = static_cast<int>(formulas_.size()) - 1;
        }
    }

    void BuildItems() {
        for (std::size_t t = 0; t < request_.Targets.size(); ++t) {
            Item item;
            item.isTarget = true;
            item.target = static_cast<int>(t);
            item.box = request_.Targets[t].Box;
            items_.push_back(std::move(item));
        }
        for (std::size_t l = 0; l < model_.Limits.size(); ++l) {
            const TLimit& limit = model_.Limits[l];
            if (limit.Box < 0 || limit.Box >= model_.ValueBoxCount ||
                static_cast<std::size_t>(limit.Box) >= model_.Formulas.size())
                continue;
            Item item;
            item.limit = static_cast<int>(l);
            item.box = limit.Box;
            if (!limit.Condition.empty())
                item.condition = Tree(ConvertBitTags(limit.Condition), formulas_.size());
            items_.push_back(std::move(item));
        }
        // Limits first: a target is measured only on choices within the limits so far.
        std::stable_partition(items_.begin(), items_.end(),
                              [](const Item& item) { return !item.isTarget; });
    }

    // Notes where each field is first read; a field read by the selector of an ifthen or
    // select call, or by a limit's condition, also counts as a selector.
    void NoteUses(const Node& node, std::size_t& position, bool selector) {
        if (node.kind == Node::Kind::Field) {
            Field& f = fields_[static_cast<std::size_t>(node.index)];
            f.firstUse = std::min(f.firstUse, position++);
            f.selector = f.selector || selector;
        } else if (node.kind == Node::Kind::Formula && selector) {
            NoteUses(formulas_[static_cast<std::size_t>(node.index)].tree, position, true);
        }
        for (std::size_t i = 0; i < node.parts.size(); ++i)
            NoteUses(node.parts[i], position,
                     selector || (node.kind == Node::Kind::Call && node.chooses && i == 0));
    }

    // Fields are tried selectors first, each group in the order the formulas first read them:
    // a chosen selector tells which of the other fields matter at all.
    void OrderFields() {
        std::size_t position = 0;
        for (const FormulaInfo& f : formulas_)
            NoteUses(f.tree, position, false);
        for (const Item& item : items_)
            if (item.condition)
                NoteUses(*item.condition, position, true);
        order_.resize(fields_.size());
        for (std::size_t i = 0; i < fields_.size(); ++i)
            order_[i] = static_cast<int>(i);
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            const Field& x = fields_[static_cast<std::size_t>(a)];
            const Field& y = fields_[static_cast<std::size_t>(b)];
            if (x.selector != y.selector)
                return x.selector;
            return x.firstUse < y.firstUse;
        });
        int bit = 0;
        for (const int i : order_) {
            Field& f = fields_[static_cast<std::size_t>(i)];
            if (f.firstUse == static_cast<std::size_t>(-1) || f.choices.empty() ||
                bit >= kMaxSearched)
                continue;
            f.bit = bit++;
            byBit_.push_back(i);
        }
        chosen_.assign(fields_.size(), -1);
    }

    // The evaluator starts as the calculation leaves it before its formulas: every box's
    // number and every field's current value.
    void Prime() {
        for (int i = 0; i < kValueBoxCount; ++i) {
            const std::string text = static_cast<std::size_t>(i) < start_.BoxTexts.size()
                                         ? start_.BoxTexts[static_cast<std::size_t>(i)]
                                         : std::string();
            const std::string digits = DigitsOnly(text);
            const double value = IsNumber(digits) ? ParseFloat(digits).value_or(1.0) : 1.0;
            boxNumbers_[static_cast<std::size_t>(i)] = value;
            evaluator_.SetVariable("E" + IntToText(i), value);
        }
        for (const Field& f : fields_)
            evaluator_.SetVariable(f.variable, f.currentCalc);
    }

    std::uint64_t Candidates() const {
        Mask all = 0;
        for (const Item& item : items_)
            all |= StaticDeps(item);
        double product = 1.0;
        for (const int i : byBit_) {
            const Field& f = fields_[static_cast<std::size_t>(i)];
            if ((all >> f.bit & 1u) && !f.locked)
                product *= static_cast<double>(f.choices.size());
        }
        return product >= 1.8e19 ? std::numeric_limits<std::uint64_t>::max()
                                 : static_cast<std::uint64_t>(product);
    }

    Mask StaticDeps(const Node& node) const {
        Mask m = 0;
        if (node.kind == Node::Kind::Field) {
            const int bit = fields_[static_cast<std::size_t>(node.index)].bit;
            if (bit >= 0)
                m |= Mask{1} << bit;
        } else if (node.kind == Node::Kind::Formula) {
            m |= StaticDeps(formulas_[static_cast<std::size_t>(node.index)].tree);
        }
        for (const Node& part : node.parts)
            m |= StaticDeps(part);
        return m;
    }

    Mask StaticDeps(const Item& item) const {
        Mask m = item.condition ? StaticDeps(*item.condition) : 0;
        if (const auto it = formulaOfBox_.find(item.box); it != formulaOfBox_.end())
            m |= StaticDeps(formulas_[static_cast<std::size_t>(it->second)].tree);
        else
            m |= BoxFieldMask(item.box);
        return m;
    }

    // An input box that a typed field sets depends on that field.
    Mask BoxFieldMask(int box) const {
        for (const Field& f : fields_)
            if (f.typed && f.typed->Box == box && f.bit >= 0)
                return Mask{1} << f.bit;
        return 0;
    }

    // --- evaluation under the current choices ---------------------------------------------

    Mask Free(Mask m) const { return m & ~assigned_; }

    // The fields a node reads under the choices made so far.
    Mask Deps(const Node& node) {
        switch (node.kind) {
        case Node::Kind::Field: {
            const Field& f = fields_[static_cast<std::size_t>(node.index)];
            return f.bit >= 0 && !f.locked ? Mask{1} << f.bit : 0;
        }
        case Node::Kind::Formula:
            return Deps(formulas_[static_cast<std::size_t>(node.index)].tree);
        case Node::Kind::Call:
            if (node.chooses && node.parts.size() >= 2) {
                const Node& selector = node.parts[0];
                const Mask first = Deps(selector);
                if (Free(first) == 0) {
                    const double value = SequenceValue(selector);
                    if (!std::isnan(value)) {
                        std::size_t arm = 0;
                        if (node.isSelect) {
                            const double index = std::nearbyint(value) + 1;
                            arm = index >= 1 && index < static_cast<double>(node.parts.size())
                                      ? static_cast<std::size_t>(index)
                                      : 0;
                        } else {
                            arm = IsTrue(value) ? 1 : 2;
                            if (arm >= node.parts.size())
                                arm = 0;
                        }
                        if (arm != 0)
                            return first | Deps(node.parts[arm]);
                    }
                }
            }
            [[fallthrough]];
        case Node::Kind::Sequence: {
            Mask m = 0;
            for (const Node& part : node.parts)
                m |= Deps(part);
            return m;
        }
        }
        return 0;
    }

    // The choice index of every field of a mask, as a cache key.
    void KeyOf(Mask m, std::vector<std::pair<int, int>>& key) const {
        key.clear();
        while (m) {
            const int bit = std::countr_zero(m);
            m &= m - 1;
            const int field = byBit_[static_cast<std::size_t>(bit)];
            key.emplace_back(field, chosen_[static_cast<std::size_t>(field)]);
        }
    }

    // Makes the evaluator hold the values of every formula the node reads; false on an error.
    bool Prepare(const Node& node) {
        if (node.kind == Node::Kind::Formula)
            return EnsureFormula(node.index);
        for (const Node& part : node.parts)
            if (!Prepare(part))
                return false;
        return true;
    }

    // The value of a sequence whose fields are all chosen (NaN on an error), cached.
    double SequenceValue(const Node& node) {
        KeyOf(Deps(node), scratchKey_);
        if (node.cacheValid && node.cacheKey == scratchKey_)
            return node.cacheError ? kNoValue : node.cacheValue;
        node.cacheKey = scratchKey_;
        node.cacheValid = true;
        node.cacheError = true;
        if (!Prepare(node))
            return kNoValue;
        try {
            ++evaluated_;
            evaluator_.Expression = node.text;
            node.cacheValue = evaluator_.Evaluate();
            node.cacheError = false;
        } catch (const std::exception&) {
            return kNoValue;
        }
        return node.cacheValue;
    }

    // Evaluates formula j for the current choices unless its cached value still holds, and
    // puts its fed-back value into the evaluator. False when the calculation would fail.
    bool EnsureFormula(int j) {
        FormulaInfo& f = formulas_[static_cast<std::size_t>(j)];
        KeyOf(Deps(f.tree), scratchKey_);
        if (!(f.cacheValid && f.cacheKey == scratchKey_)) {
            std::vector<std::pair<int, int>> key = scratchKey_;
            f.cacheValid = true;
            f.cacheKey = std::move(key);
            f.error = true;
            if (!Prepare(f.tree))
                return false;
            try {
                ++evaluated_;
                evaluator_.Expression = f.text;
                const double result = evaluator_.Evaluate();
                const std::string text = FormatResult(result);
                const auto fed = ParseFloat(DigitsOnly(text));
                if (!fed)
                    return false;
                f.fed = *fed;
                f.shown = text.starts_with('-') ? -*fed : *fed;
                f.error = false;
            } catch (const std::exception&) {
                return false;
            }
        }
        if (f.error)
            return false;
        if (!(f.inEvaluator == f.fed)) {
            evaluator_.SetVariable(f.variable, f.fed);
            f.inEvaluator = f.fed;
        }
        return true;
    }

    // The number box k shows under the current choices; NaN when it cannot be calculated.
    double BoxValue(int box) {
        if (const auto it = formulaOfBox_.find(box); it != formulaOfBox_.end()) {
            if (!EnsureFormula(it->second))
                return kNoValue;
            return formulas_[static_cast<std::size_t>(it->second)].shown;
        }
        for (const Field& f : fields_)
            if (f.typed && f.typed->Box == box)
                return CalcOf(f);
        return boxNumbers_[static_cast<std::size_t>(box)];
    }

    double CalcOf(const Field& f) const {
        const int c = chosen_[static_cast<std::size_t>(&f - fields_.data())];
        return c >= 0 ? f.choices[static_cast<std::size_t>(c)].calc : f.currentCalc;
    }

    // The fields deciding whether an item is met, under the choices made so far.
    Mask ItemDeps(Item& item) {
        Mask m = 0;
        if (!item.isTarget) {
            const TLimit& limit = model_.Limits[static_cast<std::size_t>(item.limit)];
            if (limit.What == TLimit::Kind::Check)
                return Deps(*item.condition);
            if (item.condition) {
                m = Deps(*item.condition);
                // A range whose condition is false holds whatever the box shows.
                if (Free(m) == 0) {
                    const double value = SequenceValue(*item.condition);
                    if (!std::isnan(value) && !IsTrue(value))
                        return m;
                }
            }
        }
        if (const auto it = formulaOfBox_.find(item.box); it != formulaOfBox_.end())
            m |= Deps(formulas_[static_cast<std::size_t>(it->second)].tree);
        else
            m |= BoxFieldMask(item.box) & ~LockedMask();
        return m;
    }

    Mask LockedMask() const {
        Mask m = 0;
        for (const Field& f : fields_)
            if (f.locked && f.bit >= 0)
                m |= Mask{1} << f.bit;
        return m;
    }

    double Tolerance(double target) const {
        return std::abs(target) * request_.TolerancePercent / 100.0;
    }

    static double Deviation(double value, double target) {
        return target != 0.0 ? std::abs(value - target) / std::abs(target) : std::abs(value);
    }

    // Whether an item whose fields are all chosen is met.
    bool Holds(Item& item) {
        if (item.isTarget) {
            const SolveTarget& t = request_.Targets[static_cast<std::size_t>(item.target)];
            const double value = BoxValue(item.box);
            if (std::isnan(value))
                return false;
            const double distance = std::abs(value - t.Value);
            auto& closest = closest_[static_cast<std::size_t>(item.target)];
            if (!closest || distance < std::abs(*closest - t.Value))
                closest = value;
            return distance <= Tolerance(t.Value);
        }
        const TLimit& limit = model_.Limits[static_cast<std::size_t>(item.limit)];
        if (item.condition) {
            const double value = SequenceValue(*item.condition);
            if (std::isnan(value))
                return false;
            if (limit.What == TLimit::Kind::Check)
                return IsTrue(value);
            if (!IsTrue(value))
                return true;
        }
        const double value = BoxValue(item.box);
        if (std::isnan(value))
            return false;
        return !(limit.Min && value < *limit.Min) && !(limit.Max && value > *limit.Max);
    }

    // --- the search ---------------------------------------------------------------------

    void Visit(int depth) {
        Mask open = 0;
        bool failed = false;
        for (std::size_t i = 0; i < items_.size() && !failed; ++i) {
            if (decided_[i] >= 0)
                continue;
            Item& item = items_[i];
            const Mask deps = Free(ItemDeps(item));
            if (deps != 0) {
                open |= deps;
                continue;
            }
            if (Holds(item)) {
                decided_[i] = depth;
            } else {
                ++item.failures;
                failed = true;
            }
        }
        if (!failed) {
            if (open == 0) {
                Leaf();
            } else {
                const int bit = std::countr_zero(open);
                const int index = byBit_[static_cast<std::size_t>(bit)];
                Field& f = fields_[static_cast<std::size_t>(index)];
                assigned_ |= Mask{1} << bit;
                for (std::size_t c = 0; c < f.choices.size(); ++c) {
                    chosen_[static_cast<std::size_t>(index)] = static_cast<int>(c);
                    evaluator_.SetVariable(f.variable, f.choices[c].calc);
                    if (f.typed)
                        evaluator_.SetVariable("E" + IntToText(f.typed->Box), f.choices[c].calc);
                    Visit(depth + 1);
                }
                chosen_[static_cast<std::size_t>(index)] = -1;
                assigned_ &= ~(Mask{1} << bit);
                evaluator_.SetVariable(f.variable, f.currentCalc);
                if (f.typed)
                    evaluator_.SetVariable("E" + IntToText(f.typed->Box),
                                           boxNumbers_[static_cast<std::size_t>(f.typed->Box)]);
            }
        }
        for (int& d : decided_)
            if (d == depth)
                d = -1;
    }

    // Every item is met: the full calculation confirms the choices and they are kept.
    void Leaf() {
        TSimpleEval& check = verifier_;
        std::array<double, kValueBoxCount> numbers = boxNumbers_;
        for (const Field& f : fields_)
            if (f.typed)
                numbers[static_cast<std::size_t>(f.typed->Box)] = CalcOf(f);
        std::vector<std::string> texts(start_.BoxTexts);
        texts.resize(static_cast<std::size_t>(kValueBoxCount));
        std::array<double, kValueBoxCount> shown = numbers;
        try {
            for (int i = 0; i < kValueBoxCount; ++i)
                check.SetVariable("E" + IntToText(i), numbers[static_cast<std::size_t>(i)]);
            for (const Field& f : fields_)
                check.SetVariable(f.variable, CalcOf(f));
            for (const FormulaInfo& f : formulas_) {
                check.Expression = f.text;
                const std::string text = FormatResult(check.Evaluate());
                const double fed = StrToFloat(DigitsOnly(text));
                texts[static_cast<std::size_t>(f.box)] = text + " Mhz";
                shown[static_cast<std::size_t>(f.box)] = text.starts_with('-') ? -fed : fed;
                check.SetVariable(f.variable, fed);
            }
        } catch (const std::exception&) {
            return;
        }
        for (const Field& f : fields_)
            if (f.typed)
                texts[static_cast<std::size_t>(f.typed->Box)] = FormatResult(CalcOf(f));
        const auto violations = EvaluateLimitList(
            model_, check, [&](int box) { return shown[static_cast<std::size_t>(box)]; });
        if (!violations.empty())
            return;
        Solution s;
        for (const SolveTarget& t : request_.Targets) {
            const double value = shown[static_cast<std::size_t>(t.Box)];
            if (std::abs(value - t.Value) > Tolerance(t.Value))
                return;
            s.Error = std::max(s.Error, Deviation(value, t.Value));
        }
        for (const int i : order_) {
            const Field& f = fields_[static_cast<std::size_t>(i)];
            const int c = chosen_[static_cast<std::size_t>(i)];
            const bool decided = c >= 0 || (f.locked && f.bit >= 0 && (relevant_ >> f.bit & 1u));
            if (!decided)
                continue;
            const int pick = c >= 0 ? c : f.current;
            if (pick < 0)
                continue;
            const Choice& choice = f.choices[static_cast<std::size_t>(pick)];
            SolvedField out{f.name,       f.isRegister,  f.typed != nullptr,
                            choice.value, choice.number, pick != f.current};
            s.Changes += out.Changed ? 1 : 0;
            s.Fields.push_back(std::move(out));
        }
        for (int k = 0;
             k < model_.ValueBoxCount && static_cast<std::size_t>(k) < model_.Formulas.size(); ++k)
            s.BoxTexts.push_back(texts[static_cast<std::size_t>(k)]);
        vco_.push_back(vcoBox_ >= 0 ? shown[static_cast<std::size_t>(vcoBox_)] : 0.0);
        solutions_.push_back(std::move(s));
        if (solutions_.size() > 4 * request_.MaxSolutions + 64)
            Finish();
    }

    // Ranks the solutions and keeps the best.
    void Finish() {
        std::vector<std::size_t> order(solutions_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const Solution& x = solutions_[a];
            const Solution& y = solutions_[b];
            const bool xe = x.Error == 0.0;
            const bool ye = y.Error == 0.0;
            if (xe != ye)
                return xe;
            if (x.Changes != y.Changes)
                return x.Changes < y.Changes;
            if (vco_[a] != vco_[b])
                return vco_[a] < vco_[b];
            return x.Error < y.Error;
        });
        const std::size_t keep = std::min(order.size(), request_.MaxSolutions);
        std::vector<Solution> kept;
        std::vector<double> keptVco;
        for (std::size_t i = 0; i < keep; ++i) {
            kept.push_back(std::move(solutions_[order[i]]));
            keptVco.push_back(vco_[order[i]]);
        }
        solutions_ = std::move(kept);
        vco_ = std::move(keptVco);
    }

    std::string Reason() const {
        const std::string within = request_.TolerancePercent > 0
                                       ? " within " + FormatResult(request_.TolerancePercent) + " %"
                                       : std::string();
        for (const Item& item : items_) {
            if (!item.isTarget || item.failures == 0)
                continue;
            const SolveTarget& t = request_.Targets[static_cast<std::size_t>(item.target)];
            const std::string name = BoxQuantity(model_, t.Box);
            std::string reason = "no settings give " + name + " = " + FormatResult(t.Value) +
                                 " Mhz" + within + " and keep every limit";
            if (const auto& closest = closest_[static_cast<std::size_t>(item.target)])
                reason += "; the closest is " + name + " = " + FormatResult(*closest) + " Mhz";
            return reason;
        }
        const Item* worst = nullptr;
        for (const Item& item : items_)
            if (!item.isTarget && item.failures > 0 && (!worst || item.failures > worst->failures))
                worst = &item;
        if (worst) {
            const TLimit& limit = model_.Limits[static_cast<std::size_t>(worst->limit)];
            const std::string what = limit.Text.empty() ? limit.Condition : limit.Text;
            return "no settings keep " + BoxQuantity(model_, limit.Box) + " within its limit (" +
                   what + ")";
        }
        return "no settings meet every target and limit";
    }

    const TModel& model_;
    const SolveStart& start_;
    const SolveRequest& request_;
    std::vector<Field> fields_;
    std::unordered_map<std::string, int> byVariable_; // upper-cased variable -> field
    std::vector<FormulaInfo> formulas_;
    std::unordered_map<int, int> formulaOfBox_;
    std::vector<Item> items_;
    std::vector<int> order_;  // field indices in the order of first use
    std::vector<int> byBit_;  // field index of each mask bit
    std::vector<int> chosen_; // choice of each field, -1 while undecided
    std::vector<int> decided_;
    Mask assigned_ = 0;
    Mask relevant_ = 0; // every field an item can depend on
    std::array<double, kValueBoxCount> boxNumbers_{};
    std::vector<std::pair<int, int>> scratchKey_;
    std::vector<std::optional<double>> closest_ =
        std::vector<std::optional<double>>(request_.Targets.size());
    TSimpleEval evaluator_;
    TSimpleEval verifier_;
    std::vector<Solution> solutions_;
    std::vector<double> vco_;
    int vcoBox_ = FindBoxByName(model_, "Fvco");
    std::uint64_t evaluated_ = 0;
};

// The name a setting has in the definition file, empty when it has none.
const std::string& SettingName(const TSetting& setting) {
    return setting.Name;
}

} // namespace

int FindBoxByName(const TModel& model, const std::string& name) {
    for (std::size_t k = 0; k < model.Formulas.size() && k < model.ValueBoxCount; ++k) {
        const TFormula& f = model.Formulas[k];
        if (EqualsIgnoreCaseAscii(f.Name, name) || EqualsIgnoreCaseAscii(f.Quantity, name))
            return static_cast<int>(k);
    }
    return -1;
}

std::string SetText(const TModel& model, const SolvedField& field) {
    std::string setting = UIntToText(field.Value);
    if (!field.IsRegister)
        for (const TConfigWord& word : model.ConfigWords)
            for (const TField& f : word.Fields)
                if (EqualsIgnoreCaseAscii(f.Name, field.Name))
                    for (const TSetting& s : f.Settings)
                        if (s.Value == field.Value && !SettingName(s).empty())
                            return field.Name + "=" + SettingName(s);
    return field.Name + "=" + setting;
}

SolveStart StartFromModel(const TModel& model, std::vector<std::string> boxTexts) {
    SolveStart start;
    start.BoxTexts = std::move(boxTexts);
    for (const TCalcVal& val : model.CalcVals) {
        std::optional<std::uint32_t> value;
        for (std::size_t i = 0; i < model.ConfigLines.size() && !value; ++i)
            if (model.ConfigLines[i].Name == val.Name && i < model.ConfigLineMarked.size() &&
                model.ConfigLineMarked[i])
                value = model.ConfigLines[i].Value;
        start.ConfigValues.push_back(value);
    }
    for (const TRegVal& val : model.RegVals) {
        std::optional<std::uint32_t> value;
        if (val.Chosen)
            value = val.Value;
        for (std::size_t i = 0; i < model.RegisterLines.size() && !value; ++i)
            if (model.RegisterLines[i].Name == val.Name && i < model.RegisterLineMarked.size() &&
                model.RegisterLineMarked[i])
                value = model.RegisterLines[i].Value;
        start.RegisterValues.push_back(value);
    }
    return start;
}

SolveResult Solve(const TModel& model, const SolveStart& start, const SolveRequest& request) {
    for (const SolveTarget& t : request.Targets)
        if (t.Box < 0 || t.Box >= model.ValueBoxCount ||
            static_cast<std::size_t>(t.Box) >= model.Formulas.size())
            throw ConversionError("target box " + IntToText(t.Box) + " is not on the diagram");
    Search search(model, start, request);
    return search.Run();
}

} // namespace quorvel
