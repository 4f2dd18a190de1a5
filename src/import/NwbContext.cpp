#include "import/NwbContext.h"

#include "import/Hdf5File.h"
#include "import/ImportError.h"
#include "model/ContextAlignment.h"
#include "model/NumberWriting.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace cellsonify {

namespace {

std::string typeOf(const Hdf5File& file, const std::string& path) {
    return file.textAttribute(path, "neurodata_type").value_or("");
}

// When each kept frame of the imaging series began: its timestamps, or its
// starting time and rate; not known when it gives neither in a usable form.
FrameClock imagingClock(const Hdf5File& file, const std::string& series, long long firstFrame, int32_t frames) {
    const auto first = static_cast<std::size_t>(std::max(1LL, firstFrame) - 1);
    try {
        if (file.isDataset(series + "/timestamps")) {
            const std::vector<double> t = file.readNumbers(series + "/timestamps");
            if (t.size() >= first + static_cast<std::size_t>(frames)) {
                std::vector<double> kept(t.begin() + static_cast<std::ptrdiff_t>(first),
                                         t.begin() + static_cast<std::ptrdiff_t>(first + static_cast<std::size_t>(frames)));
                bool rising = true;
                for (std::size_t i = 0; i < kept.size(); ++i)
                    rising = rising && std::isfinite(kept[i]) && (i == 0 || kept[i] > kept[i - 1]);
                if (rising) return FrameClock::fromTimes(std::move(kept));
            }
        }
        if (const auto rate = file.numberAttribute(series + "/starting_time", "rate")) {
            const std::vector<double> start = file.readNumbers(series + "/starting_time");
            const double t0 = start.size() == 1 ? start[0] : 0.0;
            return FrameClock::fromRate(t0 + static_cast<double>(first) / *rate, *rate, frames);
        }
    } catch (const ImportError&) {
        // Frame times that cannot be read leave the clock unknown: events in seconds are then left out.
    }
    return {};
}

// A column of a table: its texts, or its numbers written out; nothing when it is neither 1-D nor `rows` long.
std::optional<std::vector<std::string>> labelsOf(const Hdf5File& file, const std::string& column, std::size_t rows) {
    const std::vector<std::size_t> shape = file.shape(column);
    if (shape.size() != 1 || shape[0] != rows) return std::nullopt;
    if (auto texts = file.readTexts(column)) return texts;
    std::vector<std::string> labels;
    for (double v : file.readNumbers(column)) labels.push_back(numberText(v, 10));
    return labels;
}

// The column whose values group the table's rows: a well-known name first,
// else the first (by name) whose values repeat.
void chooseGroups(const Hdf5File& file, const std::string& table, std::size_t rows, TimedIntervals& out) {
    std::vector<std::string> columns;
    const std::vector<std::string> members = file.members(table);
    const std::set<std::string> all(members.begin(), members.end());
    for (const std::string& m : members) {
        if (m == "start_time" || m == "stop_time" || m == "id" || m == "tags" || m == "timeseries" ||
            (m.size() > 6 && m.compare(m.size() - 6, 6, "_index") == 0) || all.count(m + "_index") > 0 ||
            !file.isDataset(table + "/" + m))
            continue;
        columns.push_back(m);
    }
    static const char* const kPreferred[] = {"condition", "trial_type", "stimulus_name", "stimulus", "stim_name",
                                             "orientation", "direction", "contrast", "frequency", "outcome"};
    std::vector<std::string> order;
    for (const char* name : kPreferred)
        if (std::find(columns.begin(), columns.end(), name) != columns.end()) order.push_back(name);
    for (const std::string& c : columns)
        if (std::find(order.begin(), order.end(), c) == order.end()) order.push_back(c);
    for (const std::string& c : order) {
        std::optional<std::vector<std::string>> labels;
        try {
            labels = labelsOf(file, table + "/" + c, rows);
        } catch (const ImportError&) {
            continue;  // a column that cannot be read does not group
        }
        if (!labels) continue;
        const std::set<std::string> distinct(labels->begin(), labels->end());
        const bool preferred = std::find(std::begin(kPreferred), std::end(kPreferred), c) != std::end(kPreferred);
        if (preferred || distinct.size() < rows) {
            out.labelColumn = c;
            out.labels = std::move(*labels);
            return;
        }
    }
}

std::vector<std::string> intervalTables(const Hdf5File& file) {
    std::vector<std::string> tables;
    const auto scan = [&](const std::string& group, bool anyWithStart) {
        if (!file.isGroup(group)) return;
        for (const std::string& m : file.members(group)) {
            const std::string path = group + "/" + m;
            if (!file.isGroup(path)) continue;
            if (typeOf(file, path) == "TimeIntervals" || (anyWithStart && file.isDataset(path + "/start_time")))
                tables.push_back(path);
        }
    };
    scan("/intervals", true);
    scan("/stimulus", false);
    scan("/stimulus/presentation", false);
    scan("/stimulus/templates", false);
    if (file.isGroup("/processing"))
        for (const std::string& module : file.members("/processing")) scan("/processing/" + module, false);
    return tables;
}

void readIntervalTable(const Hdf5File& file, const std::string& path, TimedIntervals& out) {
    out.name = path.substr(path.rfind('/') + 1);
    if (!file.isDataset(path + "/start_time")) throw ImportError(file.name(), path + " has no start_time column");
    out.start = file.readNumbers(path + "/start_time");
    if (file.isDataset(path + "/stop_time")) out.stop = file.readNumbers(path + "/stop_time");
    chooseGroups(file, path, out.start.size(), out);
}

bool imagingType(const std::string& type) {
    for (const char* part : {"RoiResponse", "Photon", "Image", "Electrical", "Spike"})
        if (type.find(part) != std::string::npos) return true;
    return false;
}

bool isBehaviourSeries(const Hdf5File& file, const std::string& path) {
    const std::string type = typeOf(file, path);
    if (imagingType(type)) return false;
    return file.isDataset(path + "/data") &&
           (file.isDataset(path + "/timestamps") || file.isDataset(path + "/starting_time"));
}

// Behaviour series under `group`: its own series, and those one container down.
void findSeries(const Hdf5File& file, const std::string& group, std::vector<std::string>& found) {
    if (!file.isGroup(group)) return;
    for (const std::string& m : file.members(group)) {
        const std::string path = group + "/" + m;
        if (!file.isGroup(path) || imagingType(typeOf(file, path))) continue;
        if (isBehaviourSeries(file, path)) {
            found.push_back(path);
            continue;
        }
        for (const std::string& inner : file.members(path))
            if (file.isGroup(path + "/" + inner) && isBehaviourSeries(file, path + "/" + inner))
                found.push_back(path + "/" + inner);
    }
}

// The series at `path` as one stream per column (a SpatialSeries: the norm of its columns).
std::vector<TimedSeries> readSeries(const Hdf5File& file, const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::vector<std::size_t> shape = file.shape(path + "/data");
    if (shape.empty() || shape.size() > 2) throw ImportError(file.name(), path + "/data is not samples x values");
    const std::size_t samples = shape[0], columns = shape.size() == 2 ? shape[1] : 1;
    std::vector<double> times;
    if (file.isDataset(path + "/timestamps")) {
        times = file.readNumbers(path + "/timestamps");
    } else {
        const auto rate = file.numberAttribute(path + "/starting_time", "rate");
        const std::vector<double> start = file.readNumbers(path + "/starting_time");
        if (!rate || !(*rate > 0) || start.size() != 1)
            throw ImportError(file.name(), path + "/starting_time has no rate above 0");
        for (std::size_t i = 0; i < samples; ++i) times.push_back(start[0] + static_cast<double>(i) / *rate);
    }
    const std::vector<double> data = file.readNumbers(path + "/data");
    const bool norm = typeOf(file, path) == "SpatialSeries" && columns > 1;
    std::vector<TimedSeries> out;
    for (std::size_t c = 0; c < (norm ? 1 : columns); ++c) {
        TimedSeries s;
        s.name = columns == 1 || norm ? name : name + "[" + std::to_string(c) + "]";
        if (norm) s.how = "norm of its " + std::to_string(columns) + " columns";
        s.times = times;
        for (std::size_t i = 0; i < samples; ++i) {
            double v = 0;
            if (norm) {
                for (std::size_t k = 0; k < columns; ++k) v += data[i * columns + k] * data[i * columns + k];
                v = std::sqrt(v);
            } else {
                v = data[i * columns + c];
            }
            s.values.push_back(v);
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

void readNwbContext(const Hdf5File& file, const std::string& imagingSeries, ImportResult& result) {
    CellModel& model = result.model;
    RecordingContext& context = model.Context;
    context.clock = imagingClock(file, imagingSeries, result.source.firstFrame, model.FrameCount);
    ContextMessages messages;
    for (const std::string& path : intervalTables(file)) {
        TimedIntervals table;
        try {
            readIntervalTable(file, path, table);
        } catch (const ImportError& e) {
            messages.warnings.push_back(path + " cannot be read (" + e.what() + "); left out");
            continue;
        }
        alignIntervals(table, context.clock, model.FrameCount, context.tables, messages);
    }
    std::vector<std::string> series;
    findSeries(file, "/acquisition", series);
    if (file.isGroup("/processing"))
        for (const std::string& module : file.members("/processing"))
            if (module != "ophys") findSeries(file, "/processing/" + module, series);
    for (const std::string& path : series) {
        try {
            for (const TimedSeries& s : readSeries(file, path))
                alignSeries(s, context.clock, model.FrameCount, context.streams, messages);
        } catch (const ImportError& e) {
            messages.warnings.push_back(path + " cannot be read (" + e.what() + "); left out");
        }
    }
    context.soundFirstStream();
    for (std::string& note : messages.notes) result.source.notes.push_back(std::move(note));
    for (std::string& warning : messages.warnings) {
        result.caption += " - " + warning;  // as the caption ends with the import's other warnings
        result.source.warnings.push_back(std::move(warning));
    }
}

}  // namespace cellsonify
