#pragma once

#include "sound/SynthEngine.h"

#include <memory>
#include <optional>
#include <string>

namespace soundtest {

// Sets (or with nullopt unsets) an environment variable for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// The SoundFont for rendering tests: $CELLSONIFY_TEST_SOUNDFONT when set, else
// the small TimGM6mb when installed (it loads in a blink), else whatever the
// normal search finds; empty if none at all.
std::string testSoundFont();

// A synthesizer with the test SoundFont loaded, nullptr when there is none.
std::unique_ptr<cellsonify::SynthEngine> loadedEngine();

}  // namespace soundtest
