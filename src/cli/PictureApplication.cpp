#include "cli/PictureApplication.h"

#include "soundfiles/ExportSettings.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace cellsonify {

PictureApplication::PictureApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw ExportError("movies and pictures need a graphical application, and only a console one is running");
        return;
    }
    // QGuiApplication keeps argc and argv for its whole life.
    static int argc = 3;
    static char name[] = "cellsonify", option[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, option, offscreen, nullptr};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        std::error_code noTemp;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(noTemp);
        std::string folder = ((noTemp ? std::filesystem::path("/tmp") : temp) / "cellsonify-runtime-XXXXXX").string();
        if (::mkdtemp(folder.data()) != nullptr) {  // mode 0700, as Qt wants it
            runtimeFolder_ = folder;
            ::setenv("XDG_RUNTIME_DIR", runtimeFolder_.c_str(), 1);
        }
    }
    // QGuiApplication takes the options it read out of argv, so the next one
    // made here would get no -platform without this.
    argv[1] = option;
    argv[2] = offscreen;
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    argc = chosen && *chosen ? 1 : 3;
    made_ = std::make_unique<QGuiApplication>(argc, argv);
}

PictureApplication::~PictureApplication() {
    made_.reset();
    if (runtimeFolder_.empty()) return;
    ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(runtimeFolder_, ignored);
}

}  // namespace cellsonify
