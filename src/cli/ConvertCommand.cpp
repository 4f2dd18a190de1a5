#include "cli/ImportFlags.h"
#include "cli/OutputChecks.h"
#include "cli/Subcommands.h"
#include "model/ActivityTable.h"
#include "import/RecordingFormats.h"
#include "model/CellSelection.h"
#include "model/CellSubset.h"
#include "model/DataFileLoader.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <numeric>
#include <ostream>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

struct ConvertRequest {
    std::string file;
    std::string out;
    ImportChoice import;
    std::string cells;  // "1,5,9-20": only these cells
    int mostActive = 0;  // only the N cells with the most events; 0: every cell
};

// The part of `opened` the user chose, or all of it. A recording a data file
// cannot hold is refused, saying how to choose a part, before anything is written.
CellSubset chosenPart(const OpenedRecording& opened, const ConvertRequest& r) {
    const CellModel& model = opened.model;
    std::vector<int> cells;
    if (!r.cells.empty()) {
        try {
            cells = parseCellNumbers(r.cells, model.CellCount);
        } catch (const CellNumbersError& e) {
            throw CellNumbersError(std::string("--cells: ") + e.what());
        }
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    } else if (r.mostActive > 0) {
        cells = mostActiveCells(model.Activity, r.mostActive);
    } else {
        cells.resize(static_cast<std::size_t>(model.CellCount));
        std::iota(cells.begin(), cells.end(), 1);
    }
    const bool tooManyCells = cells.size() > static_cast<std::size_t>(kMaxCellIndex);
    const bool tooManyFrames = model.FrameCount > kMaxFrameIndex;
    if (tooManyCells || tooManyFrames)
        throw std::invalid_argument(
            baseName(r.file) + " gives " + std::to_string(cells.size()) + " cells and " +
            std::to_string(model.FrameCount) + " frames, but a data file holds at most " +
            std::to_string(kMaxCellIndex) + " cells and " + std::to_string(kMaxFrameIndex) +
            " frames; nothing was written. Choose a part: " +
            (tooManyCells ? "--most-active N (the N cells with the most events) or --cells LIST (such as 1-1500)"
                          : std::string()) +
            (tooManyCells && tooManyFrames ? ", and " : "") +
            (tooManyFrames ? "--frames FIRST:LAST (at most 100000 frames)" : ""));
    return subsetOfCells(model, opened.source->filePositions, cells);
}

}  // namespace

void addConvertCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand(
        "convert", "Write a recording of traces as a data file (text) that loads into the same recording");
    auto r = std::make_shared<ConvertRequest>();
    command->add_option("FILE", r->file, "The recording to convert: " + listRecordingFormats(true))->required();
    command->add_option("-o,--output", r->out, "Data file to write, e.g. NAME.txt")->required();
    addImportOptions(*command, r->import);
    CLI::Option* cells =
        command->add_option("--cells", r->cells, "Write only these cells (such as 1,5,9-20), numbered as imported")
            ->type_name("LIST");
    command->add_option("--most-active", r->mostActive, "Write only the N cells with the most events (ties: the lower number)")
        ->type_name("N")
        ->check(CLI::Range(1, kMaxCellIndex))
        ->excludes(cells);
    command->callback([&context, r] {
        try {
            if (!recordingFormatOf(r->file).readsTraces)
                throw std::invalid_argument(baseName(r->file) + " is not " + listRecordingFormats(true) +
                                            "; a data file needs no converting");
            refuseOutputOntoInput(r->out, r->file);
            const OpenedRecording opened = openForCommand(r->file, r->import, context.err, context.errIsTerminal);
            const CellSubset part = chosenPart(opened, *r);
            writeDataFile(part.model, part.filePositions, r->out);
            context.out << "wrote " << r->out << '\n';
        } catch (const std::exception& e) {
            context.err << "error: " << e.what() << '\n';
            context.exitCode = 1;
        }
    });
}

}  // namespace cellsonify::cli
