#pragma once

#include "app/FileChooser.h"
#include "app/MainWindow.h"
#include "app/MessageSink.h"
#include "import/RecordingFile.h"
#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"
#include "playback/PlaybackController.h"
#include "support/RecordingOutput.h"
#include "views/CanvasView.h"
#include "views/UiEvents.h"
#include "views/ViewsTestModels.h"

#include <QEventLoop>
#include <QLabel>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Qt's own step that lets the focused control claim a key before the
// window's shortcuts see it, as a real key press goes (private to Qt).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                                   const QString& text = QString(), bool autorep = false,
                                                   ushort count = 1);

namespace apptest {

inline constexpr QRgb kBlueRgb = 0xFF0000FF;
inline constexpr QRgb kRedRgb = 0xFFFF0000;
inline constexpr QRgb kBlackRgb = 0xFF000000;
inline constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
inline constexpr QRgb kGreyRgb = 0xFFC0C0C0;

// File dialogs that answer from a script: a path, or nullopt for Cancel; the
// open and save dialogs each from a list of their own.
struct ScriptedChooser : cellsonify::FileChooser {
    struct Asked {
        std::string title, filter, startPath, type;
    };
    std::vector<std::optional<std::string>> answers;
    std::vector<Asked> asked;
    std::vector<std::optional<std::string>> saveAnswers;
    std::vector<Asked> saveAsked;
    std::string typeChosen;  // the type the user picks with each answer; empty: the one shown
    std::string saveTypeChosen;  // the same for the save dialog
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& startPath) override {
        asked.push_back({title, filter, startPath, fileType_});
        std::optional<std::string> answer = asked.size() <= answers.size() ? answers[asked.size() - 1] : std::nullopt;
        if (answer && !typeChosen.empty()) fileType_ = typeChosen;
        return answer;
    }
    std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override {
        saveAsked.push_back({title, filter, startPath, saveType_});
        std::optional<std::string> answer =
            saveAsked.size() <= saveAnswers.size() ? saveAnswers[saveAsked.size() - 1] : std::nullopt;
        if (answer && !saveTypeChosen.empty()) saveType_ = saveTypeChosen;
        return answer;
    }
};

// Keeps the messages instead of showing them.
struct RecordedMessages : cellsonify::MessageSink {
    std::vector<std::pair<std::string, std::string>> shown;  // title, text
    void show(const std::string& title, const std::string& text) override { shown.emplace_back(title, text); }
};


// Recordings held in memory: a known path gives its model as a data file; any
// other data file is refused, and any other recording is opened for real.
struct FakeFiles {
    std::map<std::string, cellsonify::CellModel> models;
    std::vector<std::string> loads;   // the paths answered as data files
    std::vector<std::string> opened;  // every path asked of open(), whatever its format
    cellsonify::CellModel load(const std::string& path) {
        loads.push_back(path);
        auto it = models.find(path);
        if (it == models.end()) throw cellsonify::DataFileError(cellsonify::baseName(path), 3, "not a data file");
        cellsonify::CellModel m = it->second;
        m.DataFile = path;
        return m;
    }
    cellsonify::OpenedRecording open(const std::string& path, const cellsonify::ImportOptions& options = {},
                                     const cellsonify::ImportProgress& progress = {}) {
        opened.push_back(path);
        if (!models.count(path) && cellsonify::recordingFormatOf(path).readsTraces)
            return cellsonify::openRecording(path, options, progress);
        return {load(path), cellsonify::captionFor(path), std::nullopt};
    }
    // The window's `open` service answering from these files.
    cellsonify::OpenFunction opener() {
        return [this](const std::string& path, const cellsonify::ImportOptions& options,
                      const cellsonify::ImportProgress& progress) { return open(path, options, progress); };
    }
};

// Runs the event loop, as the window does while the user waits, until the
// opening under way in `window` (if any) has ended.
inline void waitForOpening(cellsonify::MainWindow& window) {
    if (!window.opening()) return;
    QEventLoop loop;
    QObject::connect(&window, &cellsonify::MainWindow::openingEnded, &loop, &QEventLoop::quit);
    loop.exec();
    // As back in the window's own loop: the progress dialog is gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens `path` in `window` and waits for it, as a user would; whether it was
// opened and shown.
inline bool openNow(cellsonify::MainWindow& window, const std::string& path) {
    bool opened = false;
    const QMetaObject::Connection ended = QObject::connect(
        &window, &cellsonify::MainWindow::openingEnded, [&opened](bool done, const QString&) { opened = done; });
    if (window.openRecording(path)) waitForOpening(window);
    QObject::disconnect(ended);
    return opened;
}

// A window with scripted dialog, recorded messages and in-memory files.
struct WindowFixture : ::testing::Test {
    ScriptedChooser chooser;
    RecordedMessages messages;
    cellsonify::RecordingOutput midi;
    FakeFiles files;
    std::unique_ptr<cellsonify::MainWindow> window;

    void SetUp() override {
        cellsonify::MainWindowServices s;
        s.chooser = &chooser;
        s.messages = &messages;
        s.midi = &midi;
        s.open = files.opener();
        window = std::make_unique<cellsonify::MainWindow>(s);
    }

    template <class W = QWidget>
    W& control(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        if (!w) throw std::runtime_error(std::string("no control ") + name);
        return *w;
    }
    QString labelText(const char* name) { return control<QLabel>(name).text(); }
};

}  // namespace apptest
