#pragma once

namespace cellsonify {

// Long work done a step at a time, so the caller's loop (the window's events,
// the terminal's progress bar) keeps turning between steps and can stop it.
// Destroyed unfinished, it leaves nothing behind.
class SteppedWork {
public:
    virtual ~SteppedWork() = default;
    // Does the next step (a moment, not seconds); true once the work is
    // complete. Throws, with what() ready for the user, when it fails.
    virtual bool advance() = 0;
    // Share of the work done (0..1).
    virtual double done() const = 0;
};

}  // namespace cellsonify
