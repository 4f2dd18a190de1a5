#include "app/RunWindow.h"

#include "app/ApplicationWindow.h"

#include <QApplication>

#include <iostream>

namespace cellsonify {

int runWindow(const std::vector<std::string>& qtArguments, MidiOutput* midi, const std::string& midiPort,
              const std::string& file) {
    // QApplication keeps argc and argv for its lifetime and may reorder argv.
    std::vector<std::string> storage = qtArguments;
    std::vector<char*> argv;
    for (std::string& a : storage) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    QApplication app(argc, argv.data());
    ApplicationServices services;
    services.window.midi = midi;
    services.startPort = midiPort;
    ApplicationWindow window(services);
    // The window shows the loader's message; a user who typed the name in a
    // terminal hears it there too.
    if (!file.empty() && !window.form().loadDataFile(file))
        std::cerr << "cellsonify: " << file << " was not opened (the window says why)\n";
    window.show();
    return app.exec();
}

}  // namespace cellsonify
