#include "shell/Configurator.h"

#include "devdefs/DefinitionReader.h"
#include "diagram/DescriptionParser.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "results/CodeGeneration.h"
#include "shell/KivDirectories.h"
#include "util/Errors.h"
#include "util/KivStrings.h"
#include "util/TextFile.h"

#include <unordered_set>

namespace quorvel {

Configurator::Configurator(ConfiguratorPaths paths, ConfiguratorViews views)
    : paths_(std::move(paths)), views_(views), evaluator_(std::make_unique<TSimpleEval>()),
      marking_(model_, views.Surface), selection_(model_, marking_, views.Labels, views.Clipboard) {
}

Configurator::~Configurator() = default;

void Configurator::FormShow() {
    loadFailed_ = false;
    LoadDeviceList();
}

void Configurator::LoadDeviceList() {
    SetCurrentDirectory(paths_.ProgramDir);
    devices_ = DeviceList{};
    std::string text;
    if (!ReadWholeFile(kDeviceListFileName, text)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage("File \"" + std::string(kDeviceListFileName) + "\" not found");
        return;
    }
    const bool failedBefore = loadFailed_;
    loadFailed_ = true; // stays set when the list is refused
    devices_ = ParseDeviceList(text);
    loadFailed_ = failedBefore || devices_.DeviceTypes.empty();
}

bool Configurator::ListBox1Click(const std::string& itemText) {
    // A separator line is no device: choosing it must not try to load a device named "-".
    const std::string_view name = Trim(itemText);
    if (name.empty() || name == kSeparatorName)
        return false;
    LoadDevice(itemText);
    return true;
}

namespace {

// A device or diagram name becomes part of a file name; one that would lead into another
// directory is refused, so that nothing outside the "Defs" directories and the program
// directory is read.
bool IsPlainFileName(std::string_view name) {
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
           name.find("..") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

} // namespace

std::string UnsafeNameMessage(const char* what, const std::string& name) {
    return std::string("The ") + what + " name \"" + name +
           "\" holds a path separator or \"..\" and is not loaded";
}

bool Configurator::ReadDefinition(const std::string& deviceName) {
    if (!IsPlainFileName(deviceName)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage(UnsafeNameMessage("device", deviceName));
        return false;
    }
    const DefsResolution r =
        ResolveDefsDir(deviceName, paths_.ProgramDir, paths_.SettingsFile, views_.Messages);
    defsPaths_ = r.Paths;
    defsDir_ = r.DefsDir;
    defsSlot_ = r.Slot;
    loadFailed_ = !r.Ok;
    if (loadFailed_)
        return false;
    if (!ReadDefinitionFile(deviceName + ".vlk", model_.ConfigWords)) {
        loadFailed_ = true;
        views_.Messages.ShowMessage(VlkNotFoundMessage(deviceName));
        return false;
    }
    return true;
}

void Configurator::LoadDevice(const std::string& deviceName) {
    for (int i = 0; i < kValueBoxCount; ++i) {
        views_.Boxes.SetVisible(i, false);
        views_.Boxes.SetText(i, "");
    }
    currentDevice_ = TrimCopy(deviceName);
    if (!ReadDefinition(currentDevice_))
        return;
    SetCurrentDirectory(paths_.ProgramDir);
    const TPic_Type* entry = nullptr;
    for (const TPic_Type& device : devices_.DeviceTypes) {
        if (device.Name == currentDevice_) {
            entry = &device;
            break;
        }
    }
    if (entry == nullptr || entry->Diagram.empty())
        return;
    const std::string diagram = entry->Diagram;
    if (!IsPlainFileName(diagram)) {
        views_.Messages.ShowMessage(UnsafeNameMessage("diagram", diagram));
        return;
    }
    views_.Surface.LoadBitmap("Quorvel_" + diagram + ".bmp");
    LoadDiagramDescription(diagram, model_, views_.Boxes);
    commandsVisible_ = true;
    marking_.UnmarkAllLines();
    marking_.UnmarkAllLineRegisters();
    for (int number = 1; number <= 2 * kLabelledNameCount; ++number)
        views_.Labels.SetCaption(number, "");
    LabelFields();
    ApplyDefaults();
    Calculate1Click();
}

void Configurator::LabelFields() {
    const auto& names = model_.CalcVarNames.Items();
    for (std::size_t i = 0; i < names.size() && i < static_cast<std::size_t>(kLabelledNameCount);
         ++i)
        for (const TConfigWord& word : model_.ConfigWords)
            for (const TField& field : word.Fields)
                if (field.Name == names[i])
                    views_.Labels.SetCaption(static_cast<int>(2 * i + 1), field.Description);
}

void Configurator::ApplyDefaults() {
    autoCalculate_ = false;
    // The first line of every name, compared without regard to case; clicks change marks
    // and values, never the tables walked here.
    auto clickFirstOfEachName = [this](const auto& lines) {
        std::unordered_set<std::string> met;
        for (const TLine_& line : lines)
            if (met.insert(UpperAscii(line.Name)).second)
                Image1MouseDown(MouseButton::Left, line.X1, line.Y1);
    };
    clickFirstOfEachName(model_.ConfigLines);
    clickFirstOfEachName(model_.RegisterLines);
    autoCalculate_ = true;
}

void Configurator::Image1MouseDown(MouseButton button, int x, int y) {
    std::function<void()> recalculate;
    if (autoCalculate_)
        recalculate = [this] { Calculate1Click(); };
    selection_.Image1MouseDown(button, x, y, recalculate);
}

void Configurator::Calculate1Click() {
    Calculate(model_, *evaluator_, views_.Boxes);
}

CodeOptions Configurator::EffectiveCodeOptions() const {
    return CodeOptions{codeLanguage_.value_or(CodeLanguageOfSlot(defsSlot_)), mergeWrites_};
}

void Configurator::Code1Click() {
    const CodeOptions options = EffectiveCodeOptions();
    codeLines_.clear();
    configCodeLines_ = ConfigBitsCode(model_, options.Language);
    try {
        GenerateRegisterCode(model_, options, codeLines_);
    } catch (...) {
        windowLines_ = CodeWindowText(options.Language, configCodeLines_, codeLines_);
        throw;
    }
    windowLines_ = CodeWindowText(options.Language, configCodeLines_, codeLines_);
}

void Configurator::ClearSettingLabels() {
    for (int number = 2; number <= 2 * kLabelledNameCount; number += 2)
        views_.Labels.SetCaption(number, "");
}

void Configurator::ClearAll1Click() {
    marking_.UnmarkAllLines();
    marking_.UnmarkAllLineRegisters();
    ClearSettingLabels();
    for (TRegVal& val : model_.RegVals)
        val.Chosen = false;
    marking_.DrawFollows();
    marking_.DrawFollowNots();
}

void Configurator::ClearConfigbits1Click() {
    marking_.UnmarkAllLines();
    ClearSettingLabels();
    marking_.DrawFollows();
    marking_.DrawFollowNots();
}

void Configurator::ClearRegisterSettings1Click() {
    marking_.UnmarkAllLineRegisters();
    marking_.DrawFollows();
    marking_.DrawFollowNots();
    for (TRegVal& val : model_.RegVals)
        val.Chosen = false;
}

void Configurator::ReloadAll1Click() {
    if (!currentDevice_.empty())
        LoadDevice(currentDevice_);
}

std::string Configurator::ReadHelpText() {
    std::string text;
    if (!ReadWholeFile(kHelpFileName, text))
        throw FileError("Cannot open file \"" + std::string(kHelpFileName) + "\"");
    return text;
}

} // namespace quorvel
