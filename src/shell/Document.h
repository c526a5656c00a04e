#pragma once
// The configuration of a session as a document: the file it was opened from or saved to, the
// undo history over whole states, and whether it changed since it was last saved. Front
// ends perform their actions through it; it records an undo step whenever an action changed
// the configuration, whatever the action was.

#include "shell/ConfigurationFile.h"
#include "shell/Session.h"
#include "shell/UndoHistory.h"

#include <string>

namespace quorvel {

class Document {
public:
    // `undo`: keep an undo history (the window); the command line needs none.
    Document(Session& session, bool undo);

    Session& Core() { return session_; }
    const Session& Core() const { return session_; }

    // Performs the action and records a step when the configuration changed. Choosing
    // another device starts a new document without a file.
    Outcome Perform(const Action& action);
    // Records a step for changes made on the session directly (a solver's result).
    void Commit();

    // Opens a configuration file: loads its device, sets its inputs and replays its choices
    // by name. Every problem of the file is shown in one message naming the lines. Returns
    // false when the file could not be used at all (nothing changed then) or its device did
    // not load.
    bool Open(const std::string& path);
    // Writes the configuration to `path` atomically; false with `error` when it cannot.
    bool Save(const std::string& path, std::string& error);
    // What the configuration chooses, by name, as its file holds it.
    ConfigurationDocument Capture() const;

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    void Undo();
    void Redo();

    // The file of the document, empty when it has none.
    const std::string& FileName() const { return fileName_; }
    // True when the configuration changed since it was opened, saved or its device loaded.
    bool Modified() const { return history_.Modified(); }
    // True once a device has been loaded, so that there is something to save.
    bool HasDevice() const;

private:
    // One state of the history, with the load status it came with and the file it belonged
    // to.
    struct Step {
        Configuration State;
        LoadStatus Load;
        std::string File;
    };

    void Restore(Step step);
    // Records the change from the last committed state, if any; `newDocument` makes the
    // current state the saved one of a document without a file.
    void CommitStep(bool newDocument);

    Session& session_;
    bool undo_;
    UndoHistory<Step> history_;
    Step committed_; // the state after the last recorded step
    std::string fileName_;
};

// True when two states choose and show the same: everything but the stored points of the
// middle and right buttons and the clipboard text.
bool SameConfiguration(const Configuration& a, const Configuration& b);

} // namespace quorvel
