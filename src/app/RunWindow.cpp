#include "app/RunWindow.h"

#include "app/Form1.h"

#include <QApplication>

namespace cellsonify {

int runWindow(int argc, char** argv, MidiOutput* midi, const std::string& file) {
    QApplication app(argc, argv);
    Form1Services services;
    services.midi = midi;
    Form1 window(services);
    if (!file.empty()) window.dropFiles({QString::fromStdString(file)});
    window.show();
    return app.exec();
}

}  // namespace cellsonify
