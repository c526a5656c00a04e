#pragma once
// The records and tables that describe the loaded device: its clock diagram (clickable
// lines, connector rules, exclusion groups, value-box formulas), its configuration words and
// the calculation inputs derived from the user's choices. One TModel holds them all; loading
// a device replaces their contents wholesale. Records compare equal member by member, so that
// whole states can be compared (an undo step is recorded only when something changed).

#include "devdefs/ConfigWords.h"
#include "util/Views.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvel {

// One clickable configuration-setting line of the diagram.
struct TLine_ {
    std::string Name; // configuration field name, upper-cased
    std::uint16_t Id = 0;
    std::uint16_t Spare = 0; // stored, never read
    std::uint16_t X1 = 0, Y1 = 0;
    std::uint16_t X2 = 0, Y2 = 0;
    std::int32_t AltGroup = -1;  // -1: none
    std::int32_t LinkGroup = -1; // -1: none
    std::uint32_t Value = 0;     // 0..2147483647, the setting value this line chooses
    double CalcValue = 1.0;      // value of the calculation variable `Name` when chosen
    friend bool operator==(const TLine_&, const TLine_&) = default;
};

// One clickable register bit-field line: as TLine_, plus the line's trailing comment.
struct TLineRegister_ : TLine_ {
    std::string Comment; // "//..." trimmed, or empty
    friend bool operator==(const TLineRegister_&, const TLineRegister_&) = default;
};

// A connector whose colour follows the marking of the listed line identifiers.
struct TFollow_ {
    std::uint16_t X1 = 0, Y1 = 0;
    std::uint16_t X2 = 0, Y2 = 0;
    std::vector<std::uint16_t> Ids;
    friend bool operator==(const TFollow_&, const TFollow_&) = default;
};

// Line identifiers that exclude each other.
struct TExcl_Groups {
    std::vector<std::uint16_t> Ids;
    friend bool operator==(const TExcl_Groups&, const TExcl_Groups&) = default;
};

// One value box and its formula; an empty Expression makes an input box.
struct TFormula {
    std::string Name;
    std::uint16_t X = 0;
    std::uint16_t Y = 0;
    std::string Expression;
    std::string Quantity; // the line's comment without "//": what the box shows, for messages
    friend bool operator==(const TFormula&, const TFormula&) = default;
};

// A limit the calculated values must keep: a RANGE line (the box's value between Min and Max,
// where Condition holds or is empty) or a CHECK line (Condition must hold). Conditions are
// formulas, true when they round to 1 or more, as for ifthen.
struct TLimit {
    enum class Kind { Range, Check };
    Kind What = Kind::Range;
    int Box = 0;               // the value box the limit is about, 0..30
    std::optional<double> Min; // Range only; nothing: no lower bound
    std::optional<double> Max; // Range only; nothing: no upper bound
    std::string Condition;     // as written
    std::string Text;          // Range: the label; Check: the message (the line's comment)
    friend bool operator==(const TLimit&, const TLimit&) = default;
};

// A register bit-field whose value is typed into an input box (a TYPED line): the typed whole
// number must lie in Min..Max, and Mapping, a formula of the box variable "E" + Box, gives the
// bit-field value written into the code.
struct TTypedField {
    int Box = 0;
    std::string Name; // "REGISTER<hi:lo>", upper-cased
    std::int64_t Min = 0;
    std::int64_t Max = 0;
    std::string Mapping;
    std::string Comment; // "//..." of the code line; the typed number is appended
    friend bool operator==(const TTypedField&, const TTypedField&) = default;
};

// A calculation variable named after a configuration field.
struct TCalcVal {
    std::string Name;
    double Value = 0.0;
    friend bool operator==(const TCalcVal&, const TCalcVal&) = default;
};

// The chosen value of one register bit-field.
struct TRegVal {
    std::string Name;
    std::uint32_t Value = 0;
    double CalcValue = 0.0;
    std::string Comment;
    bool Chosen = false;
    friend bool operator==(const TRegVal&, const TRegVal&) = default;
};

// Writes a register needs on the chip right before or right after it is written, such as an
// unlock sequence: each value of Values is written to Target in order.
struct TWriteSequence {
    std::string Register; // the register written by the generated code, upper-cased
    bool After = false;   // false: before the register's writes, true: after them
    std::string Target;   // the register the sequence writes, as given
    std::vector<std::uint32_t> Values;
    friend bool operator==(const TWriteSequence&, const TWriteSequence&) = default;
};

// One entry of the device list.
struct TPic_Type {
    std::string Name;
    std::string Diagram;
    friend bool operator==(const TPic_Type&, const TPic_Type&) = default;
};

// A list of names whose lookup ignores ASCII letter case.
class NameList {
public:
    // Index of the first entry equal to name ignoring case, or -1.
    int IndexOf(const std::string& name) const;
    // Appends name; an entry equal ignoring case should not be added twice.
    void Add(const std::string& name);
    void Clear();
    std::size_t Count() const { return names_.size(); }
    const std::string& operator[](std::size_t i) const { return names_[i]; }
    const std::vector<std::string>& Items() const { return names_; }

private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, int> index_; // upper-cased name -> first position
    friend bool operator==(const NameList&, const NameList&) = default;
};

// The diagram and device tables of the loaded device.
struct TModel {
    std::vector<TLine_> ConfigLines;
    std::vector<bool> ConfigLineMarked;
    std::vector<TLineRegister_> RegisterLines;
    std::vector<bool> RegisterLineMarked;
    std::vector<TFollow_> FollowRules;
    std::vector<TFollow_> FollowNotRules;
    std::vector<TExcl_Groups> ExclGroups;
    NameList CalcVarNames;
    std::vector<TCalcVal> CalcVals;
    NameList RegNames;
    std::vector<TRegVal> RegVals;
    std::vector<TFormula> Formulas;
    std::uint16_t ValueBoxCount = 0;
    std::vector<TLimit> Limits;
    std::vector<TTypedField> TypedFields;
    std::vector<TWriteSequence> WriteSequences;
    std::vector<TConfigWord> ConfigWords;
    friend bool operator==(const TModel&, const TModel&) = default;
};

} // namespace quorvel
