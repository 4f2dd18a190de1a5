#pragma once

#include "face/FaceLayout.h"
#include "face/FaceStrips.h"
#include "face/FaceViews.h"

#include <QString>

#include <array>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFont;
class QWidget;

namespace cellsonify {

class CanvasView;
class ImageButton;
class ZoomedStyle;

// The main window's controls, each named after itself (objectName) and placed
// at its fixed position (the layout table, FaceLayout.h); the window only wires them.
struct MainWindowControls {
    // The four views and the strips as the face's views (their boxes).
    FaceViews views() const;

    CanvasView* raster = nullptr;     // "Raster": frames across, cells down; takes dropped files
    CanvasView* frameStrip = nullptr;  // "Indicator": the frame strip with its cursor
    CanvasView* cellMap = nullptr;    // "XYLoc": a dot per cell; takes dropped files
    CanvasView* keyboard = nullptr;   // "KeyB": 128 keys with separator lines
    std::vector<CanvasView*> strips;  // one per faceStrips() entry, named after it; hidden until shown
    StripsShown stripsShown = noStrips();
    QPushButton* fileOpen = nullptr;  // "fileopen": "Load Data File"
    ImageButton* back = nullptr;    // "BBK"
    ImageButton* play = nullptr;    // "PLAYK"
    ImageButton* stop = nullptr;    // "STOPK": over PLAYK, hidden at start
    QLineEdit* speed = nullptr;       // "SPEED": milliseconds per frame, "50" at start
    QGroupBox* instruments = nullptr;            // "Frame1"
    std::array<QRadioButton*, 7> instrument{};   // "Option1".."Option7" (Piano selected)
    QGroupBox* soundSwitch = nullptr;            // "Frame2"
    QRadioButton* soundOn = nullptr;             // "Option9"
    QRadioButton* soundOff = nullptr;            // "Option8" (selected)
    QLabel* cellCount = nullptr;                 // "Label3"
    QLabel* frameCount = nullptr;                // "Label4"
    QLabel* bottomRow = nullptr;                 // "Label1_1": " 1", or the lowest row in sight
    QLabel* firstFrame = nullptr;                // "Label1_4": "0", or the first frame in sight
    QLabel* cellAxis = nullptr;                  // "Image1": the picture of the raster's vertical axis
    ZoomedStyle* optionStyle = nullptr;          // the option buttons' style, their circles at the zoom
};

// Creates every control on `form` in its start state, with the start scales,
// overlay lines and tab order.
MainWindowControls buildMainWindowControls(QWidget& form);

// Gives `form` its font at 100 %, the one its controls inherit at every zoom.
void setFormLayoutFont(QWidget& form, const QFont& font);

// Places every control at `zoom` times its layout rectangle with fonts to
// match, and draws the pictures afresh at that size. 1 is the layout itself.
// The views' images take their new sizes; drawing on them again is the caller's.
void zoomMainWindowControls(MainWindowControls& controls, QWidget& form, double zoom);

// Shows the strips `shown` and moves every control down by the room of those
// above it (kept as its layout rectangle, so zooms place it there), then
// places everything at `zoom`; nothing when they are the strips shown already.
// True when something moved: the form's size is then the caller's to set.
bool showStrips(MainWindowControls& controls, QWidget& form, const StripsShown& shown, double zoom);

// Places a label at its layout rectangle at `zoom`, widened where its text
// needs more room (a count of more digits, a font that came out wider).
void fitLabel(QLabel& label, double zoom);

}  // namespace cellsonify
