#pragma once

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QPoint;
class QProgressDialog;

namespace cellsonify {

class ExportJob;
class MainWindow;
class MessageSink;
class SaveFileChooser;

// The window's "Export..." command, kept off the fixed layout: a context menu
// on the window's bare background and Ctrl+E. It asks for a .mid or .wav name
// and writes one pass of the loaded recording at the playback settings' speed
// text, instrument, pitch mapping and note length, on a worker thread, with a progress dialog whose Cancel
// leaves no file behind.
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
    // Starts exporting to `path` and returns at once; the progress dialog
    // shows until it ends. Problems go to the message sink.
    void exportTo(const std::string& path);
    // Whether an export is under way.
    bool busy() const { return job_ != nullptr; }
    ~ExportAction() override;

signals:
    // An export started by exportTo ended (written, cancelled or refused).
    void exportEnded();

private:
    void showMenu(const QPoint& at);
    void tell(const std::string& text);
    void jobEnded(bool written, const QString& error);

    MainWindow& form_;
    SaveFileChooser& chooser_;
    MessageSink& messages_;
    QAction* action_;
    QMenu* menu_;
    std::string lastPath_;
    std::unique_ptr<ExportJob> job_;
    QProgressDialog* progress_ = nullptr;
};

}  // namespace cellsonify
