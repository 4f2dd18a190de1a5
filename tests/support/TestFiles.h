#pragma once

#include <filesystem>
#include <string>

namespace testfiles {

// Path of a file under tests/data.
std::filesystem::path data(const std::string& name);

// A fresh temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Writes `text` to a file called `name` in the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

}  // namespace testfiles
