// quorvel diff: what two configuration files choose differently, by name.

#include "cli/CliCommand.h"
#include "cli/OutputPath.h"
#include "cli/SessionCommands.h"
#include "shell/ConfigurationDiff.h"
#include "shell/Document.h"
#include "shell/HeadlessViews.h"
#include "shell/KivDirectories.h"

#include <iostream>
#include <memory>

namespace quorvel::cli {

namespace {

constexpr const char* kDiffUsage = "quorvel diff A.qcfg B.qcfg";

// One file opened in a session of its own, as the window would open it.
struct OpenedFile {
    HeadlessViews Views;
    Session Core{
        SessionPaths{ProgramDirectory(true), JoinPath(StartDirectory(), kSettingsFileName)},
        Views.Views()};
    Document File{Core, false};
    bool Opened = false;
};

} // namespace

int RunDiff(const Args& args) {
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << "usage: " << kDiffUsage << "\n\n"
                      << "Opens both configuration files as the window does and lists, by name,\n"
                         "what they choose differently: the device, the input boxes, the\n"
                         "settings, and the computed frequencies that differ as a result, one\n"
                         "line each (\"setting CLKDIV<7:6>: 0 -> 1\").\n\n"
                         "Exit status: 0 when they choose the same, 1 when they differ, 2 when\n"
                         "a file could not be opened, a message was shown (on standard error) or\n"
                         "the list could not be written.\n\n"
                         "Example:\n"
                         "  quorvel diff ours.qcfg theirs.qcfg\n";
            return 0;
        }
        if (!a.empty() && a.front() == '-' && a != "-")
            return UsageError("unknown option \"" + a + "\"", kDiffUsage);
        files.push_back(a);
    }
    if (files.size() != 2)
        return UsageError("diff needs exactly two configuration files", kDiffUsage);
    // Both names are the caller's, before opening the first changes the current directory.
    const std::string paths[2] = {ResolveOutputPath(files[0]), ResolveOutputPath(files[1])};
    std::unique_ptr<OpenedFile> opened[2];
    bool trouble = false;
    for (int i = 0; i < 2; ++i) {
        opened[i] = std::make_unique<OpenedFile>();
        OpenedFile& f = *opened[i];
        f.Core.Perform(Action::Of(Action::Kind::Start));
        f.Opened = f.File.Open(paths[i]);
        for (const std::string& m : f.Views.Messages.Messages())
            std::cerr << m << "\n";
        trouble = trouble || !f.Opened || !f.Views.Messages.Messages().empty();
    }
    if (!opened[0]->Opened || !opened[1]->Opened)
        return 2;
    const auto differences =
        CompareConfigurations(opened[0]->File.Capture(), opened[1]->File.Capture());
    for (const ConfigurationDifference& d : differences)
        std::cout << DifferenceText(d) << "\n";
    if (trouble)
        return 2;
    return differences.empty() ? 0 : 1;
}

} // namespace quorvel::cli
