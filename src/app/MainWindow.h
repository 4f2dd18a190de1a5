#pragma once

#include "app/DataFileDialog.h"
#include "app/DroppedFiles.h"
#include "app/RecordingOpening.h"
#include "model/CellModel.h"
#include "views/WindowForm.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QLineEdit;
class QRadioButton;

namespace cellsonify {

class FileChooser;
class MessageSink;
class MidiOutput;
class CanvasView;
class ExportAction;
class ImageButton;
class PlaybackController;
class RasterNavigator;
class RecordingOpening;

// What the window uses from outside; anything left empty gets the real thing
// (QFileDialog, QMessageBox, openRecording with the window's import options)
// or, for MIDI, nothing.
struct MainWindowServices {
    MidiOutput* midi = nullptr;          // opened once at start-up when given
    FileChooser* chooser = nullptr;  // asks what to open and where to export
    MessageSink* messages = nullptr;
    OpenFunction open;  // every recording, whatever its format; runs on a thread of its own
    std::function<std::chrono::steady_clock::time_point()> clock;  // the playback timer's (empty: the steady clock)
};

// The main window: the four views, the transport buttons, the speed box and
// the option buttons at their fixed places. It opens recordings (button,
// drops, command line) and repaints the views; everything else it forwards to
// the playback controller, which owns the recording, the play position and
// the settings, and shows what playback asks for (PlaybackDisplay).
class MainWindow : public WindowForm {
    Q_OBJECT
public:
    // Builds the window in its start state, opens the MIDI output and selects
    // program 0 (or says "Sound mode is not available" and stays silent), draws
    // the keyboard, wires playback and adds the Export action (background
    // context menu, Ctrl+E).
    explicit MainWindow(MainWindowServices services = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- state
    // The loaded recording and play position (the controller's).
    const CellModel& model() const;

    // --- controls
    CanvasView& raster() { return *controls_.raster; }
    CanvasView& frameStrip() { return *controls_.frameStrip; }
    CanvasView& cellMap() { return *controls_.cellMap; }
    CanvasView& keyboard() { return *controls_.keyboard; }
    ImageButton& playButton() { return *controls_.play; }
    ImageButton& stopButton() { return *controls_.stop; }
    ImageButton& backButton() { return *controls_.back; }
    QLineEdit& speedBox() { return *controls_.speed; }
    // Instrument option `index` (1..7: Piano .. Tinkle Bell).
    QRadioButton& instrumentOption(int index) { return *controls_.instrument.at(index - 1); }
    // Whether "Sound ON" is selected, as playback knows it.
    bool soundOn() const;
    // The speed box text as typed; replacing it emits speedEdited only if it differs.
    std::string speedText() const;
    void setSpeedText(const std::string& text);

    // --- actions
    // Starts opening the recording at `path`, of any format (the `open`
    // service, openRecording), on a thread of its own with a progress dialog
    // whose Cancel stops it. Once read it replaces the recording, sets the
    // caption and counts, rescales raster and frame strip to the recording,
    // rewinds to frame 0, redraws and sets the speed to its real time when it
    // states its frame rate; it never starts or stops playback. A refusal is
    // told naming the file and the problem. Either way openingEnded follows,
    // and until then the window shows what it showed. False, doing nothing,
    // while another opening is under way.
    bool openRecording(const std::string& path);
    // openRecording of a file the user chose (Open..., a drop, the recent
    // list): an import asks its options first when the question is set
    // (setImportQuestion). False when the user cancelled or nothing started.
    bool openChosenRecording(const std::string& path);
    bool opening() const;
    // The options the window opens recordings of traces with (threshold,
    // trace, frames); refused (false) while an opening runs. When an import
    // finds no event at all the window says so, with the threshold used.
    bool setImportOptions(const ImportOptions& options);
    const ImportOptions& importOptions() const { return importOptions_; }
    // Asked before opening a file the user chose or dropped that holds traces
    // (not one opened from the program): false leaves the window as it is.
    void setImportQuestion(std::function<bool(const std::string& path)> ask) { askBeforeImport_ = std::move(ask); }
    // The "Load Data File" button: asks with the dialog and opens its file name unless empty.
    void chooseDataFile();
    // Files dropped on the raster or the cell map: opens the first if dataFileFromDrop takes it.
    void dropFiles(const QStringList& paths);
    // RedrawViews of the loaded recording on the raster and the cell map.
    void redrawViews();
    // Moves the frame cursors (as the face does), first moving the raster's
    // window on when it shows part of the recording and `frame` lies outside
    // it, and tells positionShown.
    void moveCursors(double frame);
    // Shows `window` of the recording on the raster (kept inside the
    // recording, see RasterWindow.h) with the axis captions to match.
    void showRasterWindow(const UserScale& window);
    // Shows the whole recording on the raster again.
    void showWholeRecording();
    // Playback: the recording, the settings, the timer and the transport.
    PlaybackController& playback() { return *playback_; }
    // The "Export..." action (also in the File menu of the application window).
    ExportAction& exportAction() { return *exportAction_; }
    // Where the window's messages go.
    MessageSink& messages() { return *services_.messages; }
    // The dialog's remembered file name.
    const std::string& dialogFileName() const { return dialog_.fileName(); }
    // Per cell (index = cell) of an imported recording its centre in the
    // source image's pixels (X = column, Y = row); empty for a data file.
    const std::vector<CellPosition>& sourcePixels() const { return sourcePixels_; }
    // The open dialog, for keeping where it was between runs.
    DataFileDialog& openDialog() { return dialog_; }

    // --- size
    // Scales the whole window by `zoom` (1: the layout's own size): every
    // control's rectangle and font, the pictures drawn afresh, and the views
    // drawn again at their new size (their user scales kept). Ignores zoom <= 0.
    void setZoom(double zoom);

signals:
    void playClicked();
    void stopClicked();
    void backClicked();
    // A mouse button went down on the raster or the frame strip at frame `frame` (unrounded).
    void seekRequested(double frame);
    // The speed box text changed (typed or set).
    void speedEdited(const QString& text);
    // Instrument option `index` (1..7) became selected.
    void instrumentChosen(int index);
    // "Sound ON" (true) or "Sound OFF" (false) became selected.
    void soundSwitched(bool on);
    // A recording was opened and shown.
    void dataLoaded();
    // The frame cursors moved to `frame` (a tick, a seek, a rewind).
    void positionShown(double frame);
    // An opening ended: `opened` when shown; otherwise `error` is the message
    // told, or empty after a cancel.
    void openingEnded(bool opened, const QString& error);
    // setZoom changed the window's size.
    void zoomChanged(double zoom);
    // Strips were shown or taken away (a recording with trials or behaviour, or without): the size changed.
    void stripsShownChanged();
    // The raster shows another part of the recording (zoomed, scrolled, followed or whole again).
    void rasterWindowChanged();

protected:
    void stripsResized() override { emit stripsShownChanged(); }

private:
    class Display;  // what playback shows, through this window

    void connectControls();
    void openSound();
    void showModel();
    // Hands `fresh` to playback, titles the window `caption` and shows it.
    void showRecording(CellModel fresh, const std::string& caption);

    std::unique_ptr<FileChooser> ownChooser_;
    std::unique_ptr<MessageSink> ownMessages_;
    MainWindowServices services_;
    DataFileDialog dialog_;
    std::unique_ptr<Display> display_;
    std::unique_ptr<PlaybackController> playback_;
    ExportAction* exportAction_ = nullptr;  // a child of this window
    RasterNavigator* navigator_ = nullptr;  // a child of this window
    RecordingOpening* opening_ = nullptr;   // a child of this window
    std::vector<CellPosition> sourcePixels_;
    ImportOptions importOptions_;
    std::function<bool(const std::string& path)> askBeforeImport_;
};

}  // namespace cellsonify
