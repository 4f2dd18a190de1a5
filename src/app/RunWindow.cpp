#include "app/RunWindow.h"

#include "app/Form1.h"

#include <QApplication>

namespace cellsonify {

int runWindow(int argc, char** argv, MidiOutput* midi) {
    QApplication app(argc, argv);
    Form1Services services;
    services.midi = midi;
    Form1 window(services);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.dropFiles({args.at(1)});
    window.show();
    return app.exec();
}

}  // namespace cellsonify
