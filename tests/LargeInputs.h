#pragma once
// Large hostile inputs for every reader of outside input, and one way to run each reader on
// such a text. Shared by the limits tests and the hand-run measurement in bench/.

#include "devdefs/DefinitionReader.h"
#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/FormulaText.h"
#include "shell/DeviceList.h"
#include "shell/HeadlessViews.h"
#include "shell/SimpleIniFile.h"
#include "util/Errors.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {

// `size` pseudo-random bytes, the same for the same seed.
inline std::string RandomBytes(std::size_t size, std::uint64_t seed) {
    std::string out(size, '\0');
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        c = static_cast<char>(x >> 56);
    }
    return out;
}

// `unit` repeated to `size` bytes (the last copy cut), after `prefix`.
inline std::string Repeated(std::string_view prefix, std::string_view unit, std::size_t size) {
    std::string out(prefix);
    out.reserve(size);
    while (out.size() + unit.size() <= size)
        out.append(unit);
    out.append(unit.substr(0, size - out.size()));
    return out;
}

// The hostile texts: random bytes, and single lines or many lines of what each reader looks
// for, so that every split, search and nesting rule sees far more than real files hold.
struct HostileInput {
    const char* name;
    std::string_view prefix; // put first, to get past a reader's start condition
    std::string_view unit;   // repeated; an empty unit means random bytes
};

inline const std::vector<HostileInput>& HostileInputs() {
    static const std::vector<HostileInput> inputs = {
        {"random bytes", "", ""},
        {"one line of '<'", "", "<"},
        {"one line of '('", "", "("},
        {"one line of ','", "", ","},
        {"one line of '<x'", "<cfg>\n<cfgbits a>\n", "<x"},
        {"one line of '(1'", "", "(1"},
        {"one line of '-'", "", "-"},
        {"one line of '['", "", "["},
        {"one line of '<cfg>'", "", "<cfg>"},
        {"lines of '<setting a>'", "<cfg>\n<cfgbits a>\n<field f>\n", "<setting a>\n"},
        {"lines of 'A=B'", "", "A=B\n"},
        {"lines of '[PIC]'", "", "[PIC]\nvP=x\n"},
        {"lines of 'EXCL, 1'", "", "EXCL, 1, 2, 3\n"},
        {"lines of 'SHOWVAL'", "", "SHOWVAL, 1, 2, 3, 4, 5, x\n"},
        {"one line of 'R<1:'", "", "R<1:"},
        {"one line of 'sqrt('", "", "sqrt("},
        {"one line of 'ifthen(1,'", "", "ifthen(1,"},
        {"one line of '1+'", "", "1+"},
    };
    return inputs;
}

inline std::string MakeHostileText(const HostileInput& input, std::size_t size) {
    if (input.unit.empty())
        return RandomBytes(size, 42);
    return Repeated(input.prefix, input.unit, size);
}

// A reader and how to run it: the run returns "" for a result and the program's message for
// a refused text; any other exception goes through to the caller.
struct ReaderRun {
    const char* name;
    std::string (*run)(std::string_view text);
};

template <typename F> std::string MessageOf(F&& read) {
    try {
        read();
    } catch (const ConversionError& e) {
        return e.what();
    } catch (const ListIndexError& e) {
        return e.what();
    } catch (const ESimpleEvalException& e) {
        return e.Message();
    } catch (const ArithmeticError& e) {
        return e.what();
    }
    return "";
}

inline const std::vector<ReaderRun>& Readers() {
    static const std::vector<ReaderRun> readers = {
        {"settings file",
         [](std::string_view text) {
             return MessageOf([&] {
                 const TSimpleIniFile ini = TSimpleIniFile::FromText(text);
                 (void)ini.ReadString("PIC", "vP", "");
             });
         }},
        {"device list",
         [](std::string_view text) { return MessageOf([&] { (void)ParseDeviceList(text); }); }},
        {"definition file",
         [](std::string_view text) {
             return MessageOf([&] {
                 std::vector<TConfigWord> words;
                 ReadDefinitionText(text, words);
             });
         }},
        {"diagram description",
         [](std::string_view text) {
             return MessageOf([&] {
                 TModel model;
                 MemoryValueBoxes boxes;
                 ParseDiagramDescription(text, model, boxes);
             });
         }},
        {"evaluator",
         [](std::string_view text) {
             return MessageOf([&] {
                 TSimpleEval ev;
                 ev.SetVariable("x", 1);
                 (void)ev.EvaluateText(std::string(text));
             });
         }},
        {"register references",
         [](std::string_view text) { return MessageOf([&] { (void)ConvertBitTags(text); }); }},
    };
    return readers;
}

// The reader of that name; std::invalid_argument when there is none.
inline const ReaderRun& Reader(std::string_view name) {
    for (const ReaderRun& reader : Readers())
        if (name == reader.name)
            return reader;
    throw std::invalid_argument("no reader named " + std::string(name));
}

} // namespace quorvel::test
