#pragma once

#include "app/MainWindow.h"
#include "app/OutputChoices.h"
#include "app/RecentFiles.h"
#include "app/SoundPreferences.h"
#include "model/RowOrder.h"

#include <QMainWindow>

#include <functional>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QActionGroup;
class QLabel;
class QSettings;

namespace cellsonify {

class CellChooser;

// What the application window uses from outside. The main window's services
// (dialogs, messages, loader, the output it starts with) as MainWindow takes
// them; anything left empty gets the real thing.
struct ApplicationServices {
    MainWindowServices window;
    // The port the start output plays on; empty: the built-in synthesizer.
    std::string startPort;
    // Every output the Sound menu may switch to; empty: the system's.
    OutputChoices outputs;
    // Where the recent list and the Sound menu's choices are kept; null: the
    // user's settings for cellsonify. Must outlive the window.
    QSettings* settings = nullptr;
    // The room the window may take on screen (the screen's available
    // geometry, title bar included); empty: the primary screen's.
    std::function<QSize()> screenRoom;
};

// The top-level window: a menu bar over the unchanged main window, which is
// its central widget (so pictures of the main window never show the menus).
// File: Open..., Open Recent, Export..., Quit. Playback: Play/Stop (Space),
// Back to start (Home), Real Time and x2, x4, x8 of it (for a recording that
// states its frame rate). Sound: output, pitch mapping, note length, velocity.
// Cells: pick cells, which are heard. View: Zoom, row order. Help: About, data
// formats. A status line under the main window tells the frame playing and its
// time in the recording, and says where an export went. The title and icon are
// the main window's.
class ApplicationWindow : public QMainWindow {
    Q_OBJECT
public:
    // Builds the main window (opening its start output), the menus, and
    // applies the kept Sound choices: the mapping and note length, and the kept
    // output when the start output is the built-in synthesizer.
    explicit ApplicationWindow(ApplicationServices services = {}, QWidget* parent = nullptr);
    ~ApplicationWindow() override;

    MainWindow& form() { return *form_; }
    // The menu action named `objectName` ("openAction", "playStopAction", ...).
    QAction& action(const char* objectName);

    // --- what the menu items do
    // Play when stopped, stop when playing: the visible transport button's click.
    void playOrStop();
    // Opens a recent entry (a recording to import on the window's worker, or a
    // data file at once); one that is refused leaves the list.
    void openRecent(const QString& path);
    QStringList recentFiles() const { return recent_.paths(); }
    // Switches to `port` (empty: the built-in synthesizer). An output that
    // will not open is said so and the old one stays. True when it plays now.
    bool chooseOutput(const std::string& port);
    const std::string& outputPort() const { return preferences_.outputPort; }
    // A new mapping or note length for playback and export, kept for next time.
    // A mapping that cannot sound is said so and changes nothing.
    bool chooseMapping(const PitchMapping& mapping);
    // The mapping playing now: the kept one, or the one an import with more
    // cells than keys opened with (see fitMappingToRecording).
    const PitchMapping& mappingInForce() const { return recordingMapping_ ? *recordingMapping_ : preferences_.mapping; }
    void chooseNoteLength(NoteLength length);
    void chooseVelocity(VelocityMode mode);
    void chooseNotesPerFrame(int notes);
    // Picking the cells heard (the Cells menu and the cell map).
    CellChooser& cells() { return *cells_; }
    // Orders the raster rows (and rows and scale pitches) as `kind` says, now
    // and for recordings opened later.
    // Shows the rows in the order of `kind`; false, the rows as they were,
    // when the user cancels an order worked out in the background.
    bool chooseRowOrder(RowOrderKind kind);
    // The About text: version, output and SoundFont in use.
    std::string aboutText() const;
    // Scales the window to `zoom` (View > Zoom), kept for next time.
    void chooseZoom(double zoom);
    // --- the experiment (Playback's trial entries, File > Add Events, Sound > Context)
    // Next (direction > 0) or previous trial: the position goes to just before
    // its start, so playing on strikes it. False, not moving, when there is none.
    bool stepTrial(int direction);
    // Go to Time: the frame holding `seconds` of the recording; false when none does.
    bool goToTime(double seconds);
    // Adds events and behaviour side files to the recording's context; one
    // that cannot be read is told (naming line and column) and adds nothing.
    bool addContextFiles(const std::vector<std::string>& events, const std::vector<std::string>& behaviour);

private:
    void buildFileMenu();
    void buildPlaybackMenu();
    void buildSoundMenu();
    void buildCellsMenu();
    void buildViewMenu();
    // Adds Row Order to the View menu.
    void buildRowOrderMenu();
    // The order of `kind` worked out on a thread of its own under a progress
    // dialog with Cancel; nothing when cancelled (or out of memory, said).
    std::optional<RowOrder> orderRowsInBackground(RowOrderKind kind);
    // Checks the Row Order menu's entry for rowOrder_.
    void checkRowOrderEntry();
    void buildHelpMenu();
    void buildTrialEntries(QMenu& playback);
    void buildContextFileEntries(QMenu& file);
    void buildContextMenu(QMenu& sound);
    void fillContextMenu(QMenu& menu);
    void showZoom(double zoom);
    // The largest zoom step whose whole window (menus and status line
    // included, all zoomed, and the strips the recording shows) fits the screen's room.
    double largestFittingZoom() const;
    // Shows the zoom wanted, or the largest that fits when it does not (at
    // start, and when the strips shown change the window's height), and
    // offers only the zooms that fit.
    void fitZoomToScreen();
    // Sizes this window around the main window, its menu bar and status line,
    // and keeps it from shrinking below that.
    void fitToForm();
    void fillRecentMenu(QMenu& menu);
    // File > Import Options...: asks, keeps the answer for later runs and
    // reads the open recording again with it when it is an import.
    void askImportOptions();
    // Before a pipeline file the user chose opens: the import options asked
    // for, unless the user said not to ask again; false when cancelled.
    bool askImportOptionsOnOpen(const std::string& path);
    // Keeps `chosen` for later runs and reads with them from now on; false while an import runs.
    bool keepImportOptions(const ImportOptions& chosen);
    void forgetRecent(const QString& path);
    // Greys `actions` out until a recording is open (menu items with nothing to act on).
    void needsRecording(std::initializer_list<QAction*> actions);
    void fillOutputMenu(QMenu& menu);
    // The Real Time entries follow the recording: enabled when it states a rate.
    void enableRealTime();
    // An import with more cells than the keyboard has keys plays with a scale
    // mapping, so every cell sounds, unless the user chose a mapping other than
    // rows; the status line says so. Any other recording plays the kept mapping.
    void fitMappingToRecording();
    void tell(const std::string& text);
    // Says on the status line what merging and the note budget do, when they do anything.
    void showVoicing();
    // The status line's listening notes (ListeningNotes.h) for the state now.
    void showListening();

    std::unique_ptr<QSettings> ownSettings_;
    QSettings& settings_;
    RecentFiles recent_;
    SoundPreferences preferences_;
    std::optional<PitchMapping> recordingMapping_;  // in force for this recording only, not kept
    OutputChoices outputs_;
    MessageSink* messages_;
    std::unique_ptr<MidiOutput> ownOutput_;  // the output switched to last, when not the start one
    MainWindow* form_;
    QLabel* position_ = nullptr;  // in the status bar
    std::string shownVoicing_;    // the voicing line last shown
    QLabel* listening_ = nullptr;  // in the status bar, left of the position
    CellChooser* cells_ = nullptr;  // a child of form_
    RowOrderKind rowOrder_ = RowOrderKind::File;
    QMenu* recentMenu_ = nullptr;
    QActionGroup* zoomSteps_ = nullptr;
    double wantedZoom_ = 1.0;  // chosen in View > Zoom (or kept, or the screen's); shown when it fits
    std::function<QSize()> screenRoom_;
    std::vector<QAction*> recordingActions_;
    bool loopTrial_ = false;  // Playback > Loop Trial
};

}  // namespace cellsonify
