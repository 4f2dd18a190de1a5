#include "BenchData.h"

#include "files/SafeOutput.h"
#include "model/RecordingGenerator.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace benchdata {

void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "cellsonify_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
}

const std::string& largeRecordingPath() {
    static const std::string path = [] {
        auto p = std::filesystem::temp_directory_path() /
                 ("cellsonify-bench-" + std::to_string(::getpid()) + ".txt");
        cellsonify::GeneratorSettings s;
        s.cells = 1500;
        s.frames = 100000;
        s.activity = 0.05;
        s.silentShare = 0;
        s.seed = 11;
        cellsonify::writeFileSafely(p.string(), cellsonify::generateRecording(s));
        std::atexit([] { std::filesystem::remove(largeRecordingPath()); });
        return p.string();
    }();
    return path;
}

void writeNpyHeader(std::ofstream& out, const std::string& descr, const std::string& shape) {
    std::string header = "{'descr': '" + descr + "', 'fortran_order': False, 'shape': " + shape + ", }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    out.write("\x93NUMPY\x01\x00", 8);
    const char length[2] = {static_cast<char>(header.size() & 0xff), static_cast<char>(header.size() >> 8)};
    out.write(length, 2);
    out << header;
}

bool writeObjectNpy(const std::filesystem::path& path, const std::string& shape, const std::string& pickledShape,
                    const std::string& items) {
    std::ofstream out(path, std::ios::binary);
    writeNpyHeader(out, "|O", shape);
    out << std::string("\x80\x03", 2) << "cnumpy.core.multiarray\n_reconstruct\n" << "cnumpy\nndarray\n"
        << std::string("K\x00\x85" "C\x01" "b\x87R", 8) << pickledShape << "cnumpy\ndtype\n"
        << std::string("X\x02\0\0\0O8\x89\x88\x87R(K\x03X\x01\0\0\0|NNNJ\xff\xff\xff\xffJ\xff\xff\xff\xffK?tb\x89](", 40)
        << items << "etb.";
    return static_cast<bool>(out);
}

}  // namespace benchdata
