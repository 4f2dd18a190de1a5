#pragma once

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QPoint;
class QProgressDialog;

namespace cellsonify {

class WorkJob;
class MainWindow;
class MessageSink;
class FileChooser;

// The window's "Export..." command, kept off the fixed layout: a context menu
// on the window's bare background and Ctrl+E. It asks for a name of one of
// the outputs (OutputFormats.h) and writes one pass of the loaded recording
// under the window's pass settings as they stand (a WorkJob: a step at a
// time between the window's events), with a progress dialog whose Cancel
// leaves no file behind. A picture shows the frame the window is at (at rest
// at frame 0).
class ExportAction : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Export";

    // Adds the action and the menu to `form`; all three must outlive this.
    ExportAction(MainWindow& form, FileChooser& chooser, MessageSink& messages);

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
    // The extension (".wav") the dialog starts with before any export this run;
    // empty or unknown: ".mid".
    void setLastExtension(const std::string& extension);
    ~ExportAction() override;

signals:
    // An export started by exportTo ended (written, cancelled or refused).
    void exportEnded();
    // An export wrote `path` (absolute), just before exportEnded.
    void exported(const QString& path);
    // The user chose a file of this extension (".wav") in the dialog.
    void extensionChosen(const QString& extension);

private:
    void showMenu(const QPoint& at);
    void tell(const std::string& text);
    void jobEnded(bool written, const QString& error);
    std::string writing_;  // the file of the export under way

    MainWindow& form_;
    FileChooser& chooser_;
    MessageSink& messages_;
    QAction* action_;
    QMenu* menu_;
    std::string lastPath_;
    std::string lastExtension_ = ".mid";
    std::unique_ptr<WorkJob> job_;
    QProgressDialog* progress_ = nullptr;
};

}  // namespace cellsonify
