#include "cli/BatchRender.h"

#include "export/OutputFormats.h"
#include "import/RecordingFormats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>

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

// The longest file name a folder takes (NAME_MAX).
constexpr std::size_t kLongestFileName = 255;

// STEM.EXTENSION, the stem cut and ended by a hash of the whole where the
// name would pass NAME_MAX (a batch named after long inputs and folders).
std::string fileNameWithin(const std::string& stem, const std::string& extension) {
    if (stem.size() + 1 + extension.size() <= kLongestFileName) return stem + "." + extension;
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const unsigned char c : stem) hash = (hash ^ c) * 16777619u;
    char tail[10];
    std::snprintf(tail, sizeof tail, "~%08x", hash);
    std::size_t keep = kLongestFileName - 1 - extension.size() - 9;
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xc0) == 0x80) --keep;  // whole UTF-8 characters
    return stem.substr(0, keep) + tail + "." + extension;
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

std::vector<std::string> batchOutputNames(const std::vector<std::string>& inputs, const std::string& extension,
                                          const std::function<bool(const std::string&)>& unusable) {
    std::vector<std::vector<std::string>> parts;
    for (const std::string& input : inputs) parts.push_back(namePartsOf(input));
    // One rule for every input: all are named by the same number of their
    // last path parts (name, then folders), the fewest that tell the inputs
    // apart, so "plane0" and "plane1" of one run are named alike whichever
    // clashes elsewhere. An input with fewer parts keeps all it has.
    std::vector<std::size_t> depth(inputs.size(), 1);
    auto clash = [&] {
        std::map<std::string, std::vector<std::size_t>> holders;
        for (std::size_t i = 0; i < inputs.size(); ++i) holders[joinedName(parts[i], depth[i])].push_back(i);
        for (const auto& [name, who] : holders) {
            // The same input given twice is told apart by a number instead.
            const bool sameInput = std::all_of(who.begin(), who.end(),
                                               [&](std::size_t i) { return parts[i] == parts[who.front()]; });
            const bool canGrow = std::any_of(who.begin(), who.end(),
                                             [&](std::size_t i) { return depth[i] < parts[i].size(); });
            if (!sameInput && canGrow) return true;
        }
        return false;
    };
    while (clash())
        for (std::size_t i = 0; i < inputs.size(); ++i) depth[i] = std::min(depth[i] + 1, parts[i].size());
    // Every input's own name is reserved first, so that a number given to a
    // name taken twice never lands on another input's name ("m1" twice and
    // "m1-2" give m1, m1-3 and m1-2), nor on a name `unusable` refuses.
    std::vector<std::string> names(inputs.size());
    std::set<std::string> taken;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string name = fileNameWithin(joinedName(parts[i], depth[i]), extension);
        if (!taken.count(name) && !(unusable && unusable(name))) {
            names[i] = name;
            taken.insert(name);
        }
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (!names[i].empty()) continue;
        const std::string stem = joinedName(parts[i], depth[i]);
        for (long number = 2; names[i].empty(); ++number) {
            const std::string name = fileNameWithin(stem + "-" + std::to_string(number), extension);
            if (taken.count(name) || (unusable && unusable(name))) continue;
            names[i] = name;
            taken.insert(name);
        }
    }
    return names;
}

}  // namespace cellsonify
