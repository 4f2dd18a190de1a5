#include "import/ContextFiles.h"

#include "import/ImportError.h"
#include "import/NpyReader.h"
#include "model/DataFileLoader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace cellsonify {

namespace {

// The rows of a delimited text file: header first, blank and '#' lines skipped,
// each row with the line it came from.
struct TextTable {
    std::string name;  // the file's base name, for errors
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> lines;

    [[noreturn]] void fail(std::size_t line, std::size_t column, const std::string& problem) const {
        throw ImportError(name, "line " + std::to_string(line) + ", column " + std::to_string(column + 1) + " (" +
                                    header.at(column) + "): " + problem);
    }
};

std::string trimmed(std::string s) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

// One line split at `delimiter`; double quotes hold delimiters and "" stands for a quote.
std::vector<std::string> splitLine(const std::string& line, char delimiter) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& f : fields) f = trimmed(f);
    return fields;
}

TextTable readTextTable(const std::string& path) {
    TextTable table;
    table.name = baseName(path);
    const auto bytes = readWholeFile(path, std::size_t{1} << 30);
    std::string text(bytes.begin(), bytes.end());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (text.find('\0') != std::string::npos)
        throw ImportError(table.name, "is not a text file (CSV or TSV with a header line)");
    char delimiter = ',';
    std::size_t lineNumber = 0, pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trimmed(line).empty() || trimmed(line)[0] == '#') continue;
        if (table.header.empty()) {
            if (line.find('\t') != std::string::npos) delimiter = '\t';
            table.header = splitLine(line, delimiter);
            for (std::string& h : table.header)
                std::transform(h.begin(), h.end(), h.begin(), [](unsigned char c) { return std::tolower(c); });
            continue;
        }
        std::vector<std::string> row = splitLine(line, delimiter);
        if (row.size() != table.header.size())
            throw ImportError(table.name, "line " + std::to_string(lineNumber) + " has " + std::to_string(row.size()) +
                                              " columns but the header " + std::to_string(table.header.size()));
        table.rows.push_back(std::move(row));
        table.lines.push_back(lineNumber);
    }
    if (table.header.empty()) throw ImportError(table.name, "is empty; a header line naming the columns comes first");
    return table;
}

std::optional<std::size_t> columnOf(const TextTable& t, std::initializer_list<const char*> names) {
    for (const char* name : names)
        for (std::size_t c = 0; c < t.header.size(); ++c)
            if (t.header[c] == name) return c;
    return std::nullopt;
}

// Cell (row, column) as a number; empty is NaN (no value); "nan" and "inf" read as such.
double numberAt(const TextTable& t, std::size_t row, std::size_t column) {
    const std::string& text = t.rows[row][column];
    if (text.empty()) return NAN;
    double value = 0;
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    const auto [stop, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size())
        t.fail(t.lines[row], column, "\"" + text + "\" is not a number");
    return value;
}

std::string stem(const std::string& path) {
    std::string name = baseName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TimedIntervals readEventsFile(const std::string& path) {
    const TextTable t = readTextTable(path);
    TimedIntervals out;
    out.name = stem(path);
    const auto startTime = columnOf(t, {"start_time", "start", "onset"});
    const auto startFrame = columnOf(t, {"frame", "start_frame"});
    if (!startTime && !startFrame)
        throw ImportError(t.name, "line 1 names no start column: start_time (seconds) or frame (1-based)");
    out.inFrames = !startTime;
    const std::size_t start = startTime ? *startTime : *startFrame;
    const auto stop = out.inFrames ? columnOf(t, {"stop_frame", "end_frame"}) : columnOf(t, {"stop_time", "stop", "end_time"});
    if (out.inFrames && columnOf(t, {"stop_time", "stop", "end_time"}))
        throw ImportError(t.name, "line 1 gives frames to start but seconds to stop; use stop_frame with frame");
    std::vector<std::size_t> used{start};
    if (stop) used.push_back(*stop);
    static const std::vector<std::string> timeNames{"start_time", "start", "onset", "frame", "start_frame",
                                                     "stop_frame", "end_frame", "stop_time", "stop", "end_time"};
    for (std::size_t c = 0; c < t.header.size(); ++c)
        if (std::find(used.begin(), used.end(), c) == used.end() &&
            std::find(timeNames.begin(), timeNames.end(), t.header[c]) == timeNames.end()) {
            out.labelColumn = t.header[c];
            break;
        }
    const auto label = out.labelColumn.empty() ? std::nullopt : columnOf(t, {out.labelColumn.c_str()});
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        const double s = numberAt(t, r, start);
        if (std::isnan(s) && t.rows[r][start].empty()) t.fail(t.lines[r], start, "no start");
        out.start.push_back(s);
        if (stop) {
            // An empty stop: the interval lasts its starting frame.
            const double e = numberAt(t, r, *stop);
            out.stop.push_back(t.rows[r][*stop].empty() ? s : e);
        }
        if (label) out.labels.push_back(t.rows[r][*label]);
    }
    return out;
}

std::vector<TimedSeries> readBehaviourFile(const std::string& path) {
    std::vector<TimedSeries> out;
    if (endsWith(path, ".npy")) {
        const NpyArray array = NpyArray::fromFile(path);
        const std::vector<std::size_t>& shape = array.shape();
        if (shape.empty() || shape.size() > 2)
            throw ImportError(baseName(path), "is not one value per frame (a 1-D array, or frames x columns)");
        const std::size_t columns = shape.size() == 2 ? shape[1] : 1;
        for (std::size_t c = 0; c < columns; ++c) {
            TimedSeries s;
            s.name = columns == 1 ? stem(path) : stem(path) + "[" + std::to_string(c) + "]";
            s.inFrames = true;
            for (std::size_t f = 0; f < shape[0]; ++f) {
                s.times.push_back(static_cast<double>(f + 1));
                s.values.push_back(array.at(f, c));
            }
            out.push_back(std::move(s));
        }
        return out;
    }
    const TextTable t = readTextTable(path);
    const auto time = columnOf(t, {"time", "timestamp", "timestamps", "t"});
    const auto frame = columnOf(t, {"frame"});
    if (!time && !frame) throw ImportError(t.name, "line 1 names no time (seconds) or frame (1-based) column");
    const std::size_t when = time ? *time : *frame;
    for (std::size_t c = 0; c < t.header.size(); ++c) {
        if (c == when || (frame && c == *frame)) continue;
        TimedSeries s;
        s.name = t.header[c];
        s.inFrames = !time;
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const double at = numberAt(t, r, when);
            if (std::isnan(at)) t.fail(t.lines[r], when, "no time");
            s.times.push_back(at);
            s.values.push_back(numberAt(t, r, c));
        }
        out.push_back(std::move(s));
    }
    if (out.empty()) throw ImportError(t.name, "line 1 names no value column beside the " + t.header[when] + " column");
    return out;
}

void addContextFiles(CellModel& model, const std::vector<std::string>& events,
                     const std::vector<std::string>& behaviour, ContextMessages& messages) {
    RecordingContext context = model.Context;
    ContextMessages found;
    for (const std::string& path : events)
        alignIntervals(readEventsFile(path), context.clock, model.FrameCount, context.tables, found);
    for (const std::string& path : behaviour)
        for (const TimedSeries& series : readBehaviourFile(path)) {
            if (series.inFrames && series.times.size() != static_cast<std::size_t>(model.FrameCount) &&
                endsWith(path, ".npy"))
                found.notes.push_back(series.name + ": " + std::to_string(series.times.size()) +
                                      " values for the recording's " + std::to_string(model.FrameCount) +
                                      " frames; read from frame 1");
            alignSeries(series, context.clock, model.FrameCount, context.streams, found);
        }
    context.soundFirstStream();
    model.Context = std::move(context);
    messages.notes.insert(messages.notes.end(), found.notes.begin(), found.notes.end());
    messages.warnings.insert(messages.warnings.end(), found.warnings.begin(), found.warnings.end());
}

}  // namespace cellsonify
