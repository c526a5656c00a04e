// quorvel run, code, config and render: headless sessions on a device.

#include "cli/SessionCommands.h"
#include "cli/CliCommand.h"
#include "cli/Json.h"
#include "cli/OutputPath.h"
#include "cli/Render.h"
#include "cli/SolveOutput.h"
#include "results/CompilerCode.h"
#include "results/InputReading.h"
#include "shell/Document.h"
#include "shell/HeadlessViews.h"
#include "shell/KivDirectories.h"
#include "shell/Session.h"
#include "util/KivStrings.h"
#include "util/NumberText.h"
#include "util/TextFile.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <vector>

namespace quorvel::cli {

namespace {

constexpr const char* kRunUsage =
    "quorvel run DEVICE|--open FILE [ACTION]... [--save FILE] [--json] [--png FILE] "
    "[--lang pascal|basic|c] [--merge] [--strict]";
constexpr const char* kCodeUsage = "quorvel code DEVICE|--open FILE [ACTION]... [--save FILE] "
                                   "[--lang pascal|basic|c] [--merge] [--strict]";
constexpr const char* kConfigUsage = "quorvel config DEVICE|--open FILE [ACTION]... [--save FILE] "
                                     "[--lang pascal|basic|c] [--strict]";
constexpr const char* kRenderUsage =
    "quorvel render DEVICE|--open FILE [ACTION]... [--save FILE] -o FILE.png [--strict]";

constexpr const char* kFilesHelp =
    "Configuration files:\n"
    "  --open FILE        in place of DEVICE: loads the file's device and chooses its\n"
    "                     settings as opening it in the window does; the actions follow\n"
    "  --save FILE        writes the final configuration to FILE\n";
constexpr const char* kSolveUsage =
    "quorvel solve DEVICE [ACTION]... --target NAME=VALUE [--target ...] [--tolerance PERCENT] "
    "[--lock FIELD]... [--max N] [--json]";

constexpr const char* kActionsHelp =
    "Actions, performed in the order given:\n"
    "  --click X,Y        a left click on the diagram at bitmap pixel X,Y\n"
    "  --middle X,Y       a middle click (stores the first point)\n"
    "  --right X,Y        a right click (stores the second point, copies both)\n"
    "  --set NAME=SETTING chooses a setting by name, as a left click on its line does:\n"
    "                     a configuration field and the name or value of one of its\n"
    "                     settings (--set FNOSC=PRIPLL), or a register bit-field as the\n"
    "                     diagram writes it and a value (--set \"PLLFBD<8:0>=38\");\n"
    "                     values are decimal, or hexadecimal after $ or 0x\n"
    "  --box K=TEXT       types TEXT into input box K (0..30) and presses Enter\n"
    "  --calculate        runs the calculation\n"
    "  --clear all|config|registers\n"
    "                     Clear All, Clear Config bits or Clear Register Settings\n"
    "  --reload           Reload All\n"
    "  --code             runs the Code command\n";

constexpr const char* kStatusHelp =
    "Every message the window would show is printed on standard error. What the command\n"
    "line adds goes there too: \"warning: ...\" for an action that did nothing (a click\n"
    "that hits no line) or a box text that is not a plain number (it tells how the text\n"
    "is read), and \"note: ...\" for why a device did not load.\n"
    "\n"
    "Exit status:\n"
    "  0  the device loaded and no message was shown\n"
    "  1  a message was shown, the device did not load, or an output file was refused or\n"
    "     could not be written; with --strict, also any warning\n"
    "  2  the command line itself is wrong (unknown option, missing DEVICE, ...), or,\n"
    "     when nothing else went wrong, the final state breaks a limit of the diagram: each\n"
    "     reason is then printed on standard error\n";

constexpr const char* kLanguageHelp =
    "  --lang pascal|basic|c\n"
    "                     the language of the code; without it, the language chosen in the\n"
    "                     code window, else that of the compiler whose \"Defs\" slot supplied\n"
    "                     the definition file (vP Pascal, vB Basic, vC C)\n";
constexpr const char* kMergeHelp =
    "  --merge            one read-modify-write per register, combining all its chosen fields\n";

// Parses "X,Y" with both in 0..65535.
bool ParsePoint(const std::string& text, int& x, int& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    const auto px = ParseInteger(text.substr(0, comma));
    const auto py = ParseInteger(text.substr(comma + 1));
    if (!px || !py || *px < 0 || *px > 65535 || *py < 0 || *py > 65535)
        return false;
    x = static_cast<int>(*px);
    y = static_cast<int>(*py);
    return true;
}

// The session over in-memory views: program directory the executable's, settings file in
// the current directory.
// What the command line adds to it: warnings about actions that did nothing (a click on no
// line), and notes that say why a load failed where the window stays silent or says little.
// Neither is one of the window's messages.
struct HeadlessSession {
    HeadlessViews Views;
    Session Core{
        SessionPaths{ProgramDirectory(true), JoinPath(StartDirectory(), kSettingsFileName)},
        Views.Views()};
    std::string Device;
    std::vector<std::string> Warnings;
    bool OutputFailed = false; // a configuration file could not be written

    // True when the device got as far as its diagram: the window would show it.
    bool Loaded() const { return Core.CommandsVisible(); }
    const std::vector<std::string>& Messages() const { return Views.Messages.Messages(); }

    Outcome Perform(const Action& action) {
        if (action.What == Action::Kind::Click && LinesAt(Core.Model(), action.X, action.Y).empty())
            Warnings.push_back("the click at " + IntToText(action.X) + "," + IntToText(action.Y) +
                               " hits no line of the diagram");
        if (action.What == Action::Kind::Box && IsShownInput(action.BoxIndex)) {
            // The window marks such a box and tells the reading in its tooltip.
            if (const InputReading reading = ReadInputText(action.Text); !reading.Plain)
                Warnings.push_back("value box " + IntToText(action.BoxIndex) + " \"" + action.Text +
                                   "\": " + reading.Note);
        }
        return Core.Perform(action);
    }

    bool IsShownInput(int index) const {
        if (index < 0 || index >= kValueBoxCount)
            return false;
        const ValueBoxState& box = Core.State().Boxes[static_cast<std::size_t>(index)];
        return box.visible && box.input;
    }

    std::vector<std::string> Notes() const;

    // The language of the code (nothing: the one chosen in the window, else the language of
    // the definitions' slot) and merging.
    void SetCodeOptions(std::optional<CodeLanguage> language, bool merge) {
        if (language)
            Core.SetCodeLanguage(language);
        else
            Core.FollowStoredCodeLanguage();
        Core.SetMergeWrites(merge);
    }
};

std::vector<std::string> HeadlessSession::Notes() const {
    std::vector<std::string> notes;
    for (const std::string& details : Views.Messages.Details())
        ForEachLine(details, [&notes](std::string_view line) { notes.emplace_back(line); });
    if (Loaded())
        return notes;
    const std::string name = TrimCopy(Device);
    const DeviceList& list = Core.Devices();
    const auto& devices = list.DeviceTypes;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].Name != name)
            continue;
        if (devices[i].Diagram.empty())
            notes.push_back("line " + UIntToText(list.DeviceLines[i]) +
                            " of the device list has no diagram name");
        return notes;
    }
    const std::string listMissing = "File \"" + std::string(kDeviceListFileName) + "\" not found";
    if (std::find(Messages().begin(), Messages().end(), listMissing) != Messages().end())
        return notes; // the list could not be read, which its message says
    std::string note = name + " is not in the device list";
    if (devices.empty())
        note += ", which holds no device";
    for (const TPic_Type& device : devices) {
        if (EqualsIgnoreCaseAscii(device.Name, name)) {
            note += " (names are matched with their case: did you mean " + device.Name + "?)";
            break;
        }
    }
    if (!devices.empty() && devices.front().Name.starts_with("\xEF\xBB\xBF"))
        note += " (its first line starts with a byte-order mark, which is part of that name)";
    notes.push_back(note);
    return notes;
}

struct SessionOptions {
    std::string Device;
    std::string Open; // a configuration file in place of the device
    std::string Save; // where the final configuration is written
    std::vector<Action> Actions;
    bool Json = false;
    std::string Png;
    bool Strict = false;
    std::optional<CodeLanguage> Language;
    bool Merge = false;
    bool Help = false;
};

// Handles --lang (and --merge when `merge` is set): "" when taken, an error text when wrong,
// nothing for another option.
template <typename Value>
std::optional<std::string> CodeOption(const std::string& a, Value& value, SessionOptions& options,
                                      bool merge) {
    if (a == "--lang") {
        std::string v;
        if (!value(v) || !CodeLanguageFromName(v))
            return std::string("--lang needs pascal, basic or c");
        options.Language = CodeLanguageFromName(v);
        return std::string();
    }
    if (merge && a == "--merge") {
        options.Merge = true;
        return std::string();
    }
    return std::nullopt;
}

// Parses DEVICE and the actions; `extra` handles the options of one command. Returns an
// error text, or nothing on success.
template <typename Extra>
std::optional<std::string> ParseSession(const Args& args, SessionOptions& options, Extra extra) {
    using Kind = Action::Kind;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            options.Help = true;
            return std::nullopt;
        }
        Action action;
        std::string v;
        if (a == "--click" || a == "--middle" || a == "--right") {
            if (!value(v) || !ParsePoint(v, action.X, action.Y))
                return a + " needs X,Y with both in 0..65535";
            action.What = a == "--click"    ? Kind::Click
                          : a == "--middle" ? Kind::Middle
                                            : Kind::Right;
        } else if (a == "--box") {
            if (!value(v))
                return std::string("--box needs K=TEXT");
            const std::size_t eq = v.find('=');
            const auto k = eq == std::string::npos ? std::nullopt : ParseInteger(v.substr(0, eq));
            if (!k || *k < 0 || *k > 30 ||
                v.substr(0, eq).find_first_not_of("0123456789") != std::string::npos)
                return "--box needs K=TEXT with K in 0..30, not \"" + v + "\"";
            action.What = Kind::Box;
            action.BoxIndex = static_cast<int>(*k);
            action.Text = v.substr(eq + 1);
        } else if (a == "--set") {
            if (!value(v))
                return std::string("--set needs NAME=SETTING");
            const std::size_t eq = v.find('=');
            if (eq == std::string::npos || eq == 0)
                return "--set needs NAME=SETTING, not \"" + v + "\"";
            action.What = Kind::Set;
            action.Text = v.substr(0, eq);
            action.Value = v.substr(eq + 1);
        } else if (a == "--calculate") {
            action.What = Kind::Calculate;
        } else if (a == "--clear") {
            if (!value(v) || (v != "all" && v != "config" && v != "registers"))
                return std::string("--clear needs all, config or registers");
            action.What = v == "all"      ? Kind::ClearAll
                          : v == "config" ? Kind::ClearConfig
                                          : Kind::ClearRegisters;
        } else if (a == "--reload") {
            action.What = Kind::Reload;
        } else if (a == "--code") {
            action.What = Kind::Code;
        } else if (a == "--strict") {
            options.Strict = true;
            continue;
        } else if (a == "--open") {
            if (!value(v))
                return std::string("--open needs FILE");
            if (!options.Open.empty())
                return std::string("more than one --open given");
            options.Open = v;
            continue;
        } else if (a == "--save") {
            if (!value(v))
                return std::string("--save needs FILE");
            options.Save = v;
            continue;
        } else {
            std::optional<std::string> handled = extra(a, value);
            if (handled) {
                if (!handled->empty())
                    return handled;
                continue;
            }
            if (!a.empty() && a[0] == '-')
                return "unknown option \"" + a + "\"";
            if (!options.Device.empty())
                return "more than one device given (\"" + options.Device + "\", \"" + a + "\")";
            options.Device = a;
            continue;
        }
        options.Actions.push_back(action);
    }
    if (options.Device.empty() && options.Open.empty())
        return std::string("missing DEVICE (or --open FILE)");
    if (!options.Device.empty() && !options.Open.empty())
        return "give DEVICE or --open FILE, not both (\"" + options.Device + "\", \"" +
               options.Open + "\")";
    return std::nullopt;
}

// Runs the session; returns false after a usage error (already reported). A choice by name
// that matches no line ends the actions there.
bool RunSession(const SessionOptions& options, HeadlessSession& session, const char* usage,
                bool reportViolations = true) {
    // Without undo a document holds no more than its file name, so a command that neither
    // opens nor saves a configuration file does without one.
    std::optional<Document> document;
    if (!options.Open.empty() || !options.Save.empty())
        document.emplace(session.Core, false);
    session.SetCodeOptions(options.Language, options.Merge);
    session.Perform(Action::Of(Action::Kind::Start));
    if (!options.Open.empty()) {
        document->Open(ResolveOutputPath(options.Open));
        session.Device = session.Core.State().Device;
    } else {
        session.Device = options.Device;
        session.Perform(Action::WithText(Action::Kind::ChooseDevice, options.Device));
    }
    bool codeRan = false;
    for (const Action& action : options.Actions) {
        const Outcome outcome = session.Perform(action);
        codeRan = codeRan || action.What == Action::Kind::Code;
        if (outcome == Outcome::NotInputBox) {
            UsageError("value box " + IntToText(action.BoxIndex) + " is not a shown input box",
                       usage);
            return false;
        }
        if (outcome == Outcome::NoMatch)
            break;
    }
    // The window's final state has the code of its Code command.
    if (!codeRan)
        session.Perform(Action::Of(Action::Kind::Code));
    if (!options.Save.empty()) {
        std::string error;
        if (!document->Save(options.Save, error)) {
            std::cerr << "quorvel: cannot save \"" << options.Save << "\": " << error << "\n";
            session.OutputFailed = true;
        }
    }
    for (const std::string& m : session.Views.Messages.Messages())
        std::cerr << m << "\n";
    for (const std::string& w : session.Warnings)
        std::cerr << "warning: " << w << "\n";
    for (const std::string& n : session.Notes())
        std::cerr << "note: " << n << "\n";
    // Every limit the final state breaks.
    if (reportViolations)
        for (const TViolation& v : session.Core.Violations())
            std::cerr << v.Message << "\n";
    return true;
}

// Resolves the output path against the caller's directory and refuses it when it must not
// or cannot be written; returns false after reporting why.
bool PrepareOutput(std::string& path) {
    path = ResolveOutputPath(path);
    const auto refusal = RefuseOutputPath(path, ProgramDirectory(false),
                                          JoinPath(StartDirectory(), kSettingsFileName));
    if (refusal) {
        std::cerr << "quorvel: " << *refusal << "\n";
        return false;
    }
    return true;
}

// Writes the picture of a loaded device; a device that did not load has no picture.
bool WritePicture(const HeadlessSession& session, const std::string& path) {
    if (!session.Loaded()) {
        std::cerr << "note: no picture written to \"" << path << "\": no device loaded\n";
        return false;
    }
    std::string renderError;
    if (!RenderPng(session.Views, path, renderError)) {
        std::cerr << renderError << "\n";
        return false;
    }
    return true;
}

// Output is gathered into one text and handed to the stream at once: each insertion into the
// stream costs a sentry and a pass through the C stream, more than the few bytes it carries.
void AppendLines(std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text.append(line).push_back('\n');
}

void Print(const std::string& text) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PrintLines(const std::vector<std::string>& lines) {
    std::string text;
    AppendLines(text, lines);
    Print(text);
}

void PrintCode(const HeadlessSession& session) {
    PrintLines(session.Core.CodeLines());
}

void PrintPlain(const HeadlessSession& session) {
    const TModel& model = session.Core.Model();
    const auto& names = model.CalcVarNames.Items();
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < static_cast<std::size_t>(kLabelledNameCount);
         ++i) {
        const std::string description = session.Views.Labels.Caption(static_cast<int>(2 * i + 1));
        text.append(description.empty() ? names[i] : description)
            .append(": ")
            .append(session.Views.Labels.Caption(static_cast<int>(2 * i + 2)))
            .push_back('\n');
    }
    for (int k = 0; k < kValueBoxCount; ++k) {
        const ValueBoxState& box = session.Views.Boxes.Box(k);
        if (!box.visible)
            continue;
        // A shown box always belongs to the formula of its index.
        if (static_cast<std::size_t>(k) < model.Formulas.size())
            text.append(model.Formulas[static_cast<std::size_t>(k)].Name);
        else
            text.append("E").append(std::to_string(k));
        text.append(" = ").append(box.text).push_back('\n');
    }
    AppendLines(text, session.Core.CodeLines());
    Print(text);
}

void PrintJson(const HeadlessSession& session, const std::string& device) {
    JsonWriter w;
    w.BeginObject();
    w.Key("device");
    w.String(device);
    w.Key("labels");
    w.BeginArray();
    for (int n = 1; n <= kLabelCount; ++n)
        w.String(session.Views.Labels.Caption(n));
    w.EndArray();
    w.Key("boxes");
    w.BeginArray();
    for (int k = 0; k < kValueBoxCount; ++k) {
        const ValueBoxState& box = session.Views.Boxes.Box(k);
        w.BeginObject();
        w.Key("index");
        w.Integer(k);
        w.Key("x");
        w.Integer(box.left);
        w.Key("y");
        w.Integer(box.top);
        w.Key("text");
        w.String(box.text);
        w.Key("visible");
        w.Bool(box.visible);
        w.Key("input");
        w.Bool(box.input);
        w.EndObject();
    }
    w.EndArray();
    const TModel& model = session.Core.Model();
    w.Key("configMarked");
    w.BeginArray();
    for (const bool marked : model.ConfigLineMarked)
        w.Bool(marked);
    w.EndArray();
    w.Key("registerMarked");
    w.BeginArray();
    for (const bool marked : model.RegisterLineMarked)
        w.Bool(marked);
    w.EndArray();
    w.Key("code");
    w.BeginArray();
    for (const std::string& line : session.Core.CodeLines())
        w.String(line);
    w.EndArray();
    const std::vector<ChosenConfigBit> bits = ChosenConfigBits(model);
    w.Key("configBits");
    w.BeginArray();
    for (const ChosenConfigBit& bit : bits) {
        w.BeginObject();
        w.Key("word");
        w.String(bit.Word->Name);
        w.Key("address");
        w.Unsigned(bit.Word->Address);
        w.Key("field");
        w.String(bit.Field->Name);
        w.Key("setting");
        if (bit.Setting != nullptr)
            w.String(bit.Setting->Name);
        else
            w.Null();
        w.Key("mask");
        w.Unsigned(bit.Field->Mask);
        w.Key("value");
        w.Unsigned(bit.Value);
        w.EndObject();
    }
    w.EndArray();
    w.Key("configWords");
    w.BeginArray();
    for (const ConfigWordValue& word : ConfigWordValues(model, bits)) {
        w.BeginObject();
        w.Key("word");
        w.String(word.Word->Name);
        w.Key("address");
        w.Unsigned(word.Word->Address);
        w.Key("value");
        if (word.Value)
            w.Unsigned(*word.Value);
        else
            w.Null();
        w.EndObject();
    }
    w.EndArray();
    w.Key("clipboard");
    w.String(session.Views.Clipboard.Text());
    w.Key("messages");
    w.BeginArray();
    for (const std::string& m : session.Views.Messages.Messages())
        w.String(m);
    w.EndArray();
    w.Key("violations");
    WriteViolations(w, session.Core.Violations());
    w.EndObject();
    std::cout << w.Text() << "\n";
}

// 1 after a failure, else 2 when the state breaks a limit of the diagram, else 0.
int ExitCode(const HeadlessSession& session, const SessionOptions& options) {
    const bool failed = !session.Loaded() || !session.Messages().empty() || session.OutputFailed ||
                        (options.Strict && !session.Warnings.empty());
    if (failed)
        return 1;
    return session.Core.Violations().empty() ? 0 : 2;
}

// A new session that lives until the process ends. Each command makes one and prints its
// results last, so its tables are left for the system to reclaim at exit: taking them apart
// one allocation at a time costs `run` some 20 microseconds on the largest sample device, for
// memory handed back a moment later anyway. The list is never destroyed, so leak checkers see the
// sessions as reachable. What the command leaves unprinted is not made at all: the marks
// without a picture to write, the configuration-bit code and the code window's text when
// only the register code is printed.
struct SessionOutputs {
    bool Picture = false;
    bool ConfigBitsCode = false;
};
HeadlessSession& SessionUntilExit(SessionOutputs outputs) {
    static auto* const sessions = new std::vector<HeadlessSession*>;
    sessions->push_back(new HeadlessSession);
    HeadlessSession& session = *sessions->back();
    if (!outputs.Picture)
        session.Views.Surface.HideMarks();
    if (!outputs.ConfigBitsCode)
        session.Core.KeepRegisterCodeOnly();
    return session;
}

} // namespace

int RunRun(const Args& args) {
    SessionOptions options;
    const auto error = ParseSession(args, options, [&](const std::string& a, auto& value) {
        std::optional<std::string> result;
        if (a == "--json") {
            options.Json = true;
            result = "";
        } else if (a == "--png") {
            result = value(options.Png) ? "" : "--png needs FILE";
        } else {
            result = CodeOption(a, value, options, true);
        }
        return result;
    });
    if (options.Help) {
        std::cout << "usage: " << kRunUsage << "\n\n"
                  << "Loads DEVICE as choosing it in the window's list does, performs the\n"
                     "actions and prints the final state: one line per configuration field,\n"
                     "one line per shown value box, then the initialisation code.\n\n"
                  << kActionsHelp << kFilesHelp
                  << "  --json             prints the whole state as one JSON object, with the\n"
                     "                     chosen configuration fields (configBits) and the\n"
                     "                     value of every configuration word (configWords)\n"
                     "  --png FILE         also writes the diagram as the window shows it\n"
                  << kLanguageHelp << kMergeHelp
                  << "  --strict           any warning makes the exit status 1\n\n"
                  << kStatusHelp
                  << "\nExample:\n"
                     "  quorvel run dsPIC33FJ128GP802 --box 0=8 --click 120,200 --json\n";
        return 0;
    }
    if (error)
        return UsageError(*error, kRunUsage);
    if (!options.Png.empty() && !PrepareOutput(options.Png))
        return 1;
    if (!options.Save.empty() && !PrepareOutput(options.Save))
        return 1;
    HeadlessSession& session = SessionUntilExit({.Picture = !options.Png.empty()});
    if (!RunSession(options, session, kRunUsage))
        return 2;
    const bool pictureFailed = !options.Png.empty() && !WritePicture(session, options.Png);
    if (options.Json)
        PrintJson(session, session.Device);
    else
        PrintPlain(session);
    return pictureFailed ? 1 : ExitCode(session, options);
}

int RunCode(const Args& args) {
    SessionOptions options;
    const auto error = ParseSession(args, options, [&](const std::string& a, auto& value) {
        return CodeOption(a, value, options, true);
    });
    if (options.Help) {
        std::cout << "usage: " << kCodeUsage << "\n\n"
                  << "Loads DEVICE, performs the actions and prints only the register\n"
                     "initialisation code, as the code window shows it under its heading.\n\n"
                  << kActionsHelp << kFilesHelp << kLanguageHelp << kMergeHelp
                  << "  --strict           any warning makes the exit status 1\n\n"
                  << kStatusHelp
                  << "\nExample:\n"
                     "  quorvel code PIC18F45K22 --click 100,120 --lang c > clock_init.h\n";
        return 0;
    }
    if (error)
        return UsageError(*error, kCodeUsage);
    if (!options.Save.empty() && !PrepareOutput(options.Save))
        return 1;
    HeadlessSession& session = SessionUntilExit({});
    if (!RunSession(options, session, kCodeUsage))
        return 2;
    PrintCode(session);
    return ExitCode(session, options);
}

int RunConfig(const Args& args) {
    SessionOptions options;
    const auto error = ParseSession(args, options, [&](const std::string& a, auto& value) {
        return CodeOption(a, value, options, false);
    });
    if (options.Help) {
        std::cout << "usage: " << kConfigUsage << "\n\n"
                  << "Loads DEVICE, performs the actions and prints only the configuration bits\n"
                     "chosen on the diagram: in C one \"#pragma config FIELD = SETTING\" line per\n"
                     "field, grouped by word in address order; in Pascal and Basic the same as\n"
                     "comments with each field's mask and value. Then, in every language, the\n"
                     "value of each configuration word whose default the definition file gives,\n"
                     "as comments to copy into the compiler's project settings.\n\n"
                  << kActionsHelp << kFilesHelp << kLanguageHelp
                  << "  --strict           any warning makes the exit status 1\n\n"
                  << kStatusHelp
                  << "\nExample:\n"
                     "  quorvel config PIC18F45K22 --click 189,158 --lang c\n";
        return 0;
    }
    if (error)
        return UsageError(*error, kConfigUsage);
    if (!options.Save.empty() && !PrepareOutput(options.Save))
        return 1;
    HeadlessSession& session = SessionUntilExit({.ConfigBitsCode = true});
    if (!RunSession(options, session, kConfigUsage))
        return 2;
    PrintLines(session.Core.ConfigCodeLines());
    return ExitCode(session, options);
}

int RunRender(const Args& args) {
    SessionOptions options;
    const auto error = ParseSession(args, options, [&](const std::string& a, auto& value) {
        std::optional<std::string> result;
        if (a == "-o" || a == "--output")
            result = value(options.Png) ? "" : "-o needs FILE.png";
        return result;
    });
    if (options.Help) {
        std::cout << "usage: " << kRenderUsage << "\n\n"
                  << "Loads DEVICE, performs the actions and writes the diagram as the window\n"
                     "would show it: the bitmap with its marks and the shown value boxes.\n\n"
                  << kActionsHelp << kFilesHelp
                  << "  -o, --output FILE  the PNG file to write\n"
                     "  --strict           any warning makes the exit status 1\n\n"
                  << kStatusHelp
                  << "\nExample:\n"
                     "  quorvel render PIC32MX795F512L --box 0=8 -o review.png\n";
        return 0;
    }
    if (error)
        return UsageError(*error, kRenderUsage);
    if (options.Png.empty())
        return UsageError("missing -o FILE.png", kRenderUsage);
    if (!PrepareOutput(options.Png) || (!options.Save.empty() && !PrepareOutput(options.Save)))
        return 1;
    HeadlessSession& session = SessionUntilExit({.Picture = true});
    if (!RunSession(options, session, kRenderUsage))
        return 2;
    if (!WritePicture(session, options.Png))
        return 1;
    return ExitCode(session, options);
}

int RunSolve(const Args& args) {
    SessionOptions options;
    SolveOptions solve;
    const auto error = ParseSession(args, options, [&](const std::string& a, auto& value) {
        return ReadSolveOption(a, value, solve);
    });
    if (options.Help) {
        std::cout
            << "usage: " << kSolveUsage << "\n\n"
            << "Loads DEVICE, performs the actions, then searches every choice of the\n"
               "configuration fields, register bit-fields and typed bit-fields that the\n"
               "targets and the diagram's limits depend on, and prints the choices that\n"
               "meet every target and keep every limit, best first: exact before\n"
               "approximate, then the fewest changes, then the lowest VCO frequency.\n"
               "Each solution is printed as the --set actions that reproduce it and the\n"
               "values of the boxes. The exit code is 1 when there is none, and the\n"
               "reason (the target or limit that cannot be met) goes to standard error.\n\n"
            << kActionsHelp
            << "  --target NAME=VALUE a box, by its variable (E6) or what it shows (Fosc),\n"
               "                     and the MHz it should show; may be given again\n"
               "  --tolerance PERCENT how far from each target a value may lie (0: exact)\n"
               "  --lock FIELD       a field that keeps its current choice\n"
               "  --max N            prints at most N solutions (10)\n"
               "  --json             prints {\"solutions\": [{\"set\": [...], \"boxes\": {...},\n"
               "                     \"error\": 0, \"changes\": N}], \"combinations\": N}\n\n"
               "Example:\n"
               "  quorvel solve dsPIC33FJ128GP802 --box 0=8 --set POSCMD=XT --target Fosc=80\n";
        return 0;
    }
    if (error)
        return UsageError(*error, kSolveUsage);
    HeadlessSession& session = SessionUntilExit({});
    if (!RunSession(options, session, kSolveUsage, false))
        return 2;
    if (!session.Loaded() || !session.Messages().empty())
        return 1;
    std::vector<std::string> texts;
    for (const ValueBoxState& box : session.Core.State().Boxes)
        texts.push_back(box.text);
    return SolveAndPrint(session.Core.Model(), texts, solve);
}

} // namespace quorvel::cli
