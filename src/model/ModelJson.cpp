#include "model/ModelJson.h"

#include <charconv>
#include <cstdio>

namespace cellsonify {

namespace {

void appendEscaped(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

template <typename T>
void appendNumber(std::string& out, T v) {
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(buf, end);
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string jsonNumber(double value) {
    std::string out;
    appendNumber(out, value);
    return out;
}

std::string modelToJson(const CellModel& m, const JsonExtraFields& extra) {
    std::string out = "{\"caption\": ";
    appendEscaped(out, m.Caption);
    out += ", \"cell_count\": ";
    appendNumber(out, static_cast<int>(m.CellCount));
    out += ", \"frame_count\": ";
    appendNumber(out, m.FrameCount);
    out += extra.afterFrameCount;
    out += ", \"cells\": [";
    for (int c = 1; c <= m.CellCount; ++c) {
        if (c > 1) out += ", ";
        out += "{\"cell\": ";
        appendNumber(out, c);
        if (extra.perCell) out += extra.perCell(c);
        out += ", \"x\": ";
        appendNumber(out, m.CellPos[c].X);
        out += ", \"y\": ";
        appendNumber(out, m.CellPos[c].Y);
        out += ", \"level\": ";
        appendNumber(out, static_cast<int>(m.Activity.level(c)));
        out += ", \"note\": ";
        appendNumber(out, noteOfCell(m.CellCount, c));
        out += ", \"frames\": [";
        bool first = true;
        for (int32_t f : m.Activity.framesOf(c)) {
            if (!first) out += ", ";
            first = false;
            appendNumber(out, f);
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

}  // namespace cellsonify
