#pragma once

#include <memory>
#include <string>

class QGuiApplication;

namespace cellsonify {

// The QGuiApplication a movie or picture render paints the window's face
// under: the running one (a QApplication will do), or one made for the render
// and gone with this object. A made one uses the offscreen platform unless
// QT_QPA_PLATFORM names another, so a render needs no display (and a stale
// DISPLAY cannot abort it). Throws ExportError when only a QCoreApplication
// is running. Where no
// XDG_RUNTIME_DIR is set (a batch job, a container) a made one gets a private
// one for its life, so Qt has no reason to warn about it on every render.
class PictureApplication {
public:
    PictureApplication();
    ~PictureApplication();

private:
    std::string runtimeFolder_;  // made here, removed with the application
    std::unique_ptr<QGuiApplication> made_;
};

}  // namespace cellsonify
