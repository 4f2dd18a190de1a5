#include "cli/RenderCommand.h"

#include "cli/CommandLine.h"
#include "cli/NumberOption.h"
#include "cli/Subcommands.h"
#include "export/ConsoleProgress.h"
#include "export/RecordingExport.h"
#include "model/DataFileLoader.h"
#include "playback/PitchMappingText.h"

#include <CLI/CLI.hpp>

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

int renderRecordingFile(const RenderRequest& r, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    ConsoleProgress bar(err, errIsTerminal);
    try {
        exportFormatOf(r.out);  // a wrong name is refused before the file is even read
        ExportSettings settings;
        settings.intervalMs = exportIntervalOf(r.speed);
        settings.instrument = &exportInstrumentOf(r.instrument);
        settings.tailSeconds = r.tailSeconds;
        settings.mapping = pitchMappingOf(r);
        settings.noteLength = noteLengthOf(r);
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

int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    std::vector<std::string> line{"render"};
    line.insert(line.end(), args.begin(), args.end());
    return runCommandLine(line, out, err, errIsTerminal, {});
}

namespace cli {

void addRenderCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand("render", "Write one pass of playback as a MIDI file (.mid) or audio (.wav)");
    auto r = std::make_shared<RenderRequest>();
    command->add_option("FILE", r->file, "Data file to play")->required();
    command->add_option("-o,--output", r->out, "File to write: NAME.mid or NAME.wav")->required();
    // The speed is kept as text: it is read as the window reads its speed box.
    command->add_option("--speed", r->speed, "Milliseconds per frame, as typed in the speed box")
        ->capture_default_str();
    command->add_option("--instrument", r->instrument, "Instrument caption (any case) or program number")
        ->capture_default_str();
    command->add_option("--pitch", r->pitch, "Pitch mapping: rows, scale or position")->capture_default_str();
    command->add_option("--scale", r->scale,
                        "Scale for scale and position: major, minor, chromatic, major-pentatonic, "
                        "minor-pentatonic or whole-tone")
        ->capture_default_str();
    command->add_option("--root", r->root, "Root of the scale: C, C#, Db ... B")->capture_default_str();
    command->add_option("--range", r->range, "Lowest and highest note, LOW:HIGH as numbers or names (C4 = 60)")
        ->capture_default_str();
    command->add_option("--note-length", r->noteLength, "Milliseconds until each note-off, or ring")
        ->type_name("MS")
        ->capture_default_str();
    auto tail = std::make_shared<double>(0.0);
    CLI::Option* tailOption = addNumberOption(*command, "--tail", *tail, 0.0, 600.0,
                                              "Seconds of sound after the last frame, faded at the end (default: until "
                                              "the sound falls below -60 dBFS, at most 10 s)");
    command->callback([&context, r, tail, tailOption] {
        if (tailOption->count() > 0) r->tailSeconds = *tail;
        context.exitCode = renderRecordingFile(*r, context.out, context.err, context.errIsTerminal);
    });
}

}  // namespace cli

}  // namespace cellsonify
