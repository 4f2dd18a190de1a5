#pragma once

#include <string>

namespace cellsonify {

// FluidSynth and ALSA print their warnings and errors straight to the console.
// Once installed, those messages go nowhere unless a capture on the same thread
// is collecting them (or CELLSONIFY_SOUND_DEBUG is set, which echoes them to
// stderr), so the caller decides which of them the user gets to see.

// Routes the libraries' messages through this module; idempotent, thread-safe.
void installLibraryMessageHandlers();

// Collects, for its lifetime, the error messages that the libraries report on
// the calling thread. Captures nest; the innermost one receives the messages.
class LibraryMessageCapture {
public:
    LibraryMessageCapture();
    ~LibraryMessageCapture();
    LibraryMessageCapture(const LibraryMessageCapture&) = delete;
    LibraryMessageCapture& operator=(const LibraryMessageCapture&) = delete;

    // The messages seen so far, joined with "; ", empty if none.
    std::string text() const;
    // Appends one message; what the library hooks call.
    void add(const std::string& message);

private:
    std::string text_;
    LibraryMessageCapture* outer_;
};

// " (detail)" when detail is not empty, else "": for appending library causes.
std::string parenthesized(const std::string& detail);

}  // namespace cellsonify
