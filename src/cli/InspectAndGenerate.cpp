#include "cli/Subcommands.h"

#include "cli/CellOptions.h"
#include "cli/ContextJson.h"
#include "cli/ImportFlags.h"
#include "cli/NumberOption.h"
#include "files/SafeOutput.h"
#include "model/DataFileLoader.h"
#include "import/RecordingFormats.h"
#include "model/ModelJson.h"
#include "model/RecordingGenerator.h"
#include "sound/SoundFactory.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <memory>
#include <ostream>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

// A strength as stored (a float): its shortest text, not the double it widens to.
std::string floatText(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

// What inspect adds for an imported recording: "source" (with the frame rate
// when known), and each cell's "roi" and "strengths" (the peak z of each of
// its events, in the order of its frames).
JsonExtraFields importFields(const ImportSource& source, const CellModel& model) {
    JsonExtraFields extra;
    extra.afterFrameCount = ", \"source\": {\"format\": " + jsonString(source.format) +
                            ", \"trace\": " + jsonString(source.trace) +
                            ", \"threshold\": " + jsonNumber(source.threshold) +
                            ", \"rois\": " + std::to_string(source.rois);
    if (model.FrameRate > 0) extra.afterFrameCount += ", \"frame_rate\": " + jsonNumber(model.FrameRate);
    extra.afterFrameCount += "}";
    extra.perCell = [&source, &model](int cell) {
        std::string fields = ", \"roi\": " + std::to_string(source.cellRoi.at(cell));
        if (!source.cellPlane.empty()) fields += ", \"plane\": " + std::to_string(source.cellPlane.at(cell));
        if (model.Strength.empty()) return fields;
        fields += ", \"strengths\": [";
        bool first = true;
        for (const int32_t frame : model.Activity.framesOf(cell)) {
            fields += first ? "" : ", ";
            fields += floatText(static_cast<float>(model.Strength.of(model.Activity, cell, frame)));
            first = false;
        }
        return fields + "]";
    };
    return extra;
}

// What inspect adds under a row order other than the file's: its name and
// the cells row by row, top first.
void addOrderFields(JsonExtraFields& extra, const CellModel& model, const std::string& order) {
    if (order == "file") return;
    std::string rows;
    for (int place = model.CellCount; place >= 1; --place)
        rows += (place < model.CellCount ? ", " : "") + std::to_string(model.Rows.cellAt(place));
    extra.afterFrameCount += ", \"order\": " + jsonString(order) + ", \"rows\": [" + rows + "]";
}

}  // namespace

void addInspectCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command =
        app.add_subcommand("inspect", "Print the loaded model of a data file (or an imported recording) as JSON");
    auto file = std::make_shared<std::string>();
    auto import = std::make_shared<ImportChoice>();
    command->add_option("FILE", *file, "The recording: " + listRecordingFormats(false))->required();
    auto order = std::make_shared<std::string>("file");
    command->add_option("--order", *order, "Also list the rows in this order: file, position, activity or similarity")
        ->capture_default_str();
    addImportOptions(*command, *import);
    command->callback([&context, file, import, order] {
        try {
            const RowOrderKind kind = rowOrderOption(*order);
            OpenedRecording opened = openForCommand(*file, *import, context.err, context.errIsTerminal);
            applyOrderOption(opened.model, kind);
            JsonExtraFields extra = opened.source ? importFields(*opened.source, opened.model) : JsonExtraFields{};
            addOrderFields(extra, opened.model, *order);
            extra.afterFrameCount += contextJsonFields(opened.model.Context);
            writeModelJson(context.out, opened.model, opened.caption, extra);
        } catch (const std::exception& e) {
            context.err << "error: " << e.what() << '\n';
            context.exitCode = 1;
        }
    });
}

void addGenerateCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand("generate", "Write a synthetic recording as a data file");
    auto path = std::make_shared<std::string>();
    auto settings = std::make_shared<GeneratorSettings>();
    command->add_option("OUT", *path, "Data file to write")->required();
    addNumberOption(*command, "--cells", settings->cells, 1, 1500, "Cells in the recording");
    addNumberOption(*command, "--frames", settings->frames, 1, 100000, "Frames the recording declares");
    addNumberOption(*command, "--activity", settings->activity, 0.0, 1.0, "Mean share of frames a cell is active in");
    addNumberOption(*command, "--seed", settings->seed, 0u, UINT32_MAX, "Random seed; the same seed, the same file");
    command->callback([&context, path, settings] {
        try {
            writeFileSafely(*path, generateRecording(*settings));
            context.out << "wrote " << *path << '\n';
        } catch (const std::exception& e) {
            context.err << "error: " << e.what() << '\n';
            context.exitCode = 1;
        }
    });
}

void addPortsCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand("ports", "List the external MIDI output ports (for --midi-port)");
    command->callback([&context] { context.exitCode = writeMidiPortList(context.out, context.err); });
}

}  // namespace cellsonify::cli
