#include "model/ModelJson.h"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <string_view>

namespace cellsonify {

namespace {

template <typename Sink>
void appendEscaped(Sink& out, const std::string& text) {
    out.append('"');
    for (unsigned char c : text) {
        switch (c) {
            case '"': out.append(std::string_view("\\\"")); break;
            case '\\': out.append(std::string_view("\\\\")); break;
            case '\n': out.append(std::string_view("\\n")); break;
            case '\r': out.append(std::string_view("\\r")); break;
            case '\t': out.append(std::string_view("\\t")); break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out.append(std::string_view(buf));
                } else {
                    out.append(static_cast<char>(c));
                }
        }
    }
    out.append('"');
}

template <typename Sink, typename T>
void appendNumber(Sink& out, T v) {
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

}  // namespace

namespace {

// Writes the model's JSON to any sink taking appended text.
template <typename Sink>
void writeJson(const CellModel& m, const std::string& caption, const JsonExtraFields& extra, Sink& out) {
    out.append(std::string_view("{\"caption\": "));
    appendEscaped(out, caption);
    out.append(std::string_view(", \"cell_count\": "));
    appendNumber(out, static_cast<int>(m.CellCount));
    out.append(std::string_view(", \"frame_count\": "));
    appendNumber(out, m.FrameCount);
    out.append(std::string_view(extra.afterFrameCount));
    out.append(std::string_view(", \"cells\": ["));
    for (int c = 1; c <= m.CellCount; ++c) {
        if (c > 1) out.append(std::string_view(", "));
        out.append(std::string_view("{\"cell\": "));
        appendNumber(out, c);
        if (extra.perCell) out.append(std::string_view(extra.perCell(c)));
        out.append(std::string_view(", \"x\": "));
        appendNumber(out, m.CellPos[c].X);
        out.append(std::string_view(", \"y\": "));
        appendNumber(out, m.CellPos[c].Y);
        out.append(std::string_view(", \"level\": "));
        appendNumber(out, static_cast<int>(m.Activity.level(c)));
        out.append(std::string_view(", \"note\": "));
        appendNumber(out, noteOfCell(m.CellCount, m.Rows.placeOf(c)));  // the rows note of its row
        out.append(std::string_view(", \"frames\": ["));
        bool first = true;
        for (int32_t f : m.Activity.framesOf(c)) {
            if (!first) out.append(std::string_view(", "));
            first = false;
            appendNumber(out, f);
        }
        out.append(std::string_view("]}"));
        out.flushIfFull();
    }
    out.append(std::string_view("]}\n"));
}

struct StringSink {
    std::string& text;
    void append(std::string_view part) { text.append(part); }
    void append(char c) { text += c; }
    void flushIfFull() {}
};

// Fills a fixed buffer and hands it to the stream whenever a cell's worth
// might no longer fit: the output never exists whole in memory.
struct StreamSink {
    std::ostream& stream;
    std::string buffer;
    static constexpr std::size_t kFlushAt = 1 << 16;

    void append(std::string_view part) { buffer.append(part); }
    void append(char c) { buffer += c; }
    void flushIfFull() {
        if (buffer.size() >= kFlushAt) flush();
    }
    void flush() {
        stream.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
    }
};

}  // namespace

std::string modelToJson(const CellModel& m, const std::string& caption, const JsonExtraFields& extra) {
    std::string out;
    StringSink sink{out};
    writeJson(m, caption, extra, sink);
    return out;
}

void writeModelJson(std::ostream& stream, const CellModel& m, const std::string& caption,
                    const JsonExtraFields& extra) {
    StreamSink sink{stream, {}};
    sink.buffer.reserve(2 * StreamSink::kFlushAt);
    writeJson(m, caption, extra, sink);
    sink.flush();
}

std::string jsonString(const std::string& text) {
    std::string out;
    StringSink sink{out};
    appendEscaped(sink, text);
    return out;
}

std::string jsonNumber(double value) {
    std::string out;
    StringSink sink{out};
    appendNumber(sink, value);
    return out;
}

}  // namespace cellsonify
