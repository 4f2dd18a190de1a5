#include "sound/SoundTestSupport.h"

#include "sound/SoundFontLocator.h"

#include <cstdlib>

namespace soundtest {

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        saved_ = old;
    }
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (saved_) {
        ::setenv(name_.c_str(), saved_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

std::string testSoundFont() {
    if (const char* chosen = std::getenv("CELLSONIFY_TEST_SOUNDFONT"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    const std::string small = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (cellsonify::checkSoundFontFile(small).empty()) {
        return small;
    }
    ScopedEnv systemSearchOnly("CELLSONIFY_SOUNDFONT", std::nullopt);
    return cellsonify::chooseSoundFont().path.string();
}

std::unique_ptr<cellsonify::SynthEngine> loadedEngine() {
    const std::string font = testSoundFont();
    if (font.empty()) {
        return nullptr;
    }
    auto engine = cellsonify::SynthEngine::create();
    if (!engine || !engine->loadSoundFont(font)) {
        return nullptr;
    }
    return engine;
}

}  // namespace soundtest
