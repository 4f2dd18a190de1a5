#include "import/CaimanReader.h"

#include "import/Hdf5File.h"
#include "import/Hdf5Traces.h"
#include "import/ImportError.h"
#include "import/RecordingAssembler.h"
#include "model/DataFileLoader.h"
#include "model/NumberWriting.h"

#include <cmath>

namespace cellsonify {

namespace {

// CaImAn saves a missing value as a string dataset 'NoneType'.
bool present(const Hdf5File& file, const std::string& path) {
    if (file.isGroup(path)) return true;
    if (!file.isDataset(path)) return false;
    const auto text = file.readText(path);
    return !(text && *text == "NoneType");
}

}  // namespace

ImportResult importCaiman(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const Hdf5File file(path, baseName(path));
    return importCaiman(file, path, options, progress);
}

ImportResult importCaiman(const Hdf5File& file, const std::string& path, const ImportOptions& options,
                         const ImportProgress& progress) {
    const std::string& name = file.name();
    if (!file.isGroup("/estimates")) throw ImportError(name, "has no /estimates; is it a CaImAn result?");

    std::string trace = options.trace;
    if (trace.empty()) trace = present(file, "/estimates/S") ? "S" : "C";
    if (trace != "S" && trace != "C")
        throw ImportError(name, "has no trace '" + trace + "'; a CaImAn result offers S and C");
    const std::string tracePath = "/estimates/" + trace;
    if (!present(file, tracePath)) throw ImportError(name, "has no " + tracePath);
    const std::vector<std::size_t> shape = file.shape(tracePath);
    if (shape.size() != 2) throw ImportError(name, tracePath + " is not components x frames");
    const std::size_t rois = shape[0], frames = shape[1];

    if (!present(file, "/dims")) throw ImportError(name, "has no /dims (the image size)");
    const std::vector<double> dims = file.readNumbers("/dims");
    if (dims.size() < 2 || !(dims[0] >= 1 && dims[0] < 1e9) || !(dims[1] >= 1 && dims[1] < 1e9) ||
        dims[0] != std::floor(dims[0]) || dims[1] != std::floor(dims[1]))
        throw ImportError(name, "/dims is not an image size (rows, columns)");
    const double imageRows = dims[0];
    const double pixels = dims[0] * dims[1];

    if (!present(file, "/estimates/A")) throw ImportError(name, "has no /estimates/A (the components' shapes)");
    const std::vector<double> data = file.readNumbers("/estimates/A/data");
    const std::vector<double> indices = file.readNumbers("/estimates/A/indices");
    const std::vector<double> indptr = file.readNumbers("/estimates/A/indptr");
    if (data.size() != indices.size())
        throw ImportError(name, "/estimates/A has " + std::to_string(data.size()) + " values in data but " +
                                    std::to_string(indices.size()) + " in indices; the file is damaged");
    if (indptr.size() != rois + 1)
        throw ImportError(name, "/estimates/A has " + std::to_string(indptr.empty() ? 0 : indptr.size() - 1) +
                                    " components but " + tracePath + " " + std::to_string(rois) +
                                    "; the file is damaged");
    for (std::size_t i = 0; i < indices.size(); ++i)
        if (!(indices[i] >= 0 && indices[i] < pixels) || indices[i] != std::floor(indices[i]))
            throw ImportError(name, "/estimates/A/indices entry " + std::to_string(i) + " (" + numberText(indices[i], 15) +
                                        ") is not a pixel of the " + numberText(dims[0], 15) + " x " +
                                        numberText(dims[1], 15) + " image in /dims; the file is damaged");

    std::vector<bool> accepted(rois, true);
    if (present(file, "/estimates/idx_components")) {
        accepted.assign(rois, false);
        for (double i : file.readNumbers("/estimates/idx_components")) {
            if (!(i >= 0 && i < static_cast<double>(rois)) || i != std::floor(i))
                throw ImportError(name, "/estimates/idx_components names component " + numberText(i, 15) +
                                            ", which is not one of the " + std::to_string(rois) + " (0 to " +
                                            std::to_string(rois) + " - 1)");
            accepted[static_cast<std::size_t>(i)] = true;
        }
    }

    SourceLayout layout;
    layout.path = path;
    layout.name = name;
    layout.format = "caiman";
    layout.trace = trace;
    layout.label = "CaImAn " + trace;
    layout.imageRows = imageRows;
    for (std::size_t k = 0; k < rois; ++k) {
        if (!accepted[k]) continue;
        const double begin = indptr[k], end = indptr[k + 1];
        if (!(begin >= 0 && end >= begin && end <= static_cast<double>(data.size())))
            throw ImportError(name, "/estimates/A/indptr is not ascending within the data");
        double sw = 0, sr = 0, sc = 0;
        for (auto i = static_cast<std::size_t>(begin); i < static_cast<std::size_t>(end); ++i) {
            const double w = data[i];
            if (!(w > 0) || !std::isfinite(w)) continue;
            const double pixel = indices[i];
            const double column = std::floor(pixel / imageRows);
            sw += w;
            sr += w * (pixel - column * imageRows);
            sc += w * column;
        }
        if (!(sw > 0)) throw ImportError(name, "component " + std::to_string(k) + " has an empty shape in /estimates/A");
        layout.accepted.push_back({k, static_cast<long long>(k), sr / sw, sc / sw});
    }
    // The frame rate only sets the pace: one that does not read is left unknown.
    try {
        if (file.isDataset("/params/data/fr") && present(file, "/params/data/fr")) {
            const std::vector<double> fr = file.readNumbers("/params/data/fr");
            if (fr.size() == 1) layout.frameRate = fr[0];
        }
    } catch (const ImportError&) {
    }
    return assembleRecording(Hdf5TraceMatrix(file, tracePath, rois, frames, false), layout, options, progress);
}

}  // namespace cellsonify
