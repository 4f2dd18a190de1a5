#include "cli/PictureApplication.h"

#include "export/ExportOptions.h"

#include <QApplication>

#include <cstdlib>

namespace cellsonify {

PictureApplication::PictureApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            throw ExportError("movies and pictures need the window's application, and another kind is running");
        return;
    }
    // QApplication keeps argc and argv for its whole life.
    static int argc = 3;
    static char name[] = "cellsonify", option[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, option, offscreen, nullptr};
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    argc = chosen && *chosen ? 1 : 3;
    made_ = std::make_unique<QApplication>(argc, argv);
}

PictureApplication::~PictureApplication() = default;

}  // namespace cellsonify
