#include "cli/BatchRender.h"

#include "film/OutputFormats.h"
#include "import/RecordingFormats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace cellsonify {

namespace fs = std::filesystem;

namespace {

// The input's name and its parent folders' names, nearest first.
std::vector<std::string> namePartsOf(const std::string& input) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(input), ec).lexically_normal();
    if (path.has_relative_path() && !path.has_filename()) path = path.parent_path();  // "plane0/"
    const bool folder = fs::is_directory(path, ec);
    // A plane file (a .npy, or NumPy's bytes under another name) stands for
    // its whole plane folder, which names it.
    if (!folder && recordingFormatOf(path.string()).readsFolders && path.has_parent_path() &&
        path.parent_path().has_relative_path())
        path = path.parent_path();
    const bool usesFolderName = fs::is_directory(path, ec);
    std::vector<std::string> parts;
    parts.push_back(usesFolderName ? path.filename().string() : path.stem().string());
    for (fs::path up = path.parent_path(); up.has_relative_path(); up = up.parent_path())
        parts.push_back(up.filename().string());
    if (parts.front().empty()) parts.front() = "recording";
    return parts;
}

std::string joinedName(const std::vector<std::string>& parts, std::size_t depth) {
    std::string name = parts[0];
    for (std::size_t i = 1; i < depth; ++i) name = parts[i] + "-" + name;
    return name;
}

}  // namespace

bool namesOutputFolder(const std::string& out) {
    if (!out.empty() && out.back() == '/') return true;
    std::error_code ec;
    if (!fs::is_directory(out, ec)) return false;
    // A folder standing where an output file is named (taken.mid) is an
    // output that cannot be written, not a folder to write into.
    const std::string ext = fs::path(out).extension().string();
    return ext.empty() || outputFormatNamed(std::string_view(ext).substr(1)) == nullptr;
}

std::vector<std::string> batchOutputNames(const std::vector<std::string>& inputs, const std::string& extension) {
    std::vector<std::vector<std::string>> parts;
    for (const std::string& input : inputs) parts.push_back(namePartsOf(input));
    std::vector<std::size_t> depth(inputs.size(), 1);
    // Lengthen every clashing name by one parent folder at a time until none
    // clash or none can grow.
    for (bool grew = true; grew;) {
        grew = false;
        std::map<std::string, std::vector<std::size_t>> holders;
        for (std::size_t i = 0; i < inputs.size(); ++i) holders[joinedName(parts[i], depth[i])].push_back(i);
        for (const auto& [name, who] : holders) {
            // The same input given twice is told apart by a number instead.
            const bool sameInput = std::all_of(who.begin(), who.end(),
                                               [&](std::size_t i) { return parts[i] == parts[who.front()]; });
            if (sameInput) continue;
            for (const std::size_t i : who)
                if (depth[i] < parts[i].size()) {
                    ++depth[i];
                    grew = true;
                }
        }
    }
    std::vector<std::string> names;
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string stem = joinedName(parts[i], depth[i]);
        const int count = ++seen[stem];
        names.push_back((count == 1 ? stem : stem + "-" + std::to_string(count)) + "." + extension);
    }
    return names;
}

}  // namespace cellsonify
