// Numbers beyond double range in a field: too large must read as infinity (so
// the loader refuses it where it matters) and too small as 0, however the
// digits and the exponent share the magnitude between them.
#include "model/FieldReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace cellsonify;

namespace {

// The value of a single field holding `text` (after the four leading zeros).
double fieldValue(const std::string& text) {
    FieldReader r(text);
    Field f;
    for (int i = 0; i < 5; ++i) r.next(f);
    return f.value;
}

std::string zeros(int n) { return std::string(static_cast<std::size_t>(n), '0'); }

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Reading {
    std::string text;
    double value;
};

}  // namespace

TEST(HostileNumbers, OutOfRangeReadsAsInfinityOrZeroByMagnitude) {
    const std::vector<Reading> readings = {
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"5.e400", kInf},
        {"1e99999999999999999999999", kInf},
        // The digits carry the magnitude; a negative exponent takes only some of it.
        {"1" + zeros(400) + "e-10", kInf},
        {"-1" + zeros(400) + "e-10", -kInf},
        {"0." + zeros(10) + "1e400", kInf},
        {"1e-400", 0},
        {".5e-400", 0},
        {"1e-99999999999999999999", 0},
        {zeros(30) + "1e-400", 0},
        {"0." + zeros(500) + "1e100", 0},
        // Within range once both are counted: read as the number it is.
        {"0." + zeros(399) + "1e700", 1e300},
        {"1" + zeros(400) + "e-390", 1e10},
        {"0." + zeros(40) + "e999", 0},
    };
    for (const Reading& r : readings) {
        const double v = fieldValue(r.text);
        if (r.value == 0)
            EXPECT_EQ(v, 0) << r.text.substr(0, 40);
        else if (std::isinf(r.value))
            EXPECT_EQ(v, r.value) << r.text.substr(0, 40);
        else
            EXPECT_DOUBLE_EQ(v, r.value) << r.text.substr(0, 40);
    }
}
