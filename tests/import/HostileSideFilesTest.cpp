// Side files built to hurt: pickles that would repeat one large value without
// end, dicts shared by every ROI, and ROI centres that are not numbers.
#include "import/ImportError.h"
#include "import/Importer.h"
#include "import/PickleReader.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

using namespace cellsonify;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string binfloat(double v) {  // pickle's BINFLOAT: 'G' and 8 big-endian bytes
    uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    std::string out = "G";
    for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((bits >> shift) & 0xff);
    return out;
}

// stat.npy of one dict per ROI: 'med' as given (a pair of floats) and, when
// `pixels`, 'ypix' and 'xpix' of ROI r's one pixel (r, 2 r).
void writeStat(const fs::path& folder, const std::vector<std::pair<double, double>>& meds, bool pixels) {
    std::string p = "\x80\x02"s "cnumpy.core.multiarray\n_reconstruct\nq\x00" "cnumpy\nndarray\nq\x01" "K\x00\x85"
                    "U\x01" "b" "\x87R"s;
    const std::size_t rois = meds.size();
    p += "(K\x01" "M" + std::string{static_cast<char>(rois & 0xff), static_cast<char>(rois >> 8)} + "\x85"s;
    p += "cnumpy\ndtype\nq\x02" "U\x02O8\x89\x88\x87R(K\x03U\x01|NNNJ\xff\xff\xff\xffJ\xff\xff\xff\xffK?tb"s;
    p += "\x89](";
    for (std::size_t r = 0; r < rois; ++r) {
        p += "}U\x03med](" + binfloat(meds[r].first) + binfloat(meds[r].second) + "es";
        if (pixels) p += "U\x04ypix](K"s + static_cast<char>(r) + "esU\x04xpix](K" + static_cast<char>(2 * r) + "es";
    }
    p += "etb.";
    std::string header = "{'descr': '|O', 'fortran_order': False, 'shape': (" + std::to_string(rois) + ",), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::ofstream(folder / "stat.npy", std::ios::binary)
        << "\x93NUMPY\x01"s << '\0' << static_cast<char>(header.size()) << '\0' << header << p;
}

}  // namespace

// A call repeated on one memoised argument tuple shares it: 3,000 calls on a
// 20,000-item tuple would copy 480 MB; they cost a few hundred bytes each.
// Copies that cannot be shared (arrays rebuilt from one large memoised byte
// string) are counted, and the pickle is refused by name past its budget.
TEST(HostilePickle, RepeatedCallsShareTheirArgumentsAndCopiesAreBudgeted) {
    std::string shared = "\x80\x02]q\x00("s + std::string(20000, 'N') + "tq\x01" "0cx\ny\nq\x02" "0"s;
    for (int i = 0; i < 3000; ++i) shared += "h\x02h\x01"s + (i % 2 ? "Ra" : "\x81" "a");  // REDUCE and NEWOBJ
    const PickleDocument doc = parsePickle(shared + ".", "stat.npy");
    ASSERT_EQ(doc.root().items.size(), 3000u);
    for (const PickleValue* call : doc.root().items) {
        ASSERT_EQ(call->kind, PickleValue::Kind::Opaque);
        EXPECT_EQ(call->arguments, doc.root().items.front()->arguments);
        EXPECT_EQ(call->arguments->items.size(), 20000u);
    }

    // 256 KiB of bytes rebuilt as an array 2,000 times: 512 MB asked of a file of 270 KB.
    std::string copies = "\x80\x02]q\x00"s "B"s + std::string("\x00\x00\x04\x00"s) + std::string(262144, '\x01') +
                         "q\x01" "0cnumpy.core.numeric\n_frombuffer\nq\x02" "0"s
                         "cnumpy\ndtype\nU\x02u1\x85Rq\x03" "0"s;
    for (int i = 0; i < 2000; ++i) copies += "h\x02(h\x01h\x03J\x00\x00\x04\x00\x85U\x01" "CtRa"s;
    try {
        parsePickle(copies + ".", "stat.npy");
        ADD_FAILURE() << "read whole";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("stat.npy: pickled data: builds more than 64 MB of values", 0), 0u);
    }
}

// Every ROI may name one dict: each lookup takes one step, not a scan, and
// the first value set under a key is the one found, as before.
TEST(HostilePickle, DictLookupsFindTheFirstValueOfAKeyWhateverItsSize) {
    std::string p = "\x80\x02}q\x00("s;
    for (int i = 0; i < 5000; ++i)
        p += std::string{'U', 1, static_cast<char>('a' + i % 26), 'M', static_cast<char>(i), static_cast<char>(i >> 8)};
    p += "U\x04lastK\x07" "K\x05K\x06u.";  // a non-text key (5) is kept but not found by text
    const PickleDocument doc = parsePickle(p, "ops.npy");
    EXPECT_EQ(doc.root().entries.size(), 5002u);
    EXPECT_EQ(doc.root().find("z")->number + doc.root().find("a")->number + doc.root().find("last")->number, 32);
    EXPECT_TRUE(doc.root().find("5") == nullptr && doc.root().find("absent") == nullptr);
}

// A 'med' that is not a number, infinite or far outside the image costs only
// its ROI: placed at the middle of its pixels, with a warning naming it. With
// no pixels to fall back on, the plane is placed as for a stat.npy unusable.
TEST(HostileSideFiles, ADamagedCentrePlacesItsRoiByItsPixels) {
    testfiles::TempDir dir;
    const fs::path plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 4, 10, {{1}, {2}, {3}, {4}});
    writeStat(plane, {{0, 1}, {std::nan(""), 2}, {std::numeric_limits<double>::infinity(), 3}, {1e300, 1e300}}, true);
    const ImportResult r = importRecording(plane.string());
    ASSERT_EQ(r.model.CellCount, 4);
    // Cell r + 1 is ROI r; ROI r's pixel is (row r, column 2 r) in an image of 4 rows.
    for (int roi = 1; roi < 4; ++roi) {
        EXPECT_EQ(r.source.filePositions[roi + 1].X, 2 * roi + 1) << roi;
        EXPECT_EQ(r.source.filePositions[roi + 1].Y, 4 - roi) << roi;
    }
    ASSERT_EQ(r.source.warnings.size(), 5u);  // no iscell.npy, no ops.npy, then one for each damaged ROI
    EXPECT_EQ(r.source.warnings[2], "stat.npy: ROI 1's 'med' (nan, 2) is not a place in the image; it is placed at "
                                    "the middle of its pixels");
    EXPECT_NE(r.source.warnings[4].find("ROI 3's 'med' (1e+300, 1e+300)"), std::string::npos);

    writeStat(plane, {{0, 1}, {std::nan(""), 2}, {2, 3}, {3, 4}}, false);
    const ImportResult column = importRecording(plane.string());
    EXPECT_EQ(column.source.warnings.back(), "stat.npy: ROI 1's 'med' (nan, 2) is not a place in the image and it "
                                             "has no pixels; cells are placed in a column in ROI order");
    EXPECT_EQ(column.source.filePositions[3].Y, 4 - 2.0);  // ROI 2 in row 2 of 4
}
