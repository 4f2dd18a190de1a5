#pragma once

#include <QString>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace cellsonify {

class PictureBox;
class PictureButton;

// The main window's controls, each named after itself (objectName) and placed
// at its fixed position; the window only wires them.
struct Form1Controls {
    PictureBox* raster = nullptr;     // "Raster": frames across, cells down; takes dropped files
    PictureBox* indicator = nullptr;  // "Indicator": the frame strip with its cursor
    PictureBox* cellMap = nullptr;    // "XYLoc": a dot per cell; takes dropped files
    PictureBox* keyboard = nullptr;   // "KeyB": 128 keys with separator lines
    QPushButton* fileOpen = nullptr;  // "fileopen": "Load Data File"
    PictureButton* back = nullptr;    // "BBK"
    PictureButton* play = nullptr;    // "PLAYK"
    PictureButton* stop = nullptr;    // "STOPK": over PLAYK, hidden at start
    QLineEdit* speed = nullptr;       // "SPEED": milliseconds per frame, "50" at start
    QGroupBox* instruments = nullptr;            // "Frame1"
    std::array<QRadioButton*, 7> instrument{};   // "Option1".."Option7" (Piano selected)
    QGroupBox* soundSwitch = nullptr;            // "Frame2"
    QRadioButton* soundOn = nullptr;             // "Option9"
    QRadioButton* soundOff = nullptr;            // "Option8" (selected)
    QLabel* cellCount = nullptr;                 // "Label3"
    QLabel* frameCount = nullptr;                // "Label4"
};

// Creates every control on `form` in its start state, with the start scales,
// overlay lines and tab order.
Form1Controls buildForm1Controls(QWidget& form);

// Start scale of the raster: 1 horizontal unit = 13775.5107 twips, 1 vertical unit = 9107.1426 twips.
inline constexpr double kRasterStartScaleWidth = 7425.0 / 13775.5107;
inline constexpr double kRasterStartScaleHeight = 2550.0 / 9107.1426;
// Start scale of the frame strip: twips.
inline constexpr double kIndicatorStartScaleWidth = 7425.0;
inline constexpr double kIndicatorScaleHeight = 105.0;

// Names of the overlay lines.
inline const QString kIndicatorCursor = QStringLiteral("FF_line");
inline const QString kRasterBottomCursor = QStringLiteral("FF_line1");
inline const QString kRasterTopCursor = QStringLiteral("FF_line2");
inline const QString kScanLine = QStringLiteral("ScanLine");
// Key separators are "KeyLine1".."KeyLine74".
inline constexpr int kKeySeparators = 74;

}  // namespace cellsonify
