#include "model/FieldReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace cellsonify;

namespace {
std::vector<double> values(std::string_view bytes) {
    FieldReader r(bytes);
    std::vector<double> out;
    Field f;
    while (r.next(f)) out.push_back(f.value);
    return out;
}
std::vector<int> lines(std::string_view bytes) {
    FieldReader r(bytes);
    std::vector<int> out;
    Field f;
    while (r.next(f)) out.push_back(f.line);
    return out;
}
}  // namespace

TEST(FieldReader, FourLeadingZerosThenFieldsBreaksAndAClosingZero) {
    EXPECT_EQ(values(""), (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(values("7 8\n9"), (std::vector<double>{0, 0, 0, 0, 7, 8, 0, 9, 0}));
    EXPECT_EQ(values("7\r\n\r\n9\r"), (std::vector<double>{0, 0, 0, 0, 7, 0, 0, 9, 0, 0}));
}

TEST(FieldReader, CommasBlanksAndEmptyFields) {
    EXPECT_EQ(values("1, 2 ,3,,4\t5  6,"), (std::vector<double>{0, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0}));
}

TEST(FieldReader, LeadingNumberOfEachField) {
    EXPECT_EQ(values("12abc -3.5 +2e2 .5 abc - 1e-400"),
              (std::vector<double>{0, 0, 0, 0, 12, -3.5, 200, 0.5, 0, 0, 0, 0}));
    const auto big = values("1e400 -1e400 123456789012345678901234567890");
    EXPECT_TRUE(std::isinf(big[4]) && big[4] > 0);
    EXPECT_TRUE(std::isinf(big[5]) && big[5] < 0);
    EXPECT_DOUBLE_EQ(big[6], 123456789012345678901234567890.0);
}

TEST(FieldReader, LinesCountFromOneAndBreaksBelongToTheLineTheyEnd) {
    EXPECT_EQ(lines("a\nb\r\nc"), (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 2, 3, 3}));
}

TEST(FieldReader, TheQuickPathForWholeNumbersAgreesWithTheGeneralOne) {
    // Separators of every kind around short whole numbers, which take the quick
    // path, against the same fields spelt so that they cannot.
    EXPECT_EQ(values("5 \f,6\t,7 \v 8,\t9"), values("5.0 \f,6.0\t,7.0 \v 8.0,\t9.0"));
    EXPECT_EQ(values("5 \f,6\t,7 \v 8,\t9"), (std::vector<double>{0, 0, 0, 0, 5, 6, 7, 8, 9, 0}));
    EXPECT_EQ(values("123456789012345 1234567890123456"),
              (std::vector<double>{0, 0, 0, 0, 123456789012345.0, 1234567890123456.0, 0}));
}

TEST(FieldReader, TheBulkPathReadsWhatNextWouldRead) {
    // Runs of plain frames broken by every kind of field the bulk path must
    // leave to next(): out of range, zero, too long, other separators, line ends.
    const std::string text =
        "1 22 333 4444 55555 666666 7777777 100000 100001 99 0 007 5 ,6 7\t8 9  10\r\n"
        "11 12 abc 13 14,15 16 -17 18 1.5 19 20 21 22 23 24 25 26 27 28 29 30\n31 32";
    std::vector<Field> expected;
    {
        FieldReader r(text);
        Field f;
        while (r.next(f)) expected.push_back(f);
    }
    for (std::size_t room : {1, 3, 64}) {
        FieldReader r(text);
        std::vector<Field> got;
        std::vector<int32_t> run(room);
        std::size_t inBulk = 0;
        Field f;
        for (;;) {
            const std::size_t n = r.nextWholeRun(100000, run.data(), room);
            for (std::size_t i = 0; i < n; ++i) got.push_back({double(run[i]), r.line()});
            inBulk += n;
            if (n == 0 && !r.next(f)) break;
            if (n == 0) got.push_back(f);
        }
        EXPECT_GE(inBulk, 25u) << "room " << room;
        ASSERT_EQ(got.size(), expected.size()) << "room " << room;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].value, expected[i].value) << "field " << i << ", room " << room;
            EXPECT_EQ(got[i].line, expected[i].line) << "field " << i << ", room " << room;
        }
    }
}
