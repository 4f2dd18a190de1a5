#include "import/NwbReader.h"

#include "import/Hdf5File.h"
#include "import/ImportError.h"
#include "import/RecordingAssembler.h"
#include "model/DataFileLoader.h"

#include <cmath>

namespace cellsonify {

namespace {

struct Series {
    std::string path;       // "/processing/ophys/Deconvolved/Deconvolved"
    std::string name;       // the series' own name
    std::string container;  // its container's name
    std::string containerType;
};

bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

std::vector<Series> findSeries(const Hdf5File& file) {
    std::vector<Series> found;
    if (!file.isGroup("/processing")) return found;
    for (const std::string& module : file.members("/processing")) {
        const std::string modulePath = "/processing/" + module;
        if (!file.isGroup(modulePath)) continue;
        for (const std::string& child : file.members(modulePath)) {
            const std::string childPath = modulePath + "/" + child;
            if (!file.isGroup(childPath)) continue;
            const std::string type = file.textAttribute(childPath, "neurodata_type").value_or("");
            if (type == "RoiResponseSeries") {
                found.push_back({childPath, child, module, ""});
                continue;
            }
            for (const std::string& series : file.members(childPath)) {
                const std::string seriesPath = childPath + "/" + series;
                if (file.isGroup(seriesPath) &&
                    file.textAttribute(seriesPath, "neurodata_type").value_or("") == "RoiResponseSeries")
                    found.push_back({seriesPath, series, child, type});
            }
        }
    }
    return found;
}

const Series& chooseSeries(const std::vector<Series>& all, const std::string& wanted, const std::string& name) {
    if (!wanted.empty()) {
        for (const Series& s : all)
            if (s.name == wanted || s.container == wanted) return s;
        std::string list;
        for (const Series& s : all) list += (list.empty() ? "" : ", ") + s.container + "/" + s.name;
        throw ImportError(name, "has no RoiResponseSeries named '" + wanted + "' (it has " + list + ")");
    }
    for (const Series& s : all)
        if (contains(s.name, "Deconvolved") || contains(s.container, "Deconvolved")) return s;
    for (const Series& s : all)
        if (s.containerType == "DfOverF" || contains(s.container, "DfOverF")) return s;
    for (const Series& s : all)
        if ((s.containerType == "Fluorescence" || contains(s.container, "Fluorescence")) && !contains(s.name, "Neuropil"))
            return s;
    return all.front();
}

// Mask-weighted mean (row, column) of each table row; pixels of weight 0 or
// less (or not a number) are not part of the ROI.
struct Centres {
    std::vector<double> row, column;
    double imageRows = 0;
};

Centres pixelMaskCentres(const Hdf5File& file, const std::string& table, std::size_t count, bool rowFirst) {
    const std::string mask = table + "/pixel_mask";
    const std::vector<double> x = file.readField(mask, "x");
    const std::vector<double> y = file.readField(mask, "y");
    const std::vector<double> w = file.hasField(mask, "weight") ? file.readField(mask, "weight")
                                                                : std::vector<double>(x.size(), 1.0);
    const std::vector<double>& rows = rowFirst ? x : y;
    const std::vector<double>& columns = rowFirst ? y : x;
    std::vector<double> ends = file.isDataset(table + "/pixel_mask_index")
                                   ? file.readNumbers(table + "/pixel_mask_index")
                                   : std::vector<double>{static_cast<double>(x.size())};
    if (ends.size() != count)
        throw ImportError(file.name(), table + "/pixel_mask_index has " + std::to_string(ends.size()) +
                                           " entries but the table " + std::to_string(count) + " ROIs");
    Centres c;
    c.row.assign(count, NAN);
    c.column.assign(count, NAN);
    double begin = 0;
    for (std::size_t r = 0; r < count; ++r) {
        const double end = ends[r];
        if (!(end >= begin && end <= static_cast<double>(x.size())))
            throw ImportError(file.name(), table + "/pixel_mask_index is not ascending within the mask");
        double sw = 0, sr = 0, sc = 0;
        for (auto i = static_cast<std::size_t>(begin); i < static_cast<std::size_t>(end); ++i) {
            if (!(w[i] > 0) || !std::isfinite(w[i])) continue;
            sw += w[i];
            sr += w[i] * rows[i];
            sc += w[i] * columns[i];
            c.imageRows = std::max(c.imageRows, rows[i] + 1);
        }
        if (sw > 0) {
            c.row[r] = sr / sw;
            c.column[r] = sc / sw;
        }
        begin = end;
    }
    return c;
}

Centres imageMaskCentres(const Hdf5File& file, const std::string& table, std::size_t count) {
    const std::string mask = table + "/image_mask";
    const std::vector<std::size_t> shape = file.shape(mask);
    if (shape.size() != 3 || shape[0] != count)
        throw ImportError(file.name(), mask + " is not one 2-D mask per ROI");
    const std::vector<double> m = file.readNumbers(mask);
    const std::size_t rows = shape[1], columns = shape[2];
    Centres c;
    c.imageRows = static_cast<double>(rows);
    c.row.assign(count, NAN);
    c.column.assign(count, NAN);
    for (std::size_t r = 0; r < count; ++r) {
        double sw = 0, sr = 0, sc = 0;
        const double* p = m.data() + r * rows * columns;
        for (std::size_t i = 0; i < rows; ++i)
            for (std::size_t j = 0; j < columns; ++j) {
                const double w = p[i * columns + j];
                if (!(w > 0) || !std::isfinite(w)) continue;
                sw += w;
                sr += w * static_cast<double>(i);
                sc += w * static_cast<double>(j);
            }
        if (sw > 0) {
            c.row[r] = sr / sw;
            c.column[r] = sc / sw;
        }
    }
    return c;
}

// Frames per second of a series: starting_time's `rate`, or else the mean
// step of its timestamps; 0 when it states neither in a usable form.
double frameRateOf(const Hdf5File& file, const std::string& series) {
    if (const auto rate = file.numberAttribute(series + "/starting_time", "rate")) return *rate;
    if (!file.isDataset(series + "/timestamps")) return 0;
    const std::vector<std::size_t> shape = file.shape(series + "/timestamps");
    if (shape.size() != 1 || shape[0] < 2) return 0;
    try {
        const std::vector<double> t = file.readNumbers(series + "/timestamps");
        const double step = (t.back() - t.front()) / static_cast<double>(t.size() - 1);
        return step > 0 ? 1 / step : 0;
    } catch (const ImportError&) {
        return 0;  // timestamps that do not read leave the pace unknown, the data still shown
    }
}

}  // namespace

ImportResult importNwb(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const Hdf5File file(path, baseName(path));
    return importNwb(file, path, options, progress);
}

ImportResult importNwb(const Hdf5File& file, const std::string& path, const ImportOptions& options,
                         const ImportProgress& progress) {
    const std::string& name = file.name();
    const std::vector<Series> all = findSeries(file);
    if (all.empty()) throw ImportError(name, "no RoiResponseSeries under /processing");
    const Series& series = chooseSeries(all, options.trace, name);

    const std::vector<std::size_t> shape = file.shape(series.path + "/data");
    if (shape.empty() || shape.size() > 2)
        throw ImportError(name, series.path + "/data is not frames x ROIs");
    const std::size_t frames = shape[0], rois = shape.size() == 2 ? shape[1] : 1;

    const std::vector<double> region = file.readNumbers(series.path + "/rois");
    if (region.size() != rois)
        throw ImportError(name, series.path + " has " + std::to_string(rois) + " ROIs in its data but " +
                                    std::to_string(region.size()) + " in its rois");
    const std::string table = file.referencedPath(series.path + "/rois", "table");
    const std::vector<double> ids = file.readNumbers(table + "/id");
    const std::size_t tableRois = ids.size();

    // suite2p's own export writes (row, column, weight) under the names x, y.
    const bool suite2pExport = file.textAttribute(table, "description").value_or("") == "suite2p output" &&
                               file.isDataset(table + "/iscell") && file.shape(table + "/iscell").size() == 2 &&
                               file.shape(table + "/iscell")[1] == 2;
    Centres centres;
    if (file.isDataset(table + "/pixel_mask"))
        centres = pixelMaskCentres(file, table, tableRois, suite2pExport);
    else if (file.isDataset(table + "/image_mask"))
        centres = imageMaskCentres(file, table, tableRois);
    else
        throw ImportError(name, table + " has neither pixel_mask nor image_mask");

    std::vector<double> iscell;
    std::size_t iscellColumns = 1;
    if (file.isDataset(table + "/iscell")) {
        const auto s = file.shape(table + "/iscell");
        iscell = file.readNumbers(table + "/iscell");
        iscellColumns = s.size() == 2 ? s[1] : 1;
        if (s.empty() || s[0] != tableRois || iscellColumns == 0)
            throw ImportError(name, table + "/iscell does not have one entry per ROI");
    }

    SourceLayout layout;
    layout.path = path;
    layout.name = name;
    layout.format = "nwb";
    layout.trace = series.path;
    layout.label = "NWB " + (series.container == series.name ? series.name : series.container + "/" + series.name);
    layout.imageRows = centres.imageRows;
    for (std::size_t j = 0; j < rois; ++j) {
        const double t = region[j];
        if (!(t >= 0 && t < static_cast<double>(tableRois)))
            throw ImportError(name, series.path + "/rois entry " + std::to_string(j) + " lies outside " + table);
        const auto r = static_cast<std::size_t>(t);
        if (!iscell.empty() && iscell[r * iscellColumns] != 1) continue;
        if (std::isnan(centres.row[r]))
            throw ImportError(name, "ROI " + std::to_string(static_cast<long long>(ids[r])) + " has an empty mask");
        layout.accepted.push_back({j, static_cast<long long>(ids[r]), centres.row[r], centres.column[r]});
    }
    layout.frameRate = frameRateOf(file, series.path);
    return assembleRecording(DenseTraceMatrix(file.readNumbers(series.path + "/data"), rois, frames, true), layout,
                             options, progress);
}

}  // namespace cellsonify
