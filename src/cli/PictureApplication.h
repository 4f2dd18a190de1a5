#pragma once

#include <memory>

class QApplication;

namespace cellsonify {

// The QApplication a movie or picture render draws the window under: the
// running one, or one made for the render and gone with this object. A made
// one uses the offscreen platform unless QT_QPA_PLATFORM names another, so a
// render needs no display (and a stale DISPLAY cannot abort it). Throws
// ExportError when only a QCoreApplication is running.
class PictureApplication {
public:
    PictureApplication();
    ~PictureApplication();

private:
    std::unique_ptr<QApplication> made_;
};

}  // namespace cellsonify
