#include "export/RenderCommand.h"

#include "export/ConsoleProgress.h"
#include "export/RecordingExport.h"
#include "model/DataFileLoader.h"
#include "playback/NumberText.h"

#include <ostream>
#include <stdexcept>

namespace cellsonify {

namespace {

constexpr double kLongestTail = 600;

struct RenderArgs {
    std::string file, out;
    std::string speed = "50";
    std::string instrument = "Piano";
    std::string tail;  // empty: until the sound has died away
};

RenderArgs parseRenderArgs(const std::vector<std::string>& args) {
    RenderArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* value = a == "-o"             ? &r.out
                             : a == "--speed"      ? &r.speed
                             : a == "--instrument" ? &r.instrument
                             : a == "--tail"       ? &r.tail
                                                   : nullptr;
        if (value) {
            // The value is taken as is, so a speed of "-3" is refused for what it says.
            if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
            *value = args[++i];
        } else if (r.file.empty() && !a.empty() && a[0] != '-') {
            r.file = a;
        } else {
            throw std::runtime_error("unknown argument \"" + a + "\"");
        }
    }
    if (r.file.empty() || r.out.empty()) throw std::runtime_error(std::string("usage: ") + kRenderUsage);
    return r;
}

std::optional<double> tailSecondsOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const std::optional<double> seconds = parseNumber(text);
    if (!seconds || *seconds < 0 || *seconds > kLongestTail)
        throw std::runtime_error("--tail expects seconds from 0 to 600, not \"" + text + "\"");
    return *seconds;
}

}  // namespace

int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ConsoleProgress bar(err, errIsTerminal);
    try {
        const RenderArgs r = parseRenderArgs(args);
        exportFormatOf(r.out);  // a wrong name is refused before the file is even read
        ExportSettings settings;
        settings.intervalMs = exportIntervalOf(r.speed);
        settings.instrument = &exportInstrumentOf(r.instrument);
        settings.tailSeconds = tailSecondsOf(r.tail);
        const CellModel model = LoadDataFile(r.file);
        exportRecording(model, r.out, settings, [&bar](double done) { return bar.update(done); });
        bar.finish();
        out << "wrote " << r.out << '\n';
        return 0;
    } catch (const std::exception& e) {
        bar.finish();
        err << "error: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace cellsonify
