#include <benchmark/benchmark.h>

#include <cstring>

int loadPeakMain(const char* path);
int importSuite2pMain(const char* path);
int makeSuite2pMain(const char* folder, const char* rois, const char* frames);
int makeVoicesPlaneMain(const char* folder, const char* rois, const char* frames);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load-peak") == 0) return loadPeakMain(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--import-suite2p") == 0) return importSuite2pMain(argv[2]);
    if (argc == 5 && std::strcmp(argv[1], "--make-suite2p") == 0) return makeSuite2pMain(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "--make-voices-plane") == 0) return makeVoicesPlaneMain(argv[2], argv[3], argv[4]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
