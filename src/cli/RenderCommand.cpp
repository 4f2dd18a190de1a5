#include "cli/RenderCommand.h"

#include "cli/BatchRender.h"
#include "cli/CellOptions.h"
#include "film/MovieExport.h"
#include "cli/CommandLine.h"
#include "cli/NumberOption.h"
#include "cli/OutputChecks.h"
#include "cli/PictureApplication.h"
#include "cli/Subcommands.h"
#include "cli/ConsoleProgress.h"
#include "soundfiles/RecordingExport.h"
#include "model/ActivityTable.h"
#include "playback/PitchMappingText.h"
#include "playback/RealTimeSpeed.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <algorithm>
#include <cctype>
#include <vector>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <tuple>

namespace cellsonify {

namespace {

// What --scale gives: the name of a scale. Kept apart so the option's reading
// can grow in one place.
ScaleKind scaleOptionOf(const std::string& text) { return parseScaleKind(text); }

}  // namespace

PitchMapping pitchMappingOf(const RenderRequest& r) {
    PitchMapping mapping;
    mapping.mode = parsePitchMode(r.pitch);
    mapping.scale = scaleOptionOf(r.scale);
    mapping.root = parseRoot(r.root);
    std::tie(mapping.low, mapping.high) = parseRange(r.range);
    checkPitchMapping(mapping);
    return mapping;
}

NoteLength noteLengthOf(const RenderRequest& r) { return parseNoteLength(r.noteLength); }

VelocityMode velocityModeOf(const RenderRequest& r) {
    if (const std::optional<VelocityMode> mode = parseVelocityMode(r.velocity)) return *mode;
    throw ExportError("--velocity expects fixed or strength, not \"" + r.velocity + "\"");
}

namespace {

// The window's pictures of the pass: a movie, or a still at r.frame.
void renderPictures(const CellModel& model, const RenderRequest& r, const ExportSettings& pass, ExportFormat format,
                    ConsoleProgress& bar) {
    PictureSettings settings;
    static_cast<ExportSettings&>(settings) = pass;
    settings.scale = r.zoom.value_or(kDefaultPictureScale);
    const PictureApplication application;
    const std::unique_ptr<PictureExport> work =
        format == ExportFormat::Mp4
            ? startMovieExport(model, r.out, settings)
            : startPictureExport(model, r.out, settings, r.frame ? std::optional<int64_t>(*r.frame) : std::nullopt);
    while (!work->advance()) bar.update(work->done());
}

}  // namespace

int renderRecordingFile(const RenderRequest& r, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ConsoleProgress bar(err, errIsTerminal);
    try {
        // Wrong names and options are refused before the file is even read.
        const ExportFormat format = exportFormatOf(r.out);
        if (r.frame && format != ExportFormat::Png)
            throw ExportError("--frame chooses the frame of a still picture: the output must end in .png");
        const bool sounds = format == ExportFormat::Wav || format == ExportFormat::Mp4;
        if (r.tailSeconds && !sounds)
            throw ExportError("--tail is the sound after the last frame: it applies to .wav and .mp4 outputs, not to " +
                              r.out);
        if (r.zoom && !showsPictures(format))
            throw ExportError("--zoom (or --scale N) enlarges the window's pictures: it applies to .mp4 and .png "
                              "outputs, not to " + r.out);
        const RowOrderKind order = rowOrderOption(r.order);
        cli::refuseOutputOntoInput(r.out, r.file);
        ExportSettings settings;
        // A speed in the recording's own time is checked for its form now and
        // turned into milliseconds once the recording tells its frame rate.
        exportIntervalOf(resolveSpeedText(r.speed.empty() ? "50" : r.speed, 1000));
        settings.instrument = &exportInstrumentOf(r.instrument);
        settings.tailSeconds = r.tailSeconds;
        settings.mapping = pitchMappingOf(r);
        settings.noteLength = noteLengthOf(r);
        settings.velocity = velocityModeOf(r);
        CellModel model = cli::openForCommand(r.file, r.import, err, errIsTerminal).model;
        const std::string asked = !r.speed.empty() ? r.speed : model.FrameRate > 0 ? "realtime" : "50";
        const std::string speed = resolveSpeedText(asked, model.FrameRate);
        settings.intervalMs = exportIntervalOf(speed);
        applyOrderOption(model, order);
        applyCellsOption(model, r.cells);
        if (showsPictures(format))
            renderPictures(model, r, settings, format, bar);
        else
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

int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    std::vector<std::string> line{"render"};
    line.insert(line.end(), args.begin(), args.end());
    return runCommandLine(line, out, err, errIsTerminal, {});
}

namespace cli {

namespace {

void applyScaleOption(RenderRequest& r, const std::string& text) {
    const bool number = !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) != 0;
    });
    if (!number) {
        r.scale = text;
        return;
    }
    const int zoom = text.size() <= 2 ? std::stoi(text) : 0;
    if (zoom < 1 || zoom > kMostPictureScale)
        throw CLI::ValidationError("--scale", "a whole number is the picture zoom, from 1 to " +
                                                  std::to_string(kMostPictureScale) + ", not \"" + text + "\"");
    r.zoom = zoom;
}

}  // namespace

void addRenderCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand(
        "render", "Write one pass of playback as a MIDI file (.mid), audio (.wav), a movie of the window (.mp4) or "
                  "a still picture of the window (.png)");
    auto r = std::make_shared<RenderRequest>();
    auto batch = std::make_shared<BatchRequest>();
    command->add_option("FILE", batch->inputs,
                        "Data file, suite2p folder, NWB or CaImAn file to play; several are written into the "
                        "folder -o names")
        ->required();
    command->add_option("-o,--output", r->out,
                        "File to write: NAME.mid, NAME.wav, NAME.mp4 or NAME.png; or a folder DIR/ to write each "
                        "input into under its own name, with --format")
        ->required();
    CLI::Option* formatOption =
        command->add_option("--format", batch->format, "What to write for each input into the folder -o names")
            ->check(CLI::IsMember({"mp4", "wav", "mid", "png"}))
            ->type_name("FORMAT");
    CLI::Option* jobsOption = addNumberOption(*command, "--jobs", batch->jobs, 1, kMostBatchJobs,
                                              "Inputs rendered at once into the folder, each in a process of its own");
    // The speed is kept as text: it is read as the window reads its speed box.
    command->add_option("--speed", r->speed,
                        "Milliseconds per frame, as typed in the speed box; realtime, or xN for N times that, plays "
                        "an import at the frame rate it states. Default: realtime for a recording that states its "
                        "frame rate (as the window opens it), else 50")
        ->type_name("TEXT");
    command->add_option("--instrument", r->instrument, "Instrument caption (any case) or program number")
        ->capture_default_str();
    command->add_option("--pitch", r->pitch, "Pitch mapping: rows, scale or position")->capture_default_str();
    // --scale names the musical scale; a whole number there is the picture
    // zoom instead (as --zoom), so both "--scale minor" and "--scale 3" read
    // as a user means them, even together.
    auto scaleTexts = std::make_shared<std::vector<std::string>>();
    command->add_option("--scale", *scaleTexts,
                        "Scale for scale and position: major, minor, chromatic, major-pentatonic, "
                        "minor-pentatonic or whole-tone (default major); a whole number N is the picture zoom, "
                        "as --zoom N")
        ->type_name("NAME|N")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command->add_option("--root", r->root, "Root of the scale: C, C#, Db ... B")->capture_default_str();
    command->add_option("--range", r->range, "Lowest and highest note, LOW:HIGH as numbers or names (C4 = 60)")
        ->capture_default_str();
    command->add_option("--velocity", r->velocity,
                        "fixed: every note at full velocity; strength: each event's strength (imports)")
        ->capture_default_str();
    command->add_option("--note-length", r->noteLength, "Milliseconds until each note-off, or ring")
        ->type_name("MS")
        ->capture_default_str();
    auto tail = std::make_shared<double>(0.0);
    CLI::Option* tailOption = addNumberOption(*command, "--tail", *tail, 0.0, 600.0,
                                              "Seconds of sound after the last frame, faded at the end (default: until "
                                              "the sound falls below -60 dBFS, at most 10 s)");
    tailOption->default_str("");
    auto zoom = std::make_shared<int>(kDefaultPictureScale);
    CLI::Option* zoomOption = addNumberOption(*command, "--zoom", *zoom, 1, kMostPictureScale,
                                              "Movie and picture: each window pixel becomes N x N pixels");
    auto frame = std::make_shared<int>(1);
    CLI::Option* frameOption = addNumberOption(*command, "--frame", *frame, 1, kMaxFrameIndex,
                                               "Picture: the window as playback lights frame N, frames counted from 1 "
                                               "as on the raster's axis, up to the recording's last frame but one "
                                               "(default: at rest, as loaded)");
    frameOption->default_str("");
    command->add_option("--cells", r->cells, "Only these cells sound, as numbers and ranges: 1,5,9-20")
        ->type_name("LIST");
    command->add_option("--order", r->order, "Row order: file, position, activity or similarity")
        ->capture_default_str();
    addImportOptions(*command, r->import);
    command->callback([&context, r, tail, tailOption, zoom, zoomOption, frame, frameOption, scaleTexts, batch,
                       formatOption, jobsOption] {
        if (zoomOption->count() > 0) r->zoom = *zoom;
        for (const std::string& text : *scaleTexts) applyScaleOption(*r, text);
        if (tailOption->count() > 0) r->tailSeconds = *tail;
        if (frameOption->count() > 0) r->frame = *frame;
        context.exitCode = renderAsAsked(*r, *batch, formatOption->count() > 0, jobsOption->count() > 0,
                                         context.out, context.err, context.errIsTerminal);
    });
}

}  // namespace cli

}  // namespace cellsonify
