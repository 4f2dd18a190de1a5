#include "import/NwbReader.h"

#include "import/Hdf5File.h"
#include "import/Hdf5Traces.h"
#include "import/ImportError.h"
#include "import/NwbContext.h"
#include "import/RecordingAssembler.h"
#include "model/DataFileLoader.h"
#include "model/NumberWriting.h"

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

bool whole(double v) { return std::isfinite(v) && v == std::floor(v); }

// The table (PlaneSegmentation) a series' `rois` region points into.
std::string tableOf(const Hdf5File& file, const Series& s) {
    const std::string table = file.referencedPath(s.path + "/rois", "table");
    if (!file.isGroup(table) || table == "/" || !file.isDataset(table + "/id"))
        throw ImportError(file.name(), s.path + "/rois points at " + table +
                                           ", which is not a table of ROIs (a PlaneSegmentation); the file is damaged "
                                           "or was not written by an NWB writer");
    return table;
}

// Which ROIs of `table` are accepted: an `iscell` column (its first column
// when 2-D), else an `Accepted` column, else every ROI. `count` is the table's size.
std::vector<bool> acceptedRows(const Hdf5File& file, const std::string& table, std::size_t count) {
    for (const char* column : {"iscell", "Accepted"}) {
        const std::string path = table + "/" + column;
        if (!file.isDataset(path)) continue;
        const auto shape = file.shape(path);
        const std::vector<double> values = file.readNumbers(path);
        const std::size_t columns = shape.size() == 2 ? shape[1] : 1;
        if (shape.empty() || shape.size() > 2 || shape[0] != count || columns == 0)
            throw ImportError(file.name(), path + " does not have one entry per ROI of the table's " +
                                               std::to_string(count));
        std::vector<bool> accepted(count);
        for (std::size_t r = 0; r < count; ++r) accepted[r] = values[r * columns] == 1;
        return accepted;
    }
    return std::vector<bool>(count, true);
}

// The table rows a series' data columns stand for, each a whole number inside the table.
std::vector<std::size_t> regionRows(const Hdf5File& file, const Series& s, const std::string& table, std::size_t count) {
    std::vector<std::size_t> rows;
    for (double t : file.readNumbers(s.path + "/rois")) {
        if (!whole(t) || t < 0 || t >= static_cast<double>(count))
            throw ImportError(file.name(), s.path + "/rois entry " + std::to_string(rows.size()) + " (" +
                                               numberText(t, 15) + ") is not a row of " + table + " (0 to " +
                                               std::to_string(count) + " - 1)");
        rows.push_back(static_cast<std::size_t>(t));
    }
    return rows;
}

bool hasAcceptedRoi(const Hdf5File& file, const Series& s) {
    try {
        const std::string table = tableOf(file, s);
        const std::size_t count = file.shape(table + "/id").empty() ? 1 : file.shape(table + "/id")[0];
        const std::vector<bool> accepted = acceptedRows(file, table, count);
        for (std::size_t r : regionRows(file, s, table, count))
            if (accepted[r]) return true;
        return false;
    } catch (const ImportError&) {
        return true;  // chosen as before; reading it says what is wrong
    }
}

const Series& chooseSeries(const Hdf5File& file, const std::vector<Series>& all, const std::string& wanted,
                           const std::string& name) {
    if (!wanted.empty()) {
        for (const Series& s : all)
            if (s.name == wanted || s.container == wanted) return s;
        std::string list;
        for (const Series& s : all) list += (list.empty() ? "" : ", ") + s.container + "/" + s.name;
        throw ImportError(name, "has no RoiResponseSeries named '" + wanted + "' (it has " + list + "); --trace takes one of these names");
    }
    // A series of only rejected ROIs (CaImAn's background components) is passed over.
    std::vector<const Series*> usable;
    for (const Series& s : all)
        if (hasAcceptedRoi(file, s)) usable.push_back(&s);
    if (usable.empty()) return all.front();
    for (const Series* s : usable)
        if (contains(s->name, "Deconvolved") || contains(s->container, "Deconvolved")) return *s;
    for (const Series* s : usable)
        if (s->containerType == "DfOverF" || contains(s->container, "DfOverF")) return *s;
    for (const Series* s : usable)
        if ((s->containerType == "Fluorescence" || contains(s->container, "Fluorescence")) && !contains(s->name, "Neuropil"))
            return *s;
    return *usable.front();
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
    const std::size_t rows = shape[1], columns = shape[2];
    if (rows != 0 && columns > (std::size_t{1} << 28) / rows)
        throw ImportError(file.name(), mask + " declares masks of " + std::to_string(rows) + " x " +
                                           std::to_string(columns) + " pixels, more than an image holds");
    Centres c;
    c.imageRows = static_cast<double>(rows);
    c.row.assign(count, NAN);
    c.column.assign(count, NAN);
    // Mask by mask: the masks of every ROI together are far larger than the file.
    std::vector<double> m(rows * columns);
    for (std::size_t r = 0; r < count; ++r) {
        file.readBlock(mask, {r, 0, 0}, {1, rows, columns}, m.data());
        double sw = 0, sr = 0, sc = 0;
        const double* p = m.data();
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

// The imaging plane's `imaging_rate`, a dataset or an attribute of the plane
// the table links to (else of the file's only imaging plane); 0 when none reads.
double imagingRateOf(const Hdf5File& file, const std::string& table) {
    const auto rateOf = [&file](const std::string& plane) -> double {
        if (file.isDataset(plane + "/imaging_rate")) {
            const std::vector<double> v = file.readNumbers(plane + "/imaging_rate");
            return v.size() == 1 && v[0] > 0 ? v[0] : 0;
        }
        return file.isGroup(plane) ? file.numberAttribute(plane, "imaging_rate").value_or(0) : 0;
    };
    try {
        if (file.isGroup(table + "/imaging_plane")) return rateOf(table + "/imaging_plane");
        const std::string planes = "/general/optophysiology";
        if (!file.isGroup(planes)) return 0;
        std::vector<double> rates;
        for (const std::string& m : file.members(planes))
            if (const double r = rateOf(planes + "/" + m); r > 0) rates.push_back(r);
        return rates.size() == 1 ? rates[0] : 0;
    } catch (const ImportError&) {
        return 0;  // a plane that does not read leaves the pace unknown, the data still shown
    }
}

// Frames per second of a series: starting_time's `rate`, or else the mean
// step of its timestamps, or else (a rate of 0 or none, as some writers leave
// it) its imaging plane's `imaging_rate`; 0 when none is usable.
double frameRateOf(const Hdf5File& file, const std::string& series, const std::string& table) {
    if (const auto rate = file.numberAttribute(series + "/starting_time", "rate"); rate && *rate > 0) return *rate;
    if (file.isDataset(series + "/timestamps")) {
        const std::vector<std::size_t> shape = file.shape(series + "/timestamps");
        if (shape.size() == 1 && shape[0] >= 2) try {
                const std::vector<double> t = file.readNumbers(series + "/timestamps");
                const double step = (t.back() - t.front()) / static_cast<double>(t.size() - 1);
                if (step > 0) return 1 / step;
            } catch (const ImportError&) {
                // timestamps that do not read say nothing of the pace
            }
    }
    return imagingRateOf(file, table);
}

}  // namespace

ImportResult importNwb(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const Hdf5File file(path, baseName(path));
    return importNwb(file, path, options, progress);
}

ImportResult importNwb(const Hdf5File& file, const std::string& path, const ImportOptions& options,
                         const ImportProgress& progress) {
    const std::string& name = file.name();
    std::string version = file.textAttribute("/", "nwb_version").value_or("");
    if (version.empty()) version = file.readText("/nwb_version").value_or("");  // NWB 1 keeps it as a dataset
    if (version.rfind("NWB-", 0) == 0) version.erase(0, 4);
    if (version.rfind("1.", 0) == 0 || version == "1")
        throw ImportError(name, "is an NWB 1 file (nwb_version " + version +
                                    "), which is not supported; NWB 2 files are read (pynwb and MatNWB write them)");
    const std::vector<Series> all = findSeries(file);
    if (all.empty())
        throw ImportError(name, "has no RoiResponseSeries under /processing; cellsonify reads the ROI traces of an "
                                "NWB file's processing module (ophys)");
    const Series& series = chooseSeries(file, all, options.trace, name);

    const std::vector<std::size_t> shape = file.shape(series.path + "/data");
    if (shape.empty() || shape.size() > 2) throw ImportError(name, series.path + "/data is not frames x ROIs");
    const std::string table = tableOf(file, series);
    const std::vector<double> ids = file.readNumbers(table + "/id");
    const std::size_t tableRois = ids.size();
    const std::vector<std::size_t> region = regionRows(file, series, table, tableRois);
    const std::size_t rois = region.size();

    // The schema says frames x ROIs; some writers store ROIs x frames, which
    // the region's length tells apart when the two sizes differ.
    std::size_t frames = shape[0];
    bool roiMajor = false;
    const std::size_t columns = shape.size() == 2 ? shape[1] : 1;
    if (columns != rois) {
        if (shape.size() == 2 && shape[0] == rois) {
            frames = shape[1];
            roiMajor = true;
        } else {
            throw ImportError(name, series.path + "/data has " + std::to_string(columns) + " ROIs per frame but its rois " +
                                        std::to_string(rois) + "; the file is damaged");
        }
    }

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
        throw ImportError(name, table + " has neither pixel_mask nor image_mask, so the ROIs have no place");
    const std::vector<bool> accepted = acceptedRows(file, table, tableRois);

    SourceLayout layout;
    layout.path = path;
    layout.name = name;
    layout.format = "nwb";
    layout.trace = series.path;
    layout.label = "NWB " + (series.container == series.name ? series.name : series.container + "/" + series.name);
    layout.imageRows = centres.imageRows;
    if (roiMajor)
        layout.notes.push_back(series.path + "/data is stored ROIs x frames (" + std::to_string(rois) + " x " +
                               std::to_string(frames) + "), not frames x ROIs; read transposed");
    for (std::size_t j = 0; j < rois; ++j) {
        const std::size_t r = region[j];
        if (!accepted[r]) continue;
        if (std::isnan(centres.row[r]))
            throw ImportError(name, "ROI " + numberText(ids[r], 15) + " has an empty mask in " + table);
        // An id is shown as a whole number; one that is not (NaN, 1e300, a
        // fraction) would not survive the conversion.
        if (!(ids[r] == std::trunc(ids[r]) && ids[r] >= -9.2e18 && ids[r] <= 9.2e18))
            throw ImportError(name, table + "/id holds " + numberText(ids[r], 15) +
                                        ", which is not a whole number of a ROI id");
        layout.accepted.push_back({j, static_cast<long long>(ids[r]), centres.row[r], centres.column[r]});
    }
    layout.frameRate = frameRateOf(file, series.path, table);
    ImportResult result = assembleRecording(Hdf5TraceMatrix(file, series.path + "/data", rois, frames, !roiMajor),
                                            layout, options, progress);
    readNwbContext(file, series.path, result);
    return result;
}

}  // namespace cellsonify
