#pragma once
// Code for the user's compiler: the register initialisation in Pascal, Basic or C, and the
// configuration bits chosen on the diagram with the full value of each configuration word.
//
// Pascal without merging is the classic form, byte for byte:
//     REG := (REG and (not MASK)) or VALUE; COMMENT
// Basic:  REG = (REG and (not 0xMASK)) or 0xVALUE ' COMMENT
// C:      REG = (REG & ~0xMASKu) | 0xVALUEu; // COMMENT
// Merging writes one read-modify-write per register for all its chosen fields. In Basic and C
// the write sequences of the diagram (an unlock, say) surround the writes of their register.

#include "diagram/Model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

enum class CodeLanguage { Pascal, Basic, C };

// "pascal", "basic" or "c" (ASCII case ignored); nothing for any other text.
std::optional<CodeLanguage> CodeLanguageFromName(std::string_view name);
// "pascal", "basic" or "c".
const char* CodeLanguageName(CodeLanguage language);
// The language of the compiler a "Defs" slot belongs to: slots 0-2 Pascal, 3-5 Basic, 6-8 C.
CodeLanguage CodeLanguageOfSlot(std::size_t slot);

struct CodeOptions {
    CodeLanguage Language = CodeLanguage::Pascal;
    bool Merge = false;
};

// Appends the register initialisation of every chosen entry of RegVals. Throws as
// GenerateInitCode (a bit range that is not a number), keeping the lines appended before.
void GenerateRegisterCode(const TModel& model, const CodeOptions& options,
                          std::vector<std::string>& lines);

// One configuration field chosen on the diagram: a marked line of its name.
struct ChosenConfigBit {
    const TConfigWord* Word = nullptr;
    const TField* Field = nullptr;
    const TSetting* Setting = nullptr; // the setting of the chosen value; null when none has it
    std::uint32_t Value = 0;           // in place within the word, inside the field's mask
};

// The chosen fields in the order their names first appear in the diagram description. A name
// with no field in the configuration words is left out; of several marked lines of one name
// the first counts.
std::vector<ChosenConfigBit> ChosenConfigBits(const TModel& model);

struct ConfigWordValue {
    const TConfigWord* Word = nullptr;
    std::optional<std::uint32_t> Value; // the default with the chosen fields put in; unknown
                                        // without a default
};

// Every configuration word, in address order (file order among equal addresses).
std::vector<ConfigWordValue> ConfigWordValues(const TModel& model,
                                              const std::vector<ChosenConfigBit>& bits);

// The configuration bits as text of the language: for C one "#pragma config FIELD = SETTING"
// per chosen field, grouped by word in address order; for Pascal and Basic the same as
// comments with masks and values; then, in every language, a comment block with the value of
// each word whose default is known.
std::vector<std::string> ConfigBitsCode(const TModel& model, CodeLanguage language);

// The text of the code window: the configuration bits, then the register initialisation, each
// under a short heading in the language's comments.
std::vector<std::string> CodeWindowText(CodeLanguage language,
                                        const std::vector<std::string>& configBits,
                                        const std::vector<std::string>& registerCode);

} // namespace quorvel
