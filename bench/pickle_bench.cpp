// Hostile pickles, read as a stat.npy would be. The shared dict: 50,000 ROIs
// all naming one 500,000-entry dict, each looked up for 'med', 'ypix' and
// 'xpix' as the suite2p reader does (a scan per lookup took 40 s). The
// repeated call: one 20,000-item argument tuple passed to 100,000 calls (a
// copy per call would ask for 16 GB).
//   build/bench/cellsonify_bench --benchmark_filter=Pickle
#include "import/PickleReader.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string npyOfObjects(std::size_t count, const std::string& pickle) {
    std::string header = "{'descr': '|O', 'fortran_order': False, 'shape': (" + std::to_string(count) + ",), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    return "\x93NUMPY\x01"s + '\0' + static_cast<char>(header.size()) + '\0' + header + pickle;
}

std::string int32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

const std::string& sharedDictStat() {
    static const std::string file = [] {
        constexpr uint32_t entries = 500000, rois = 50000;
        std::string p = "\x80\x02" "cnumpy.core.multiarray\n_reconstruct\n" "cnumpy\nndarray\n" "K\x00\x85" "U\x01" "b"
                        "\x87R" "(K\x01" "J"s + int32(rois) + "\x85" "cnumpy\ndtype\n" "U\x02O8\x89\x88\x87R"
                        "(K\x03U\x01|NNNJ\xff\xff\xff\xffJ\xff\xff\xff\xffK?tb" "\x89"s;
        p += "}r"s + int32(0) + "(";
        for (uint32_t i = 0; i < entries; ++i) p += "X"s + int32(8) + "key" + std::to_string(10000 + i % 90000) + "K\x01";
        p += "U\x03medK\x02u0](";
        for (uint32_t r = 0; r < rois; ++r) p += "j"s + int32(0);
        p += "etb.";
        return npyOfObjects(rois, p);
    }();
    return file;
}

void BM_PickleSharedDictLookups(benchmark::State& state) {
    for (auto _ : state) {
        const cellsonify::PickleDocument doc = cellsonify::parseObjectNpy(sharedDictStat(), "stat.npy");
        std::size_t found = 0;
        for (const cellsonify::PickleValue* roi : doc.root().items)
            found += (roi->find("med") != nullptr) + (roi->find("ypix") != nullptr) + (roi->find("xpix") != nullptr);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_PickleSharedDictLookups)->Unit(benchmark::kMillisecond);

void BM_PickleRepeatedCallArguments(benchmark::State& state) {
    std::string p = "\x80\x02]q\x00("s + std::string(20000, 'N') + "tq\x01" "0cx\ny\nq\x02" "0"s;
    for (int i = 0; i < 100000; ++i) p += "h\x02h\x01Ra"s;
    p += ".";
    for (auto _ : state) benchmark::DoNotOptimize(cellsonify::parsePickle(p, "stat.npy").root().items.size());
}
BENCHMARK(BM_PickleRepeatedCallArguments)->Unit(benchmark::kMillisecond);

}  // namespace
