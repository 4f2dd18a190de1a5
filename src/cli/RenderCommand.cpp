#include "cli/RenderCommand.h"

#include "cli/BatchRender.h"
#include "cli/CellOptions.h"
#include "export/MovieExport.h"
#include "cli/CommandLine.h"
#include "cli/NumberOption.h"
#include "cli/OutputChecks.h"
#include "cli/PictureApplication.h"
#include "cli/Subcommands.h"
#include "cli/ConsoleProgress.h"
#include "export/OutputFormats.h"
#include "model/ActivityTable.h"
#include "playback/RecordingMapping.h"
#include "playback/PitchMappingText.h"
#include "playback/RealTimeSpeed.h"
#include "import/RecordingFormats.h"
#include "playback/VoicingReport.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <optional>
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
    mapping.mode = r.pitch.empty() ? PitchMode::Rows : parsePitchMode(r.pitch);
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

// Refuses an option given for an output it does not apply to.
void refuseOptionsThatDoNotApply(const RenderRequest& r, const OutputFormat& format) {
    struct Use {
        bool given;
        bool OutputFormat::*applies;
        const char* what;
    };
    const Use uses[] = {
        {r.frame.has_value(), &OutputFormat::takesFrame, "--frame chooses the frame of a still picture"},
        {r.tailSeconds.has_value(), &OutputFormat::takesTail, "--tail is the sound after the last frame"},
        {r.zoom.has_value(), &OutputFormat::takesScale, "--zoom (or --scale N) enlarges the window's pictures"},
        {r.layout.has_value(), &OutputFormat::takesLayout, "--layout lays out the window's pictures"},
    };
    for (const Use& use : uses)
        if (use.given && !(format.*use.applies))
            throw ExportError(std::string(use.what) + ": it applies to " + extensionsTaking(use.applies) +
                              " outputs, not to " + r.out);
}

// The outputs' extensions, for --format.
std::vector<std::string> outputExtensionList() {
    std::vector<std::string> extensions;
    for (const OutputFormat& f : outputFormats()) extensions.emplace_back(f.extension);
    return extensions;
}

}  // namespace

int renderRecordingFile(const RenderRequest& r, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ConsoleProgress bar(err, errIsTerminal);
    try {
        // Wrong names and options are refused before the file is even read.
        const OutputFormat& format = outputFormatOf(r.out);
        refuseOptionsThatDoNotApply(r, format);
        const RowOrderKind order = rowOrderOption(r.order);
        cli::refuseOutputOntoInput(r.out, r.file);
        ExportSettings settings;
        // A speed in the recording's own time is checked for its form now and
        // turned into milliseconds once the recording tells its frame rate.
        if (!r.speed.empty() && !recordingTimeFactor(r.speed)) {
            settings.pass.setSpeedText(r.speed);
            refuseSpeedThatNeverPlays(settings.pass);
        }
        settings.pass.instrument = &exportInstrumentOf(r.instrument);
        settings.pass.mapping = pitchMappingOf(r);
        settings.pass.noteLength = noteLengthOf(r);
        settings.pass.velocity = velocityModeOf(r);
        settings.tailSeconds = r.tailSeconds;
        settings.scale = r.zoom.value_or(kDefaultPictureScale);
        if (r.frame) settings.frame = *r.frame;
        if (r.layout) settings.layout = parsePictureLayout(*r.layout).value_or(PictureLayout::Window);
        settings.pass.notesPerFrame = r.notesPerFrame;
        CellModel model = cli::openForCommand(r.file, r.import, err, errIsTerminal).model;
        if (r.context == "off") model.Context = RecordingContext{};
        const std::string asked = !r.speed.empty() ? r.speed : model.FrameRate > 0 ? "realtime" : "50";
        settings.pass.setSpeedText(resolveSpeedText(asked, model.FrameRate));
        refuseSpeedThatNeverPlays(settings.pass);
        // Without --pitch, the mapping the window would open this recording with.
        const PitchMapping fitted = r.pitch.empty() ? mappingForRecording(settings.pass.mapping, model) : settings.pass.mapping;
        const bool everyCellOnAScale = fitted != settings.pass.mapping;
        const int32_t cellCount = model.CellCount;
        settings.pass.mapping = fitted;
        applyOrderOption(model, order);
        applyCellsOption(model, r.cells);
        std::optional<PictureApplication> application;
        if (format.drawsPictures) application.emplace();
        const std::unique_ptr<ExportWork> work = format.start(model, r.out, settings);
        while (!work->advance()) bar.update(work->done());
        bar.finish();
        out << "wrote " << r.out << '\n';
        if (everyCellOnAScale)
            out << "all " << cellCount << " cells sound: pitch mapping scale (--pitch rows plays only the middle "
                << kKeyboardKeys << ")\n";
        // What merging and the note budget did, when they did anything.
        if (const std::string said = voicingSummary(model.CellCount, work->voicing(), settings.pass.notesPerFrame);
            !said.empty())
            out << said << '\n';
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
        "render", "Write one pass of playback as " + listOutputs("{described} (.{ext})"));
    auto r = std::make_shared<RenderRequest>();
    auto batch = std::make_shared<BatchRequest>();
    command->add_option("FILE", batch->inputs,
                        "The recording to play: " + listRecordingFormats(false) +
                            "; several are written into the folder -o names")
        ->required();
    command->add_option("-o,--output", r->out,
                        "File to write: " + listOutputs("NAME.{ext}") +
                            "; or a folder DIR/ to write each input into, with --format, under its own name (a "
                            "plane folder's name for suite2p) and the format's extension; when two inputs' names "
                            "clash, every input's name takes its parent folders' names in front, as many as tell them "
                            "all apart (a/suite2p/plane0, a/suite2p/plane1 and b/suite2p/plane0 give "
                            "a-suite2p-plane0, a-suite2p-plane1 and b-suite2p-plane0), then -2, -3 for the same "
                            "input given twice")
        ->required();
    CLI::Option* formatOption =
        command->add_option("--format", batch->format, "What to write for each input into the folder -o names")
            ->check(CLI::IsMember(outputExtensionList()))
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
    command->add_option("--pitch", r->pitch,
                        "Pitch mapping: rows, scale or position. Default: rows, or scale for an import of more than 128 "
                        "cells (as the window opens it), so every cell sounds");
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
    addNumberOption(*command, "--notes-per-frame", r->notesPerFrame, kLeastNotesPerFrame, kMostNotesPerFrame,
                    "Most notes one frame starts: cells on one note merge into one louder note, and the notes "
                    "carrying the most cells win")
        ->default_str(std::to_string(kDefaultNotesPerFrame));
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
    command->add_option("--layout", r->layout,
                        "Movie and picture: window (the window as it looks) or figure (the raster, cell map and "
                        "keyboard with the recording's name and a time counter, and the strips of trials and "
                        "behaviour when there are any; no controls)")
        ->check(CLI::IsMember({"window", "figure"}))
        ->type_name("LAYOUT")
        ->default_str("window");
    command->add_option("--cells", r->cells, "Only these cells sound, as numbers and ranges: 1,5,9-20")
        ->type_name("LIST");
    command->add_option("--order", r->order, "Row order: file, position, activity or similarity")
        ->capture_default_str();
    command->add_option("--context", r->context,
                        "on: trials, stimuli and behaviour found (or given by --events, --behavior) are heard and "
                        "shown; off: left out")
        ->check(CLI::IsMember({"on", "off"}))
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
