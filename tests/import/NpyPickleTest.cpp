#include "import/ImportError.h"
#include "import/Importer.h"
#include "import/NpyReader.h"
#include "import/PickleReader.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

using namespace cellsonify;
using Kind = PickleValue::Kind;
using namespace std::string_view_literals;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string bytesOf(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ImportError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(NpyReader, ReadsEveryByteOrderTypeAndLayout) {
    testfiles::TempDir dir;
    const std::vector<double> values{1, -2, 3, 4.5, -5, 6};
    for (const std::string descr : {"<f4", ">f4", "<f8", ">f8", "<i4", ">i2", "<i8", ">u4"}) {
        for (bool fortran : {false, true}) {
            const auto file = dir.path() / "a.npy";
            importfixtures::writeNpy(file, descr, {2, 3}, values, fortran);
            const NpyArray a = NpyArray::fromFile(file.string());
            std::vector<double> row(3);
            a.copyRow(1, 0, 3, row.data());
            const bool unsignedType = descr[1] == 'u';
            SCOPED_TRACE(descr + (fortran ? " fortran" : " C"));
            EXPECT_EQ(a.at(0, 1), unsignedType ? 4294967294.0 : -2);
            EXPECT_EQ(row[0], descr[1] == 'f' ? 4.5 : 4);
            EXPECT_EQ(row[2], 6);
        }
    }
}

TEST(NpyReader, RefusesDamagedFiles) {
    testfiles::TempDir dir;
    const auto file = dir.path() / "spks.npy";
    importfixtures::writeNpy(file, "<f4", {2, 3}, {1, 2, 3, 4, 5, 6});
    const std::string good = bytesOf(file);
    EXPECT_NE(errorOf([&] { NpyArray::fromBytes(good.substr(0, good.size() - 1), "spks.npy"); }).find("ends early"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { NpyArray::fromBytes(good.substr(0, 40), "spks.npy"); }).find("header"), std::string::npos);
    EXPECT_NE(errorOf([&] { NpyArray::fromBytes("PK\3\4 zip", "spks.npy"); }).find("not a NumPy"), std::string::npos);
    std::string complexType = good;
    complexType.replace(complexType.find("<f4"), 3, "<c8");
    EXPECT_EQ(errorOf([&] { NpyArray::fromBytes(complexType, "spks.npy"); }), "spks.npy: unsupported element type '<c8'");
}

TEST(PickleReader, ReadsStatAndOpsWrittenByNumPy) {
    const std::string stat = bytesOf(testfiles::data("import/stat.npy"));
    const PickleDocument doc = parseObjectNpy(stat, "stat.npy");
    ASSERT_EQ(doc.root().items.size(), 3u);
    const PickleValue* med = doc.root().items[1]->find("med");
    ASSERT_TRUE(med && med->kind == Kind::Array);
    EXPECT_EQ(med->element(0), 40);
    EXPECT_EQ(med->element(1), 7);
    const PickleValue& first = *doc.root().items[0];
    EXPECT_FLOAT_EQ(static_cast<float>(first.find("lam")->element(2)), 0.25f);
    EXPECT_EQ(first.find("npix")->kind, Kind::Scalar);
    EXPECT_EQ(first.find("npix")->number, 3);
    EXPECT_EQ(first.find("overlap")->element(1), 1);
    EXPECT_EQ(first.find("compact")->number, 1.25);
    EXPECT_TRUE(std::isnan(doc.root().items[2]->find("skew")->number));
    EXPECT_EQ(doc.root().items[2]->find("med")->kind, Kind::List);

    const std::string opsBytes = bytesOf(testfiles::data("import/ops.npy"));
    const PickleDocument ops = parseObjectNpy(opsBytes, "ops.npy");
    const PickleValue& dict = *ops.root().items.at(0);
    EXPECT_EQ(dict.find("Ly")->number, 64);
    EXPECT_EQ(dict.find("Lx")->number, 48);
    EXPECT_EQ(dict.find("fs")->number, 30.0);
    EXPECT_EQ(dict.find("big")->number, std::ldexp(1.0, 70));
    EXPECT_EQ(dict.find("save_path")->text, "plane0");
    EXPECT_EQ(dict.find("meanImg")->shape, (std::vector<std::size_t>{2, 3}));
}

// Whatever a pickle names is recorded, never imported or called: payloads
// that would create a file through a shell, eval or a child process (each
// pickled by Python itself) leave inert records and no file, bare and inside
// the dict of a suite2p ops.npy.
TEST(PickleReader, NamedCallablesBecomeInertRecordsAndNothingRuns) {
    const fs::path ran = "/tmp/cellsonify-pickle-ran";
    fs::remove(ran);
    const std::pair<const char*, const char*> payloads[] = {{"payload-os-system.pkl", "os system"},
                                                            {"payload-posix-system.pkl", "posix system"},
                                                            {"payload-eval.pkl", "builtins eval"},
                                                            {"payload-popen.pkl", "subprocess Popen"}};
    for (const auto& [file, name] : payloads) {
        const PickleDocument doc = parsePickle(bytesOf(testfiles::data(std::string("import/pickles/") + file)), file);
        EXPECT_EQ(doc.root().kind, Kind::Opaque) << file;
        EXPECT_EQ(doc.root().text, name);
        ASSERT_NE(doc.root().arguments, nullptr) << file;
        ASSERT_FALSE(doc.root().arguments->items.empty()) << file;
    }
    const ImportResult r = importRecording(testfiles::data("hostile-pickle-payload/plane0").string());
    EXPECT_EQ(r.model.CellCount, 2);
    EXPECT_EQ(r.source.warnings.at(1), "ops.npy cannot be used (has no 'Ly'); the image height comes from the ROI masks");
    EXPECT_FALSE(fs::exists(ran));
}

TEST(PickleReader, CodecsEncodeLatin1IsBytesAndNothingElseOfCodecsIsRead) {
    // Protocol 2's spelling of b'\x00\xe9A': _codecs.encode('\x00\xe9A', 'latin1').
    const PickleDocument doc = parsePickle(bytesOf(testfiles::data("import/pickles/protocol2-bytes.pkl")), "x");
    EXPECT_EQ(doc.root().kind, Kind::Bytes);
    EXPECT_EQ(doc.root().text, "\0\xe9" "A"s);
    EXPECT_NE(errorOf([] { parsePickle(bytesOf(testfiles::data("import/pickles/codecs-rot13.pkl")), "stat.npy"); })
                  .find("_codecs.encode with arguments other than (text, 'latin1')"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("c_codecs\ndecode\n.", "stat.npy"); }).find("'_codecs.decode'"), std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03h\x05.", "stat.npy"); }).find("memo"), std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03X\xff\xff\xff\x7f"sv, "stat.npy"); }).find("ends early"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x05\x97."sv, "stat.npy"); }).find("buffer outside the file"),
              std::string::npos);
    // numpy's _reconstruct with no BUILD after it: an array with no type or data.
    EXPECT_NE(errorOf([] {
                  parsePickle("\x80\x02" "cnumpy.core.multiarray\n_reconstruct\ncnumpy\nndarray\nK\x00\x85U\x01" "b\x87R."sv,
                              "stat.npy");
              }).find("never given its data"),
              std::string::npos);
    const std::string stat = bytesOf(testfiles::data("import/stat.npy"));
    EXPECT_NE(errorOf([&] { parseObjectNpy(stat.substr(0, stat.size() - 20), "stat.npy"); }).find("stat.npy:"),
              std::string::npos);
}

// The opcodes of protocols 0 to 5 that real pickles use, each checked by the
// value it builds from Python's own pickles.
TEST(PickleReader, ReadsTheOpcodesOfEveryProtocol) {
    const PickleDocument zero = parsePickle(bytesOf(testfiles::data("import/pickles/protocol0.pkl")), "x");
    EXPECT_EQ(zero.root().find("a")->number, 7);
    EXPECT_EQ(zero.root().find("b")->number, 12345678901.0);
    EXPECT_EQ(zero.root().find("x\xc3\xa9")->number, 2.5);
    ASSERT_EQ(zero.root().find("d")->items.size(), 2u);
    EXPECT_EQ(zero.root().find("d")->items[1]->number, 1);
    EXPECT_EQ(zero.root().find("e")->items.at(1)->text, "text");

    const PickleDocument five = parsePickle(bytesOf(testfiles::data("import/pickles/protocol5.pkl")), "x");
    const auto& items = five.root().items;
    ASSERT_EQ(items.size(), 8u);
    EXPECT_DOUBLE_EQ(items[0]->number, 3.141592653589793);
    EXPECT_TRUE(std::isinf(items[1]->number) && items[1]->number > 0);                   // LONG4: 2^2100
    EXPECT_EQ(items[2]->text, "!");                                                        // BYTEARRAY8
    EXPECT_EQ(items[3]->kind, Kind::Set);                                                  // FROZENSET
    EXPECT_EQ(items[3]->items.size(), 2u);
    EXPECT_EQ(items[4]->items.size(), 1u);                                                 // EMPTY_SET, ADDITEMS
    EXPECT_EQ(items[5]->text, "extension 7");                                              // EXT1
    EXPECT_EQ(items[6]->text, "datetime date");
    EXPECT_EQ(items[7]->kind, Kind::Opaque);                                               // NEWOBJ_EX
    EXPECT_EQ(items[7]->text, "lab.geometry Point");
    EXPECT_EQ(items[7]->keywords->entries.at(0).second->number, 2);

    // Deep nesting and a huge memo index stay bounded: memory follows the input's size.
    std::string deep(200000, ']');
    deep += std::string(199999, 'a') + ".";
    EXPECT_EQ(parsePickle(deep, "stat.npy").root().items.size(), 1u);
    EXPECT_EQ(parsePickle("]r\xff\xff\xff\xffj\xff\xff\xff\xff" "a."sv, "stat.npy").root().items.size(), 1u);
}
