#include "support/TestFiles.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace testfiles {

std::filesystem::path data(const std::string& name) {
    return std::filesystem::path(CELLSONIFY_TEST_DATA) / name;
}

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("cellsonify-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& text) const {
    auto p = path_ / name;
    std::ofstream out(p, std::ios::binary);
    out << text;
    return p;
}

}  // namespace testfiles
