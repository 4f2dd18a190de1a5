#include "import/ImportError.h"
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

TEST(PickleReader, RefusesWhatNumPyArraysDoNotUse) {
    // cos.system('echo hi') as protocol 0 and protocol 3 would spell it.
    EXPECT_NE(errorOf([] { parsePickle("cos\nsystem\n(S'echo hi'\ntR.", "stat.npy"); }).find("'os.system'"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03X\x02\0\0\0osX\x06\0\0\0system\x93."sv, "stat.npy"); })
                  .find("'os.system'"),
              std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03S'a'\n.", "stat.npy"); }).find("opcode 0x53"), std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03h\x05.", "stat.npy"); }).find("memo"), std::string::npos);
    EXPECT_NE(errorOf([] { parsePickle("\x80\x03X\xff\xff\xff\x7f"sv, "stat.npy"); }).find("ends early"),
              std::string::npos);
    const std::string stat = bytesOf(testfiles::data("import/stat.npy"));
    EXPECT_NE(errorOf([&] { parseObjectNpy(stat.substr(0, stat.size() - 20), "stat.npy"); }).find("stat.npy:"),
              std::string::npos);
}
