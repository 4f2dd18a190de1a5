#include "model/DataFileLoader.h"

#include "files/SafeOutput.h"
#include "model/CellPositions.h"

#include <charconv>
#include <stdexcept>

namespace cellsonify {

namespace {

void appendNumber(std::string& out, double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void appendWhole(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

std::string formatText(const CellModel& model, const std::vector<CellPosition>& positions) {
    std::string out;
    // Four header lines of four values; the frame count opens the second line.
    out += "0 0 ";
    appendWhole(out, model.CellCount);
    out += " 1\n";
    appendWhole(out, model.FrameCount);
    out += " 0 0 0\n0 0 0 0\n0 0 0 0\n";
    for (int c = 1; c <= model.CellCount; ++c) {
        appendWhole(out, c);
        out += ' ';
        appendNumber(out, positions[c].X);
        out += ' ';
        appendNumber(out, positions[c].Y);
        out += ' ';
        appendWhole(out, model.Activity.level(c));
        out += '\n';
        bool first = true;
        for (int32_t f : model.Activity.framesOf(c)) {
            if (!first) out += ' ';
            appendWhole(out, f);
            first = false;
        }
        out += '\n';
    }
    return out;
}

}  // namespace

void writeDataFile(const CellModel& model, const std::vector<CellPosition>& filePositions, const std::string& path) {
    if (filePositions.size() != static_cast<std::size_t>(model.CellCount) + 1)
        throw std::invalid_argument("writeDataFile: one file position per cell expected");
    CellModel check;
    check.CellCount = model.CellCount;
    check.CellPos = filePositions;
    normaliseCellPositions(check);
    for (int c = 1; c <= model.CellCount; ++c) {
        if (filePositions[c].X == 0) throw std::invalid_argument("writeDataFile: cell " + std::to_string(c) + " has X 0");
        if (!(check.CellPos[c] == model.CellPos[c]))
            throw std::invalid_argument("writeDataFile: the file positions do not normalise into the model's");
    }

    writeFileSafely(path, formatText(model, filePositions));
}

}  // namespace cellsonify
