#include "app/RunWindow.h"

#include "app/MainWindow.h"

#include <QApplication>

namespace cellsonify {

int runWindow(const std::vector<std::string>& qtArguments, MidiOutput* midi, const std::string& file) {
    // QApplication keeps argc and argv for its lifetime and may reorder argv.
    std::vector<std::string> storage = qtArguments;
    std::vector<char*> argv;
    for (std::string& a : storage) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());
    QApplication app(argc, argv.data());
    MainWindowServices services;
    services.midi = midi;
    MainWindow window(services);
    if (!file.empty()) window.loadDataFile(file);
    window.show();
    return app.exec();
}

}  // namespace cellsonify
