#include "import/Suite2pReader.h"

#include "import/ImportError.h"
#include "import/NpyReader.h"
#include "import/PathCheck.h"
#include "import/PickleReader.h"
#include "import/RecordingAssembler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <regex>

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

bool isFolder(const fs::path& p) { return pathStatus(p.string()).kind == PathKind::Directory; }
bool isRegular(const fs::path& p) { return pathStatus(p.string()).kind == PathKind::Regular; }
bool isMissing(const fs::path& p) { return pathStatus(p.string()).kind == PathKind::Missing; }

// The header of a .npy file, read from its first bytes only.
NpyHeader headerOf(const fs::path& file) {
    const auto head = readWholeFile(file.string(), 65536 + 12);
    return parseNpyHeader(std::string_view(head.data(), head.size()), file.filename().string());
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

// The numbers of a numeric array, list or tuple.
std::optional<std::vector<double>> numbersOf(const PickleValue* v) {
    if (!v) return std::nullopt;
    std::vector<double> out;
    if (v->kind == Kind::Array && v->type.kind != 'O') {
        for (std::size_t i = 0; i < v->elementCount(); ++i) out.push_back(v->element(i));
        return out;
    }
    if (v->kind != Kind::List && v->kind != Kind::Tuple) return std::nullopt;
    for (const PickleValue* item : v->items) {
        double x = 0;
        if (!numberOf(item, x)) return std::nullopt;
        out.push_back(x);
    }
    return out;
}

// Rows (or columns) beyond any imaging field of view.
constexpr double kMostImageRows = 1e9;

// Whether a (row, column) centre lies in an image of `rows` rows.
bool inImage(const std::pair<double, double>& at, double rows) {
    return at.first >= 0 && at.first < rows && at.second >= 0 && at.second < kMostImageRows;
}

std::string numberText(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Where a plane's data lies when `opened` is a run folder: combined/ when
// suite2p merged the planes, else plane0/ (else the lowest plane), directly
// in `opened` or in its suite2p/ folder.
struct Plane {
    fs::path folder;
    std::string label;  // ", combined view of 3 planes", ", plane0 of 2 planes" or ""
};

std::optional<Plane> planeOfRun(const fs::path& opened) {
    static const std::regex planeName("plane([0-9]+)");
    for (const fs::path& base : {opened, opened / "suite2p"}) {
        if (!isFolder(base)) continue;
        std::vector<std::pair<long, std::string>> planes;
        std::error_code ec;
        for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string n = it->path().filename().string();
            std::smatch m;
            if (std::regex_match(n, m, planeName) && m[1].length() < 9 && isFolder(it->path()))
                planes.emplace_back(std::stol(m[1]), n);
        }
        if (planes.empty()) continue;
        std::sort(planes.begin(), planes.end());
        const std::string count = std::to_string(planes.size()) + (planes.size() == 1 ? " plane" : " planes");
        if (isFolder(base / "combined")) return Plane{base / "combined", ", combined view of " + count};
        return Plane{base / planes.front().second, ", " + planes.front().second + " of " + count};
    }
    return std::nullopt;
}

// A side file read for what it adds; nothing when missing, a warning when it
// cannot be used.
template <class Read>
void readSideFile(const fs::path& file, const std::string& instead, std::vector<std::string>& warnings, Read read) {
    const std::string fileName = file.filename().string();
    const PathStatus s = pathStatus(file.string());
    if (s.kind == PathKind::Missing) {
        warnings.push_back("no " + fileName + "; " + instead);
        return;
    }
    try {
        if (s.kind != PathKind::Regular) throw ImportError(fileName, s.reason);
        read();
    } catch (const ImportError& e) {
        std::string why = e.what();
        if (why.rfind(fileName + ": ", 0) == 0) why.erase(0, fileName.size() + 2);
        warnings.push_back(fileName + " cannot be used (" + why + "); " + instead);
    } catch (const std::bad_alloc&) {
        // Too large to hold is one more way a side file can be unusable.
        warnings.push_back(fileName + " cannot be used (there is not enough memory to read it); " + instead);
    }
}

const std::string kCopiedWhole = "; was the folder copied whole?";

}  // namespace

ImportResult importSuite2p(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const PathStatus opened = pathStatus(path);
    fs::path folder = opened.kind == PathKind::Directory ? fs::path(path) : fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::string name = folder.filename().string();
    if (name.empty() || name == "." || name == "..")
        name = fs::absolute(folder).lexically_normal().parent_path().filename().string();
    if (name.empty()) name = folder.string();
    if (opened.kind == PathKind::Missing || opened.kind == PathKind::Unreadable) throw ImportError(name, opened.reason);
    if (opened.kind == PathKind::Other) throw ImportError(name, opened.reason + "; open a suite2p plane folder");

    const std::string trace = options.trace.empty() ? "spks" : options.trace;
    if (trace != "spks" && trace != "F" && trace != "Fneu")
        throw ImportError(name, "has no trace '" + trace + "'; a suite2p folder offers spks, F and Fneu");
    const std::string traceName = trace + ".npy";

    SourceLayout layout;
    layout.label = "suite2p " + trace;
    if (isMissing(folder / traceName) && opened.kind == PathKind::Directory) {
        if (const auto plane = planeOfRun(folder)) {
            folder = plane->folder;
            layout.label += plane->label;
        }
    }
    const fs::path traceFile = folder / traceName;
    if (isMissing(traceFile))
        throw ImportError(name, "has no " + traceName + " and no plane folders; open a suite2p plane folder "
                                "(such as suite2p/plane0) or the run folder that holds them");

    // The traces themselves must be read; their failure names what was opened.
    NpyArray traces = [&] {
        try {
            return NpyArray::fromFile(traceFile.string());
        } catch (const ImportError& e) {
            throw ImportError(name, e.what() + kCopiedWhole);
        } catch (const std::bad_alloc&) {
            throw ImportError(name, traceName + ": there is not enough memory to read it");
        }
    }();
    if (traces.shape().size() != 2)
        throw ImportError(name, traceName + " is not a 2-D array of ROIs x frames (it has " +
                                    std::to_string(traces.shape().size()) + " dimensions)");
    const std::size_t rois = traces.shape()[0], frames = traces.shape()[1];

    // The other trace files must describe the same recording.
    for (const char* other : {"spks", "F", "Fneu"}) {
        const fs::path f = folder / (std::string(other) + ".npy");
        if (other == trace || !isRegular(f)) continue;
        NpyHeader h;
        try {
            h = headerOf(f);
        } catch (const ImportError&) {
            continue;  // not read; only a readable header can contradict the traces
        }
        if (h.shape.size() == 2 && h.shape[0] == rois && h.shape[1] != frames)
            throw ImportError(name, traceName + " has " + framesText(frames) + " but " + f.filename().string() + " " +
                                        std::to_string(h.shape[1]) + "; are they from the same run?");
        if (h.shape.size() == 2 && h.shape[0] != rois)
            throw ImportError(name, traceName + " has " + std::to_string(rois) + " ROIs but " +
                                        f.filename().string() + " " + std::to_string(h.shape[0]) +
                                        "; are they from the same run?");
    }

    std::vector<bool> accepted(rois, true);
    readSideFile(folder / "iscell.npy", "every ROI counts as a cell", layout.warnings, [&] {
        const NpyArray iscell = NpyArray::fromFile((folder / "iscell.npy").string());
        const auto& s = iscell.shape();
        if (s.empty() || s.size() > 2 || (s.size() == 2 && s[1] == 0))
            throw ImportError("iscell.npy", "is not a list of ROIs with an accepted column");
        if (s[0] != rois)
            throw ImportError("iscell.npy", "has " + std::to_string(s[0]) + " ROIs but " + traceName + " " +
                                                std::to_string(rois));
        for (std::size_t r = 0; r < rois; ++r) accepted[r] = iscell.at(r, 0) == 1;
    });

    // Each ROI's centre (row, column): 'med', else the medians of its pixels;
    // the image height: the masks' lowest pixel row + 1 unless ops.npy says.
    std::vector<std::pair<double, double>> centre(rois, {NAN, NAN});
    std::vector<bool> fromMed(rois, false);
    std::vector<std::optional<std::pair<double, double>>> pixelCentre(rois);
    double imageRows = 0;
    bool positioned = false;
    readSideFile(folder / "stat.npy", "cells are placed in a column in ROI order", layout.warnings, [&] {
        const auto bytes = readWholeFile((folder / "stat.npy").string());
        const PickleDocument stat = parseObjectNpy(std::string_view(bytes.data(), bytes.size()), "stat.npy");
        if (stat.root().items.size() != rois)
            throw ImportError("stat.npy", "has " + std::to_string(stat.root().items.size()) + " ROIs but " +
                                              traceName + " " + std::to_string(rois));
        for (std::size_t r = 0; r < rois; ++r) {
            const PickleValue* roi = stat.root().items[r];
            if (roi->kind != Kind::Dict)
                throw ImportError("stat.npy", "ROI " + std::to_string(r) + " is not a dict");
            const auto med = numbersOf(roi->find("med"));
            const auto ypix = numbersOf(roi->find("ypix")), xpix = numbersOf(roi->find("xpix"));
            if (ypix)
                for (double y : *ypix)
                    if (std::isfinite(y)) imageRows = std::max(imageRows, y + 1);
            const auto finite = [](const std::vector<double>& v) {
                return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
            };
            // Not a number among the pixels would leave no order for the median to take.
            if (ypix && xpix && !ypix->empty() && ypix->size() == xpix->size() && finite(*ypix) && finite(*xpix))
                pixelCentre[r] = std::make_pair(median(*ypix), median(*xpix));
            if (med && med->size() == 2) {
                centre[r] = {(*med)[0], (*med)[1]};
                fromMed[r] = true;
            } else if (med) {
                throw ImportError("stat.npy", "ROI " + std::to_string(r) + "'s 'med' is not a (row, column) pair");
            } else if (pixelCentre[r]) {
                centre[r] = *pixelCentre[r];
            } else {
                throw ImportError("stat.npy", "ROI " + std::to_string(r) +
                                                  " has no 'med' or 'ypix'; suite2p writes both" + kCopiedWhole);
            }
            if (!ypix && inImage(centre[r], kMostImageRows)) imageRows = std::max(imageRows, centre[r].first + 1);
        }
        positioned = true;
    });
    readSideFile(folder / "ops.npy", "the image height comes from the ROI masks", layout.warnings, [&] {
        const auto bytes = readWholeFile((folder / "ops.npy").string());
        const PickleDocument ops = parseObjectNpy(std::string_view(bytes.data(), bytes.size()), "ops.npy");
        const auto& items = ops.root().items;
        double fs = 0;  // the frame rate sets the pace only; read before the height, which may refuse
        if (items.size() == 1 && items[0]->kind == Kind::Dict && numberOf(items[0]->find("fs"), fs)) layout.frameRate = fs;
        double ly = 0;
        if (items.size() != 1 || items[0]->kind != Kind::Dict || !numberOf(items[0]->find("Ly"), ly))
            throw ImportError("ops.npy", "has no 'Ly'");
        if (!(ly >= 1 && ly < 1e9)) throw ImportError("ops.npy", "'Ly' is not a number of image rows");
        if (positioned) imageRows = ly;
    });

    // A damaged 'med' (not a number, or outside the image) costs only its
    // ROI: placed as if 'med' were missing, at the middle of its pixels.
    for (std::size_t r = 0; positioned && r < rois; ++r) {
        if (!fromMed[r] || inImage(centre[r], imageRows)) continue;
        const std::string damage = "stat.npy: ROI " + std::to_string(r) + "'s 'med' (" + numberText(centre[r].first) +
                                   ", " + numberText(centre[r].second) + ") is not a place in the image";
        if (pixelCentre[r] && inImage(*pixelCentre[r], imageRows)) {
            centre[r] = *pixelCentre[r];
            layout.warnings.push_back(damage + "; it is placed at the middle of its pixels");
        } else {
            layout.warnings.push_back(damage + " and it has no pixels; cells are placed in a column in ROI order");
            positioned = false;
        }
    }
    if (!positioned) {
        for (std::size_t r = 0; r < rois; ++r) centre[r] = {static_cast<double>(r), 0};
        imageRows = static_cast<double>(std::max<std::size_t>(rois, 1));
    }

    layout.path = path;
    layout.name = name;
    layout.format = "suite2p";
    layout.trace = trace;
    layout.imageRows = imageRows;
    for (std::size_t r = 0; r < rois; ++r)
        if (accepted[r]) layout.accepted.push_back({r, static_cast<long long>(r), centre[r].first, centre[r].second});
    return assembleRecording(NpyTraceMatrix(std::move(traces)), layout, options, progress);
}

}  // namespace cellsonify
