#pragma once

#include "files/SteppedWork.h"
#include "playback/VoicingReport.h"
#include "soundfiles/ExportSettings.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace cellsonify {

struct CellModel;

// An export under way, made a step at a time (see SteppedWork); its advance
// throws ExportError, VideoError or std::runtime_error and leaves no file.
class ExportWork : public SteppedWork {
public:
    // What merging and the note budget did in the pass the export plays,
    // once advance() has returned true; nothing for an export without sound.
    virtual VoicingReport voicing() const { return {}; }
};

// One kind of file a recording exports to. A new output is one row in
// outputFormats() and the writer its start function calls.
struct OutputFormat {
    std::string_view extension;  // "mid": the file name's ending after the dot, any case
    std::string_view caption;    // the save dialog's name for it: "MIDI File"
    std::string_view what;       // how messages name it: "MIDI file"
    std::string_view described;  // how help names it: "a movie of the window"
    bool drawsPictures;          // painted from the window's face: needs a QGuiApplication, runs on its thread
    bool takesTail;              // ExportSettings::tailSeconds applies
    bool takesScale;             // ExportSettings::scale applies
    bool takesFrame;             // ExportSettings::frame applies
    bool takesLayout;            // ExportSettings::layout applies
    std::string_view figureCaption;  // the save dialog's name for its figure layout: "PNG Figure"; empty: none
    // Starts writing `model` to `path` under `settings`; refuses what cannot
    // be made at once (ExportError). `model` is copied where the work needs it later.
    std::unique_ptr<ExportWork> (*start)(const CellModel& model, const std::string& path,
                                         const ExportSettings& settings);
};

// Every output, in the order the save dialog and help list them.
std::span<const OutputFormat> outputFormats();

// The output whose extension `path` ends with (".mid", any case); throws
// ExportError naming the choices for any other.
const OutputFormat& outputFormatOf(const std::string& path);
// The output with extension `extension` ("mid", any case), or null.
const OutputFormat* outputFormatNamed(std::string_view extension);

// The extensions of the outputs that take an option, as a phrase:
// extensionsTaking(&OutputFormat::takesTail) is ".wav and .mp4".
std::string extensionsTaking(bool OutputFormat::*option);
// Each output as `pattern` shows it, "{ext}" replaced by the extension, "{what}" by
// its `what` and "{described}" by its `described`, listed "a, b, c or d".
std::string listOutputs(std::string_view pattern);
// The save dialog's filter: "MIDI File (*.mid);;WAV Audio (*.wav);;...", each
// output's figure layout listed after it ("PNG Figure (*.png)").
std::string outputDialogFilter();
// The layout the save dialog's type `type` (one of outputDialogFilter's
// entries) stands for: a figure caption's, or the window.
PictureLayout layoutOfDialogType(std::string_view type);

// The export to `path` made in one call: false, and no file, when `progress`
// cancels; otherwise as the output's start and advance.
bool runExport(const CellModel& model, const std::string& path, const ExportSettings& settings,
               const ExportProgress& progress = {});

}  // namespace cellsonify
