#include "app/RunWindow.h"

#include "app/ApplicationWindow.h"
#include "app/MessageSink.h"

#include "sound/SoundFontLoadGate.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <iostream>

namespace cellsonify {

namespace {

// Shows a message in a box over the window and prints it on stderr, but for
// the Help menu's boxes, which the user asked to read.
class EchoingMessageSink : public MessageSink {
public:
    QWidget* parent = nullptr;
    void show(const std::string& title, const std::string& text) override {
        if (title != "About cellsonify" && title != "Data formats") std::cerr << "cellsonify: " << text << std::endl;
        QtMessageSink(parent).show(title, text);
    }
};

// Opens the SoundFont load gate once the window has been painted for the
// first time: the paint follows the window's first expose within the same
// event, so a call queued from there runs after it.
class OpenGateAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !done_) {
            done_ = true;
            QTimer::singleShot(0, [] { soundFontLoadGate::release(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

}  // namespace

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
    // The sound can wait for the window: its SoundFont loads once the window
    // (and the file given) is on screen.
    soundFontLoadGate::hold();
    // Every message the window shows is printed on the terminal too, word
    // for word, as it appears (not once the box is dismissed).
    EchoingMessageSink messages;
    services.window.messages = &messages;
    ApplicationWindow window(services);
    messages.parent = &window.form();
    OpenGateAfterFirstPaint openGate;
    window.winId();  // the native window exists from here, before it is shown
    window.windowHandle()->installEventFilter(&openGate);
    window.show();
    // Opened on a thread of its own once the window is up, with its progress dialog.
    if (!file.empty()) window.form().openRecording(file);
    return app.exec();
}

}  // namespace cellsonify
