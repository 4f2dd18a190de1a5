#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cellsonify {

// What `cellsonify render` is asked: FILE's playback written to OUT, a MIDI
// file (.mid), audio (.wav), a movie of the window playing it (.mp4) or a
// still picture of the window (.png). A new render option is a field here
// and one line in addRenderCommand (RenderCommand.cpp).
struct RenderRequest {
    std::string file;                // data file to play
    std::string out;                 // file to write; its extension names the format
    std::string speed = "50";        // the speed box text: milliseconds per frame
    std::string instrument = "Piano";  // caption (any case) or program number
    std::optional<double> tailSeconds;  // audio and movie: seconds for the last notes to ring; none: until they die away
    int zoom = 2;                    // movie and picture: each window pixel becomes zoom x zoom
    std::optional<int> frame;        // picture only: the frame playback has reached; none: at rest
};

// Renders `request`: 0 and "wrote OUT" on `out`; 1 and "error: <message>" on
// `err`, leaving no OUT behind. A progress bar goes to `err` when
// `errIsTerminal` and the render takes more than a moment. A movie or picture
// is drawn under the running QApplication, or one made for it (on the
// offscreen platform unless QT_QPA_PLATFORM names another, so no display is
// needed); under a QCoreApplication it is refused.
int renderRecordingFile(const RenderRequest& request, std::ostream& out, std::ostream& err, bool errIsTerminal);

// `render ARGS...` through the program's command line, as if typed after
// "cellsonify render": the same options, messages and exit codes.
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace cellsonify
