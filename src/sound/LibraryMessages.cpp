#include "sound/LibraryMessages.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace cellsonify {

namespace {

thread_local LibraryMessageCapture* currentCapture = nullptr;

bool echoToStderr() {
    static const bool echo = [] {
        const char* value = std::getenv("CELLSONIFY_SOUND_DEBUG");
        return value != nullptr && *value != '\0' && std::string(value) != "0";
    }();
    return echo;
}

void deliver(const char* origin, const std::string& message, bool isError) {
    if (echoToStderr()) {
        std::fprintf(stderr, "%s: %s\n", origin, message.c_str());
    }
    // Warnings and chatter (missing drum presets, real-time priority refused)
    // would only bury the one line that explains a failure.
    if (isError && currentCapture != nullptr) {
        currentCapture->add(message);
    }
}

void onFluidMessage(int level, const char* message, void*) {
    const bool isError = level == FLUID_PANIC || level == FLUID_ERR;
    deliver("fluidsynth", message != nullptr ? message : "", isError);
}

void onAlsaMessage(const char* file, int line, const char* function, int err, const char* fmt, ...) {
    (void)file;
    (void)line;
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    std::string message = text;
    if (err != 0) {
        message += ": ";
        message += snd_strerror(err);
    }
    if (function != nullptr && echoToStderr()) {
        message = std::string(function) + ": " + message;
    }
    deliver("ALSA", message, true);
}

}  // namespace

void installLibraryMessageHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, onFluidMessage, nullptr);
        }
        snd_lib_error_set_handler(onAlsaMessage);
    });
}

LibraryMessageCapture::LibraryMessageCapture() : outer_(currentCapture) {
    currentCapture = this;
}

LibraryMessageCapture::~LibraryMessageCapture() {
    currentCapture = outer_;
}

std::string LibraryMessageCapture::text() const {
    return text_;
}

void LibraryMessageCapture::add(const std::string& message) {
    if (message.empty()) {
        return;
    }
    if (!text_.empty()) {
        text_ += "; ";
    }
    text_ += message;
}

std::string parenthesized(const std::string& detail) {
    return detail.empty() ? std::string() : " (" + detail + ")";
}

}  // namespace cellsonify
