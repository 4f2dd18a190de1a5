#pragma once

#include <memory>
#include <string>

class QApplication;

namespace cellsonify {

// The QApplication a movie or picture render draws the window under: the
// running one, or one made for the render and gone with this object. A made
// one uses the offscreen platform unless QT_QPA_PLATFORM names another, so a
// render needs no display (and a stale DISPLAY cannot abort it). Throws
// ExportError when only a QCoreApplication is running. Where no
// XDG_RUNTIME_DIR is set (a batch job, a container) a made one gets a private
// one for its life, so Qt has no reason to warn about it on every render.
class PictureApplication {
public:
    PictureApplication();
    ~PictureApplication();

private:
    std::string runtimeFolder_;  // made here, removed with the application
    std::unique_ptr<QApplication> made_;
};

}  // namespace cellsonify
