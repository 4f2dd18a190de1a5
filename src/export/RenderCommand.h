#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cellsonify {

// Usage line of the command.
inline constexpr const char* kRenderUsage =
    "cellsonify render FILE -o OUT [--speed TEXT] [--instrument NAME] [--tail SECONDS]";

// `render FILE -o OUT ...`: one pass of FILE's playback written to OUT, a MIDI
// file (.mid) or audio (.wav), at the speed (default "50" ms per frame) and
// instrument (default Piano) given, audio with a tail for the last notes to
// ring (default: until they fall below -60 dBFS, at most 10 s; --tail forces
// a length), faded at the end. 0 and "wrote OUT" on `out`; 1 and "error: <message>" on
// `err`, leaving no OUT behind. A progress bar goes to `err` when
// `errIsTerminal` and the render takes more than a moment.
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace cellsonify
