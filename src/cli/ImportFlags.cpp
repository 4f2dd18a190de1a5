#include "cli/ImportFlags.h"

#include "cli/NumberOption.h"
#include "cli/ConsoleProgress.h"
#include "import/ContextFiles.h"
#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

bool parseFrame(std::string_view text, long long& value) {
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && stop == text.data() + text.size() && value >= 1;
}

// The name messages give a recording: its last part, "plane0" for "plane0/"
// as for "plane0".
std::string recordingNameOf(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return baseName(path);
}

}  // namespace

void addImportOptions(CLI::App& command, ImportChoice& choice) {
    const auto mark = [&choice](CLI::Option* option) { option->each([&choice](const std::string&) { choice.given = true; }); };
    mark(addNumberOption(command, "--threshold", choice.options.threshold, -1000.0, 1000.0,
                         "Imports: an event starts where a trace's z-score reaches X"));
    mark(command.add_option("--trace", choice.options.trace,
                            "Imports: the trace to read (suite2p spks or F, an NWB series, CaImAn S or C)")
             ->type_name("NAME")
             ->check(
                 [](const std::string& name) {
                     return name.empty() ? std::string("--trace needs the name of a trace: suite2p spks or F, an NWB "
                                                       "series, CaImAn S or C")
                                         : std::string();
                 },
                 "", "TRACE"));
    auto frames = [&choice](const std::string& text) {
        const std::size_t colon = text.find(':');
        long long first = 0, last = 0;
        if (colon == std::string::npos || !parseFrame(std::string_view(text).substr(0, colon), first) ||
            !parseFrame(std::string_view(text).substr(colon + 1), last) || last < first)
            throw CLI::ValidationError("--frames expects FIRST:LAST, whole numbers from 1 with FIRST <= LAST, not \"" +
                                       text + "\"");
        choice.options.firstFrame = first;
        choice.options.lastFrame = last;
    };
    mark(command.add_option_function<std::string>("--frames", frames,
                                                  "Imports: keep source frames FIRST..LAST, "
                                                  "renumbered from 1")
             ->type_name("FIRST:LAST"));
    command.add_option("--events", choice.events,
                       "A CSV or TSV of trials or stimuli (start_time or frame, optional stop, labels); repeatable")
        ->type_name("FILE")
        ->check(CLI::ExistingFile);
    command.add_option("--behavior", choice.behaviour,
                       "A CSV or TSV of behaviour (time or frame, value columns) or a .npy of one value per frame; "
                       "repeatable")
        ->type_name("FILE")
        ->check(CLI::ExistingFile);
    mark(command.add_option("--plane", choice.options.plane,
                            "Imports: of a folder of suite2p planes, open only plane N (else every plane as one)")
             ->type_name("N")
             ->check(CLI::Range(0, 99999999)));
}

namespace {

OpenedRecording withSideFiles(OpenedRecording opened, const ImportChoice& choice, std::ostream& err) {
    if (choice.events.empty() && choice.behaviour.empty()) return opened;
    ContextMessages messages;
    addContextFiles(opened.model, choice.events, choice.behaviour, messages);
    for (const std::string& note : messages.notes) err << "note: " << note << '\n';
    for (const std::string& warning : messages.warnings) err << "warning: " << warning << '\n';
    return opened;
}

OpenedRecording openWithoutSideFiles(const std::string& path, const ImportChoice& choice, std::ostream& err,
                                     bool errIsTerminal);

}  // namespace

OpenedRecording openForCommand(const std::string& path, const ImportChoice& choice, std::ostream& err,
                               bool errIsTerminal) {
    return withSideFiles(openWithoutSideFiles(path, choice, err, errIsTerminal), choice, err);
}

namespace {

OpenedRecording openWithoutSideFiles(const std::string& path, const ImportChoice& choice, std::ostream& err,
                                     bool errIsTerminal) {
    if (choice.given && !recordingFormatOf(path).readsTraces)
        throw std::invalid_argument(baseName(path) + " is a data file; --threshold, --trace, --frames and --plane apply to " +
                                    listRecordingFormats(true));
    ConsoleProgress bar(err, errIsTerminal);
    ImportProgress progress;
    progress.report = [&bar](double done) { bar.update(done); };
    try {
        OpenedRecording opened = openRecording(path, choice.options, progress);
        bar.finish();
        if (!opened.source) return opened;
        for (const std::string& note : opened.source->notes)
            err << "note: " << recordingNameOf(path) << ": " << note << '\n';
        for (const std::string& warning : opened.source->warnings)
            err << "warning: " << recordingNameOf(path) << ": " << warning << '\n';
        return opened;
    } catch (...) {
        bar.finish();
        throw;
    }
}

}  // namespace

}  // namespace cellsonify::cli
