#pragma once

#include <QObject>

#include <string>

class QAction;
class QMenu;
class QPoint;

namespace cellsonify {

class MainWindow;
class MessageSink;
class SaveFileChooser;

// The window's "Export..." command, kept off the fixed layout: a context menu
// on the window background and Ctrl+E. It asks for a .mid or .wav name and
// writes one pass of the loaded recording at the window's speed text and
// instrument, with a progress dialog whose Cancel leaves no file behind.
class ExportAction : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Export";
    static constexpr const char* kFilter = "MIDI File (*.mid);;WAV Audio (*.wav)";

    // Adds the action and the menu to `form`; all three must outlive this.
    ExportAction(MainWindow& form, SaveFileChooser& chooser, MessageSink& messages);

    // The "Export..." action the menu shows and Ctrl+E triggers.
    QAction& action() { return *action_; }
    // What the action does: checks there is something to export, asks for the
    // file, exports. Problems go to the message sink.
    void run();
    // Exports to `path` with the progress dialog; problems go to the message sink.
    void exportTo(const std::string& path);

private:
    void showMenu(const QPoint& at);
    int selectedInstrument() const;
    void tell(const std::string& text);

    MainWindow& form_;
    SaveFileChooser& chooser_;
    MessageSink& messages_;
    QAction* action_;
    QMenu* menu_;
    std::string lastPath_;
};

}  // namespace cellsonify
