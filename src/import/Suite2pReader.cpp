#include "import/Suite2pReader.h"

#include "import/ImportError.h"
#include "import/NpyReader.h"
#include "import/PickleReader.h"
#include "import/RecordingAssembler.h"
#include "model/DataFileLoader.h"

#include <filesystem>
#include <fstream>

namespace cellsonify {

namespace {

namespace fs = std::filesystem;
using Kind = PickleValue::Kind;

class NpyTraceMatrix : public TraceMatrix {
public:
    explicit NpyTraceMatrix(NpyArray array) : array_(std::move(array)) {}
    std::size_t rois() const override { return array_.shape()[0]; }
    std::size_t frames() const override { return array_.shape()[1]; }
    void copyRow(std::size_t roi, std::size_t first, std::size_t count, double* out) const override {
        array_.copyRow(roi, first, count, out);
    }

private:
    NpyArray array_;
};

// The header of a .npy file, read from its first bytes only.
NpyHeader headerOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(65536 + 12, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return parseNpyHeader(head, file.filename().string());
}

std::string framesText(std::size_t n) { return std::to_string(n) + (n == 1 ? " frame" : " frames"); }

// A number held by a pickled value: a Python number or a NumPy scalar.
bool numberOf(const PickleValue* v, double& out) {
    if (!v) return false;
    if (v->kind == Kind::Int || v->kind == Kind::Float || v->kind == Kind::Scalar || v->kind == Kind::Bool) {
        out = v->number;
        return true;
    }
    if (v->kind == Kind::Array && v->type.kind != 'O' && v->elementCount() == 1) {
        out = v->element(0);
        return true;
    }
    return false;
}

// (row, column) of a ROI's 'med': a 2-element array, list or tuple.
bool medianPixel(const PickleValue* med, double& row, double& column) {
    if (!med) return false;
    if (med->kind == Kind::Array && med->type.kind != 'O' && med->elementCount() == 2) {
        row = med->element(0);
        column = med->element(1);
        return true;
    }
    if ((med->kind == Kind::List || med->kind == Kind::Tuple) && med->items.size() == 2)
        return numberOf(med->items[0], row) && numberOf(med->items[1], column);
    return false;
}

}  // namespace

ImportResult importSuite2p(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    fs::path folder = fs::is_directory(path) ? fs::path(path) : fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::string name = folder.filename().string();
    if (name.empty() || name == ".") name = fs::absolute(folder).lexically_normal().parent_path().filename().string();
    if (name.empty()) name = folder.string();

    const std::string trace = options.trace.empty() ? "spks" : options.trace;
    if (trace != "spks" && trace != "F" && trace != "Fneu")
        throw ImportError(name, "has no trace '" + trace + "'; a suite2p folder offers spks, F and Fneu");
    const fs::path traceFile = folder / (trace + ".npy");
    if (!fs::exists(traceFile)) throw ImportError(name, "has no " + trace + ".npy; is it a suite2p plane folder?");

    NpyArray traces = NpyArray::fromFile(traceFile.string());
    const std::string traceName = trace + ".npy";
    if (traces.shape().size() != 2)
        throw ImportError(traceName, "is not a 2-D array of ROIs x frames (it has " +
                                         std::to_string(traces.shape().size()) + " dimensions)");
    const std::size_t rois = traces.shape()[0], frames = traces.shape()[1];

    // The other trace files must describe the same recording.
    for (const char* other : {"spks", "F", "Fneu"}) {
        const fs::path f = folder / (std::string(other) + ".npy");
        if (other == trace || !fs::exists(f)) continue;
        const NpyHeader h = headerOf(f);
        if (h.shape.size() == 2 && h.shape[0] == rois && h.shape[1] != frames)
            throw ImportError(traceName, "has " + framesText(frames) + " but " + f.filename().string() + " " +
                                             std::to_string(h.shape[1]));
        if (h.shape.size() == 2 && h.shape[0] != rois)
            throw ImportError(traceName, "has " + std::to_string(rois) + " ROIs but " + f.filename().string() + " " +
                                             std::to_string(h.shape[0]));
    }

    std::vector<bool> accepted(rois, true);
    const fs::path iscellFile = folder / "iscell.npy";
    if (fs::exists(iscellFile)) {
        const NpyArray iscell = NpyArray::fromFile(iscellFile.string());
        const auto& s = iscell.shape();
        if (s.empty() || s.size() > 2 || (s.size() == 2 && s[1] == 0))
            throw ImportError("iscell.npy", "is not a list of ROIs with an accepted column");
        if (s[0] != rois)
            throw ImportError("iscell.npy", "has " + std::to_string(s[0]) + " ROIs but " + traceName + " " +
                                                std::to_string(rois));
        for (std::size_t r = 0; r < rois; ++r) accepted[r] = iscell.at(r, 0) == 1;
    }

    const fs::path statFile = folder / "stat.npy";
    if (!fs::exists(statFile)) throw ImportError(name, "has no stat.npy, which holds the ROIs' positions");
    const auto statBytes = readWholeFile(statFile.string());
    const PickleDocument stat = parseObjectNpy(std::string_view(statBytes.data(), statBytes.size()), "stat.npy");
    if (stat.root().items.size() != rois)
        throw ImportError("stat.npy", "has " + std::to_string(stat.root().items.size()) + " ROIs but " + traceName +
                                          " " + std::to_string(rois));

    SourceLayout layout;
    layout.path = path;
    layout.name = name;
    layout.format = "suite2p";
    layout.trace = trace;
    layout.label = "suite2p " + trace;
    double lowestRow = -1;
    for (std::size_t r = 0; r < rois; ++r) {
        if (!accepted[r]) continue;
        const PickleValue* roi = stat.root().items[r];
        if (roi->kind != Kind::Dict) throw ImportError("stat.npy", "ROI " + std::to_string(r) + " is not a dict");
        AcceptedRoi a;
        a.index = r;
        a.number = static_cast<long long>(r);
        const PickleValue* med = roi->find("med");
        if (!med) throw ImportError("stat.npy", "ROI " + std::to_string(r) + " has no 'med'");
        if (!medianPixel(med, a.row, a.column))
            throw ImportError("stat.npy", "ROI " + std::to_string(r) + "'s 'med' is not a (row, column) pair");
        lowestRow = std::max(lowestRow, a.row);
        layout.accepted.push_back(a);
    }

    layout.imageRows = lowestRow + 1;
    const fs::path opsFile = folder / "ops.npy";
    if (fs::exists(opsFile)) {
        const auto opsBytes = readWholeFile(opsFile.string());
        const PickleDocument ops = parseObjectNpy(std::string_view(opsBytes.data(), opsBytes.size()), "ops.npy");
        const auto& items = ops.root().items;
        double ly = 0;
        if (items.size() == 1 && items[0]->kind == Kind::Dict && numberOf(items[0]->find("Ly"), ly)) {
            if (!(ly >= 1 && ly < 1e9)) throw ImportError("ops.npy", "'Ly' is not a number of image rows");
            layout.imageRows = ly;
        }
        double fs = 0;
        if (items.size() == 1 && items[0]->kind == Kind::Dict && numberOf(items[0]->find("fs"), fs)) layout.frameRate = fs;
    }
    return assembleRecording(NpyTraceMatrix(std::move(traces)), layout, options, progress);
}

}  // namespace cellsonify
