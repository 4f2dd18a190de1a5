#include "app/RunWindow.h"

#include "app/ApplicationWindow.h"
#include "import/RecordingFile.h"
#include "model/DataFileLoader.h"

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
    // The window shows the loader's message; a user who typed the name in a
    // terminal reads the same words there.
    std::string refusal;
    services.window.load = [&refusal](const std::string& path) {
        try {
            return LoadDataFile(path);
        } catch (const std::exception& e) {
            refusal = e.what();
            throw;
        }
    };
    ApplicationWindow window(services);
    if (!file.empty() && !opensAsImport(file) && !window.form().loadDataFile(file))
        std::cerr << "cellsonify: " << refusal << '\n';
    window.show();
    if (!file.empty() && opensAsImport(file)) {
        // Imported on a worker thread once the window is up, with its progress dialog.
        QObject::connect(&window.form(), &MainWindow::importEnded, &window,
                         [](bool imported, const QString& error) {
                             // The window's message, word for word.
                             if (!imported && !error.isEmpty()) std::cerr << "cellsonify: " << error.toStdString() << '\n';
                         });
        window.form().startImport(file);
    }
    return app.exec();
}

}  // namespace cellsonify
