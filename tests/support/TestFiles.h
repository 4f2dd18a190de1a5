#pragma once

#include <filesystem>
#include <functional>
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

// Runs `check` as a user without privileges and returns its result. Root
// reads files without read permission, so when the tests run as root (as in
// CI) `check` runs in a child process that has dropped to "nobody"; otherwise
// it runs here. Whatever `check` reports by gtest assertions in a child is
// lost: it must say its verdict by the value it returns.
bool asUnprivilegedUser(const std::function<bool()>& check);

}  // namespace testfiles
