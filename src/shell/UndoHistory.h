#pragma once
// Undo and redo over whole states: before each change the owner records the state as it
// was; undoing hands that state back and keeps the current one for redo. The history also
// knows which step was saved last, so a front end can tell unsaved changes.

#include <cstddef>
#include <deque>
#include <utility>

namespace quorvel {

template <typename State> class UndoHistory {
public:
    // At most `limit` steps are kept; the oldest go first.
    explicit UndoHistory(std::size_t limit = 200) : limit_(limit == 0 ? 1 : limit) {}

    // Records the state before a change. The steps that could be redone are dropped.
    void Record(State before) {
        redo_.clear();
        if (savedAt_ > static_cast<long>(undo_.size()))
            savedAt_ = kNever; // the saved state was among the dropped redo steps
        undo_.push_back(std::move(before));
        if (undo_.size() > limit_) {
            undo_.pop_front();
            savedAt_ = savedAt_ == kNever ? kNever : savedAt_ - 1;
        }
    }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

    // The state before the last change; `current` becomes the first redo step. Only when
    // CanUndo().
    State Undo(State current) {
        redo_.push_back(std::move(current));
        State before = std::move(undo_.back());
        undo_.pop_back();
        return before;
    }

    // The state the last undo left; `current` goes back on the undo steps. Only when
    // CanRedo().
    State Redo(State current) {
        undo_.push_back(std::move(current));
        State after = std::move(redo_.back());
        redo_.pop_back();
        return after;
    }

    // Forgets every step; the current state counts as saved when `saved` is true.
    void Clear(bool saved) {
        undo_.clear();
        redo_.clear();
        savedAt_ = saved ? 0 : kNever;
    }

    // The current state is the saved one.
    void MarkSaved() { savedAt_ = static_cast<long>(undo_.size()); }
    // Whether the current state differs from the last saved one by some step (always when
    // nothing was saved, or when the saved step can no longer be reached).
    bool Modified() const { return savedAt_ != static_cast<long>(undo_.size()); }

private:
    static constexpr long kNever = -1;
    std::size_t limit_;
    std::deque<State> undo_;
    std::deque<State> redo_;
    long savedAt_ = kNever;
};

} // namespace quorvel
