#pragma once

#include "cli/ImportFlags.h"
#include "playback/NoteOffSchedule.h"
#include "playback/FrameNotes.h"
#include "playback/NoteVelocity.h"
#include "playback/PitchMapping.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cellsonify {

// How much a movie or picture enlarges the window when --zoom is not given.
inline constexpr int kDefaultPictureScale = 2;

// What `cellsonify render` is asked: FILE's playback written to OUT, a MIDI
// file (.mid), audio (.wav), a movie of the window playing it (.mp4) or a
// still picture of the window (.png). A new render option is a field here
// and one line in addRenderCommand (RenderCommand.cpp).
struct RenderRequest {
    std::string file;                // data file or recording to import, to play
    std::string out;                 // file to write; its extension names the format
    // The speed box text: milliseconds per frame; "realtime" or "xN" for an
    // import's own pace. Empty: as the window opens it, real time for a
    // recording that states its frame rate, else "50".
    std::string speed;
    std::string instrument = "Piano";  // caption (any case) or program number
    std::optional<double> tailSeconds;  // audio and movie: seconds for the last notes to ring; none: until they die away
    std::string pitch;               // pitch mapping: rows, scale or position; empty: as the window opens the recording
    std::string scale = "major";     // scale and position: the scale's name
    std::string root = "C";          // scale and position: the scale's root
    std::string range = "C2:C7";     // scale and position: LOW:HIGH, numbers or names (C4 = 60)
    std::string noteLength = "ring"; // "ring" or milliseconds until the note-off
    std::string velocity = "fixed";  // "fixed" (full velocity) or "strength" (each event's)
    int notesPerFrame = kDefaultNotesPerFrame;  // most notes one frame starts
    cli::ImportChoice import;        // how an importer reads `file`
    std::optional<int> zoom;         // movie and picture: each window pixel becomes zoom x zoom (none: kDefaultPictureScale)
    std::optional<std::string> layout;  // movie and picture: "window" or "figure" (none: window)
    std::optional<int> frame;        // picture only: the frame playback has reached; none: at rest
    std::string cells;               // "1,5,9-20": only these cells sound; empty: every cell
    std::string order = "file";      // row order: file, position, activity or similarity
    std::string context = "on";      // "on": the experiment's context is heard and shown; "off": left out
};

// The pitch mapping and note length a request names; throws SoundMappingError
// naming the option's text and what was expected.
PitchMapping pitchMappingOf(const RenderRequest& request);
NoteLength noteLengthOf(const RenderRequest& request);
// The velocity mode a request names; throws ExportError for any other text.
VelocityMode velocityModeOf(const RenderRequest& request);

// Renders `request`: 0 and "wrote OUT" on `out`; 1 and "error: <message>" on
// `err`, leaving no OUT behind. A progress bar goes to `err` when
// `errIsTerminal` and the render takes more than a moment. A movie or picture
// is drawn under the running QGuiApplication, or one made for it (on the
// offscreen platform unless QT_QPA_PLATFORM names another, so no display is
// needed); under a QCoreApplication it is refused.
int renderRecordingFile(const RenderRequest& request, std::ostream& out, std::ostream& err, bool errIsTerminal);

// `render ARGS...` through the program's command line, as if typed after
// "cellsonify render": the same options, messages and exit codes.
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace cellsonify
