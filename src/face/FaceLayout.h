#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

namespace cellsonify {

// Where every control of the window sits (twips, at zoom 1), what it says and
// in which font: the one table the window's widgets are built from and the
// widget-free face paints from, so the two cannot drift apart.

// A control's layout rectangle in twips.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The fonts of the layout, at 100 %.
enum class LayoutFont {
    Form,       // the window's own, which controls without a font of their own inherit
    Arial825,   // labels and the sound options
    Arial9,     // "Load Data File" and "msec/frame"
};

// A control placed on the window (or, for an option, inside its frame).
struct ControlPlace {
    const char* name;  // the widget's objectName
    TwipsRect twips;
};

// A caption on the window's background.
struct LabelPlace {
    const char* name;
    TwipsRect twips;
    const char* text;         // as at start-up (the counts are replaced by a recording's)
    Qt::AlignmentFlag align;  // horizontal; every label is aligned to the top as well
    LayoutFont font;
};

// An option button: its place inside its frame and its caption.
struct OptionPlace {
    const char* name;
    TwipsRect twips;
    const char* text;
};

namespace layout {

inline constexpr int kFormWidthTwips = 7905;
inline constexpr int kFormHeightTwips = 6465;

inline constexpr ControlPlace kRaster{"Raster", {360, 120, 7455, 2580}};
inline constexpr ControlPlace kFrameStrip{"Indicator", {360, 3000, 7455, 135}};
inline constexpr ControlPlace kCellMap{"XYLoc", {2280, 3480, 3495, 2535}};
inline constexpr ControlPlace kKeyboard{"KeyB", {240, 6120, 7635, 255}};

inline constexpr ControlPlace kLoadButton{"fileopen", {360, 3360, 1455, 495}};
inline constexpr const char* kLoadButtonText = "Load Data File";
inline constexpr LayoutFont kLoadButtonFont = LayoutFont::Arial9;
inline constexpr ControlPlace kBack{"BBK", {360, 4200, 495, 495}};
inline constexpr ControlPlace kPlay{"PLAYK", {1080, 4200, 495, 495}};
inline constexpr ControlPlace kStop{"STOPK", {1080, 4200, 495, 495}};  // over PLAYK
inline constexpr ControlPlace kSpeed{"SPEED", {360, 4800, 495, 270}};
inline constexpr const char* kSpeedStartText = "50";

inline constexpr ControlPlace kInstrumentFrame{"Frame1", {6240, 3360, 1575, 2655}};
inline constexpr std::array<OptionPlace, 7> kInstrumentOptions{{
    {"Option1", {120, 240, 1335, 255}, "Piano"},
    {"Option2", {120, 600, 1215, 255}, "Celesta"},
    {"Option3", {120, 960, 1215, 180}, "Music Box"},
    {"Option4", {120, 1320, 1215, 180}, "Synth Bass"},
    {"Option5", {120, 1660, 1215, 255}, "Ice Rain"},
    {"Option6", {120, 2040, 1215, 180}, "Brightness"},
    {"Option7", {120, 2360, 1215, 180}, "Tinkle Bell"},
}};
inline constexpr LayoutFont kInstrumentFont = LayoutFont::Form;  // inherited from the window
inline constexpr ControlPlace kSoundFrame{"Frame2", {360, 5160, 1335, 855}};
inline constexpr LayoutFont kSoundFont = LayoutFont::Arial825;
inline constexpr OptionPlace kSoundOn{"Option9", {120, 140, 1190, 375}, "Sound ON"};
inline constexpr OptionPlace kSoundOff{"Option8", {120, 490, 1190, 255}, "Sound OFF"};

// Captions, each beneath every other control and beneath the captions before it.
inline constexpr std::array<LabelPlace, 7> kLabels{{
    {"Label5", {960, 4860, 1095, 255}, "msec/frame", Qt::AlignLeft, LayoutFont::Arial9},
    {"Label3", {-60, 15, 315, 255}, "1", Qt::AlignRight, LayoutFont::Arial825},   // the cell count
    {"Label4", {7380, 2775, 495, 210}, "1", Qt::AlignRight, LayoutFont::Arial825},  // the frame count
    {"Label1_1", {-120, 2595, 375, 255}, " 1", Qt::AlignRight, LayoutFont::Arial825},
    {"Label1_4", {330, 2775, 375, 255}, "0", Qt::AlignLeft, LayoutFont::Arial825},
    {"Label1_5", {3720, 2715, 615, 255}, "Frame #", Qt::AlignHCenter, LayoutFont::Arial825},
    {"Label2", {2280, 3240, 855, 255}, "Cell Map", Qt::AlignLeft, LayoutFont::Arial825},
}};
inline constexpr std::size_t kCellCountLabel = 1;
inline constexpr std::size_t kFrameCountLabel = 2;
inline constexpr std::size_t kBottomRowLabel = 3;
inline constexpr std::size_t kFirstFrameLabel = 4;
// The picture of the raster's vertical axis, beneath the captions.
inline constexpr ControlPlace kCellAxis{"Image1", {30, 1080, 210, 480}};

}  // namespace layout

// The window's colour behind everything.
inline constexpr QRgb kFormGreyRgb = 0xFFC0C0C0;

// `which` at 100 %, in points.
QFont layoutFont(LayoutFont which);
// `layout` (a font at 100 %) sized for `zoom` on a device of `logicalDpiY`:
// sized in layout pixels (a point is 4/3 of one) whatever the device's font
// resolution, as the layout's rectangles are in pixels too.
QFont zoomedFont(const QFont& layout, double zoom, int logicalDpiY);

// The rectangle in pixels of `twips` at `zoom`; neighbours stay flush at any zoom.
QRect zoomedTwipsRect(const TwipsRect& twips, double zoom);
// The window's client area at `zoom`, `grownTwips` taller than the layout (strips shown).
QSize formSize(double zoom, int grownTwips = 0);
// A caption's rectangle `at`, widened where its text (`textWidth` pixels)
// needs more room, on the side its alignment leaves free; never past the
// window's left edge.
QRect fittedLabelRect(QRect at, int textWidth, Qt::Alignment align);

}  // namespace cellsonify
