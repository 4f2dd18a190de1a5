#include "cli/ImportFlags.h"
#include "cli/OutputChecks.h"
#include "cli/Subcommands.h"
#include "model/DataFileLoader.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

struct ConvertRequest {
    std::string file;
    std::string out;
    ImportChoice import;
};

}  // namespace

void addConvertCommand(CLI::App& app, CommandContext& context) {
    CLI::App* command = app.add_subcommand(
        "convert", "Write a suite2p folder, NWB or CaImAn file as a data file (text) that loads into the same recording");
    auto r = std::make_shared<ConvertRequest>();
    command->add_option("FILE", r->file, "suite2p folder (or a .npy in it), NWB or CaImAn file")->required();
    command->add_option("-o,--output", r->out, "Data file to write, e.g. NAME.txt")->required();
    addImportOptions(*command, r->import);
    command->callback([&context, r] {
        try {
            if (!opensAsImport(r->file))
                throw std::invalid_argument(baseName(r->file) +
                                            " is not a suite2p folder, an NWB file (.nwb) or a CaImAn result "
                                            "(.hdf5, .h5); a data file needs no converting");
            refuseOutputOntoInput(r->out, r->file);
            const OpenedRecording opened = openForCommand(r->file, r->import, context.err, context.errIsTerminal);
            writeDataFile(opened.model, opened.source->filePositions, r->out);
            context.out << "wrote " << r->out << '\n';
        } catch (const std::exception& e) {
            context.err << "error: " << e.what() << '\n';
            context.exitCode = 1;
        }
    });
}

}  // namespace cellsonify::cli
