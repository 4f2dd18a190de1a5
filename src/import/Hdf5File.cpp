#include "import/Hdf5File.h"

#include "import/ImportError.h"
#include "import/PathCheck.h"

#include <hdf5.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <unistd.h>

namespace cellsonify {

namespace {

// Closes an HDF5 identifier with the matching call when it goes out of scope.
class Handle {
public:
    Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
    ~Handle() {
        if (id_ >= 0) close_(id_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    hid_t get() const { return id_; }
    bool valid() const { return id_ >= 0; }

private:
    hid_t id_;
    herr_t (*close_)(hid_t);
};

// HDF5 prints its error stack by default; the errors here are reported as ImportError instead.
void silenceLibrary() {
    static const bool done = [] {
        H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
        return true;
    }();
    (void)done;
}

// Numbers a dataset may declare before reading it is refused: what fits in
// half of this machine's memory as doubles. A damaged or hostile file can
// declare any shape; it gets a message instead of an allocation that fails.
std::size_t mostNumbersToRead() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 30;
    return static_cast<std::size_t>(pages) / 2 * static_cast<std::size_t>(pageSize) / sizeof(double);
}

// The 0/1 each member of a boolean enum stands for (h5py writes NumPy's bool
// as an enum of FALSE and TRUE), beside its raw bytes in `native`; empty when
// a member is named otherwise, so the enum is no boolean.
std::vector<std::pair<std::string, double>> booleanMembers(hid_t native) {
    std::vector<std::pair<std::string, double>> members;
    const int count = H5Tget_nmembers(native);
    const std::size_t size = H5Tget_size(native);
    if (count <= 0 || size == 0 || size > 8) return {};
    for (unsigned i = 0; i < static_cast<unsigned>(count); ++i) {
        char* name = H5Tget_member_name(native, i);
        if (!name) return {};
        std::string upper(name);
        H5free_memory(name);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper != "TRUE" && upper != "FALSE") return {};
        std::string raw(size, '\0');
        if (H5Tget_member_value(native, i, raw.data()) < 0) return {};
        members.emplace_back(std::move(raw), upper == "TRUE" ? 1.0 : 0.0);
    }
    return members;
}

// One string of `type` (a dataset's or an attribute's) in `space`, read by
// `read(memoryType, buffer)`; nothing unless it is a single string.
template <class Read>
std::optional<std::string> readOneString(hid_t type, hid_t space, Read read) {
    if (H5Tget_class(type) != H5T_STRING || H5Sget_simple_extent_npoints(space) != 1) return std::nullopt;
    if (H5Tis_variable_str(type) > 0) {
        const Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory.get(), H5T_VARIABLE);
        H5Tset_cset(memory.get(), H5Tget_cset(type));
        char* text = nullptr;
        if (read(memory.get(), static_cast<void*>(&text)) < 0 || !text) return std::nullopt;
        std::string s(text);
        H5free_memory(text);
        return s;
    }
    const std::size_t size = H5Tget_size(type);
    if (size == 0 || size > (1u << 20)) return std::nullopt;
    std::string s(size, '\0');
    if (read(type, static_cast<void*>(s.data())) < 0) return std::nullopt;
    s.resize(s.find('\0') == std::string::npos ? s.size() : s.find('\0'));
    return s;
}

// A link out of the file: a results file that reads another file (or a FIFO)
// as its data is not read.
struct LinkOutOfFile {
    std::string path;
};

// Whether every link along `path` exists (H5Lexists refuses a missing
// parent). Throws LinkOutOfFile at an external link, before anything follows it.
bool linkExists(hid_t file, const std::string& path) {
    if (path == "/") return true;
    std::size_t pos = 1;
    while (pos <= path.size()) {
        std::size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        const std::string part = path.substr(0, next);
        if (next > pos) {
            if (H5Lexists(file, part.c_str(), H5P_DEFAULT) <= 0) return false;
            H5L_info_t info{};
            if (H5Lget_info(file, part.c_str(), &info, H5P_DEFAULT) < 0) return false;
            if (info.type == H5L_TYPE_EXTERNAL || info.type >= H5L_TYPE_UD_MIN) throw LinkOutOfFile{part};
        }
        pos = next + 1;
    }
    return true;
}

H5O_type_t objectType(hid_t file, const std::string& path) {
    if (!linkExists(file, path)) return H5O_TYPE_UNKNOWN;
    H5O_info_t info{};
    if (H5Oget_info_by_name(file, path.c_str(), &info, H5P_DEFAULT) < 0) return H5O_TYPE_UNKNOWN;
    return info.type;
}

}  // namespace

Hdf5File::Hdf5File(const std::string& path, const std::string& name) : name_(name) {
    silenceLibrary();
    requireRegularFile(path, name);  // a FIFO or device is never opened
    if (H5Fis_hdf5(path.c_str()) <= 0) throw ImportError(name, "is not an HDF5 file");
    file_ = H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT);
    if (file_ < 0) throw ImportError(name, "cannot be opened as an HDF5 file");
}

Hdf5File Hdf5File::fromImage(std::string_view image, const std::string& name) {
    silenceLibrary();
    Hdf5File file(name);
    const Handle access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
    // The core driver keeps the file in memory; without a backing store nothing is ever written.
    if (!access.valid() || H5Pset_fapl_core(access.get(), 1 << 16, false) < 0 ||
        H5Pset_file_image(access.get(), const_cast<char*>(image.data()), image.size()) < 0)
        throw ImportError(name, "cannot be held in memory as an HDF5 file");
    file.file_ = H5Fopen(name.c_str(), H5F_ACC_RDONLY, access.get());
    if (file.file_ < 0) throw ImportError(name, "cannot be opened as an HDF5 file");
    return file;
}

Hdf5File::~Hdf5File() {
    if (file_ >= 0) H5Fclose(file_);
}

void Hdf5File::fail(const std::string& problem) const { throw ImportError(name_, problem); }

int Hdf5File::typeOf(const std::string& path) const {
    try {
        return objectType(file_, path);
    } catch (const LinkOutOfFile& link) {
        fail(link.path + " is a link to another file; only what is inside the file itself is read");
    }
}

bool Hdf5File::isGroup(const std::string& path) const { return typeOf(path) == H5O_TYPE_GROUP; }
bool Hdf5File::isDataset(const std::string& path) const { return typeOf(path) == H5O_TYPE_DATASET; }

long long Hdf5File::openDataset(const std::string& dataset) const {
    if (typeOf(dataset) != H5O_TYPE_DATASET) fail("has no dataset " + dataset);
    const hid_t d = H5Dopen2(file_, dataset.c_str(), H5P_DEFAULT);
    if (d < 0) fail("has no dataset " + dataset);
    // Raw data kept in other files, or a virtual dataset made of other
    // files' datasets, would be read from outside the file.
    const Handle plist(H5Dget_create_plist(d), H5Pclose);
    const bool external = plist.valid() && (H5Pget_external_count(plist.get()) > 0 ||
                                            H5Pget_layout(plist.get()) == H5D_VIRTUAL);
    if (external) {
        H5Dclose(d);
        fail(dataset + " keeps its data in other files; only data inside the file itself is read");
    }
    return d;
}

std::vector<std::string> Hdf5File::members(const std::string& group) const {
    if (typeOf(group) != H5O_TYPE_GROUP) fail("has no group " + group);
    const Handle g(H5Gopen2(file_, group.c_str(), H5P_DEFAULT), H5Gclose);
    if (!g.valid()) fail("cannot open group " + group);
    H5G_info_t info{};
    if (H5Gget_info(g.get(), &info) < 0) fail("cannot list group " + group);
    std::vector<std::string> names;
    for (hsize_t i = 0; i < info.nlinks && i < 100000; ++i) {
        const ssize_t n = H5Lget_name_by_idx(g.get(), ".", H5_INDEX_NAME, H5_ITER_INC, i, nullptr, 0, H5P_DEFAULT);
        if (n < 0) continue;
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        H5Lget_name_by_idx(g.get(), ".", H5_INDEX_NAME, H5_ITER_INC, i, s.data(), s.size(), H5P_DEFAULT);
        s.resize(static_cast<std::size_t>(n));
        names.push_back(std::move(s));
    }
    return names;
}

std::vector<std::size_t> Hdf5File::shape(const std::string& dataset) const {
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    const int rank = H5Sget_simple_extent_ndims(space.get());
    if (rank < 0 || rank > 32) fail(dataset + " has an unreadable shape");
    std::vector<hsize_t> dims(static_cast<std::size_t>(rank));
    H5Sget_simple_extent_dims(space.get(), dims.data(), nullptr);
    return {dims.begin(), dims.end()};
}

std::vector<double> Hdf5File::readNumbers(const std::string& dataset) const {
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    const H5T_class_t cls = H5Tget_class(type.get());
    if (cls != H5T_INTEGER && cls != H5T_FLOAT && cls != H5T_ENUM) fail(dataset + " does not hold numbers");
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    const hssize_t n = H5Sget_simple_extent_npoints(space.get());
    if (n < 0) fail(dataset + " has an unreadable shape");
    if (static_cast<std::size_t>(n) > mostNumbersToRead())
        fail(dataset + " declares " + std::to_string(n) + " numbers, more than this machine's memory holds");
    std::vector<double> values(static_cast<std::size_t>(n));
    if (cls == H5T_ENUM) {
        // Every boolean column reads as 0 and 1, whichever way it was stored.
        const Handle native(H5Tget_native_type(type.get(), H5T_DIR_ASCEND), H5Tclose);
        const auto members = booleanMembers(native.get());
        if (members.empty()) fail(dataset + " does not hold numbers (an enum other than FALSE/TRUE)");
        const std::size_t size = members.front().first.size();
        std::string raw(static_cast<std::size_t>(n) * size, '\0');
        if (n > 0 && H5Dread(d.get(), native.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, raw.data()) < 0)
            fail(dataset + " cannot be read");
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string_view element(raw.data() + i * size, size);
            const auto member = std::find_if(members.begin(), members.end(),
                                             [&](const auto& m) { return m.first == element; });
            if (member == members.end()) fail(dataset + " holds a value that is neither FALSE nor TRUE");
            values[i] = member->second;
        }
        return values;
    }
    if (n > 0 && H5Dread(d.get(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
        fail(dataset + " cannot be read");
    return values;
}

std::vector<std::size_t> Hdf5File::chunkShape(const std::string& dataset) const {
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle plist(H5Dget_create_plist(d.get()), H5Pclose);
    if (!plist.valid() || H5Pget_layout(plist.get()) != H5D_CHUNKED) return {};
    hsize_t dims[32];
    const int rank = H5Pget_chunk(plist.get(), 32, dims);
    if (rank <= 0) return {};
    return {dims, dims + rank};
}

void Hdf5File::readBlock(const std::string& dataset, const std::vector<std::size_t>& offset,
                         const std::vector<std::size_t>& count, double* out) const {
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    const H5T_class_t cls = H5Tget_class(type.get());
    if (cls != H5T_INTEGER && cls != H5T_FLOAT) fail(dataset + " does not hold numbers");
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    const int rank = H5Sget_simple_extent_ndims(space.get());
    if (rank < 0 || static_cast<std::size_t>(rank) != offset.size() || count.size() != offset.size())
        fail(dataset + " does not have the shape expected");
    // A chunk is unpacked whole to read any of it: a compressed chunk that
    // unpacks to more than this is refused rather than allocated.
    constexpr std::size_t kLargestChunkBytes = std::size_t{256} << 20;
    const Handle plist(H5Dget_create_plist(d.get()), H5Pclose);
    if (plist.valid() && H5Pget_layout(plist.get()) == H5D_CHUNKED) {
        hsize_t dims[32];
        const int chunkRank = H5Pget_chunk(plist.get(), 32, dims);
        std::size_t bytes = H5Tget_size(type.get());
        for (int i = 0; i < chunkRank && bytes <= kLargestChunkBytes; ++i)
            bytes = dims[i] > kLargestChunkBytes ? kLargestChunkBytes + 1 : bytes * static_cast<std::size_t>(dims[i]);
        if (bytes > kLargestChunkBytes)
            fail(dataset + " is stored in chunks of more than 256 MiB each, too large to unpack in memory");
    }
    std::vector<hsize_t> start(offset.begin(), offset.end()), size(count.begin(), count.end());
    std::size_t n = 1;
    for (hsize_t c : size) n *= static_cast<std::size_t>(c);
    if (n == 0) return;
    if (H5Sselect_hyperslab(space.get(), H5S_SELECT_SET, start.data(), nullptr, size.data(), nullptr) < 0 ||
        H5Sselect_valid(space.get()) <= 0)
        fail(dataset + " has no such part");
    const Handle memory(H5Screate_simple(rank, size.data(), nullptr), H5Sclose);
    if (H5Dread(d.get(), H5T_NATIVE_DOUBLE, memory.get(), space.get(), H5P_DEFAULT, out) < 0)
        fail(dataset + " cannot be read");
}

bool Hdf5File::hasField(const std::string& dataset, const std::string& field) const {
    if (!isDataset(dataset)) return false;
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    return H5Tget_class(type.get()) == H5T_COMPOUND && H5Tget_member_index(type.get(), field.c_str()) >= 0;
}

std::vector<double> Hdf5File::readField(const std::string& dataset, const std::string& field) const {
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_COMPOUND || H5Tget_member_index(type.get(), field.c_str()) < 0)
        fail(dataset + " has no field '" + field + "'");
    const Handle memory(H5Tcreate(H5T_COMPOUND, sizeof(double)), H5Tclose);
    H5Tinsert(memory.get(), field.c_str(), 0, H5T_NATIVE_DOUBLE);
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    const hssize_t n = H5Sget_simple_extent_npoints(space.get());
    if (n < 0) fail(dataset + " has an unreadable shape");
    if (static_cast<std::size_t>(n) > mostNumbersToRead())
        fail(dataset + " declares " + std::to_string(n) + " numbers, more than this machine's memory holds");
    std::vector<double> values(static_cast<std::size_t>(n));
    if (n > 0 && H5Dread(d.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0)
        fail(dataset + "'s field '" + field + "' cannot be read as numbers");
    return values;
}

std::optional<std::string> Hdf5File::readText(const std::string& dataset) const {
    if (!isDataset(dataset)) return std::nullopt;
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    return readOneString(type.get(), space.get(), [&d](hid_t memory, void* buffer) {
        return H5Dread(d.get(), memory, H5S_ALL, H5S_ALL, H5P_DEFAULT, buffer);
    });
}

std::optional<std::vector<std::string>> Hdf5File::readTexts(const std::string& dataset) const {
    if (!isDataset(dataset)) return std::nullopt;
    const Handle d(openDataset(dataset), H5Dclose);
    const Handle type(H5Dget_type(d.get()), H5Tclose);
    const Handle space(H5Dget_space(d.get()), H5Sclose);
    if (H5Tget_class(type.get()) != H5T_STRING || H5Sget_simple_extent_ndims(space.get()) != 1) return std::nullopt;
    const hssize_t n = H5Sget_simple_extent_npoints(space.get());
    if (n < 0 || static_cast<std::size_t>(n) > mostNumbersToRead())
        fail(dataset + " declares more strings than this machine's memory holds");
    const auto count = static_cast<std::size_t>(n);
    std::vector<std::string> texts;
    texts.reserve(count);
    if (H5Tis_variable_str(type.get()) > 0) {
        const Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
        H5Tset_size(memory.get(), H5T_VARIABLE);
        H5Tset_cset(memory.get(), H5Tget_cset(type.get()));
        std::vector<char*> pointers(count, nullptr);
        if (count > 0 && H5Dread(d.get(), memory.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, pointers.data()) < 0)
            fail(dataset + " cannot be read as text");
        for (char* p : pointers) texts.emplace_back(p ? p : "");
        if (count > 0) H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, pointers.data());
        return texts;
    }
    const std::size_t size = H5Tget_size(type.get());
    if (size == 0 || size > (1u << 16) || count > (std::size_t{1} << 30) / size)
        fail(dataset + " holds strings too long to read");
    std::string buffer(count * size, '\0');
    if (count > 0 && H5Dread(d.get(), type.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, buffer.data()) < 0)
        fail(dataset + " cannot be read as text");
    for (std::size_t i = 0; i < count; ++i) {
        std::string one = buffer.substr(i * size, size);
        one.resize(one.find('\0') == std::string::npos ? one.size() : one.find('\0'));
        texts.push_back(std::move(one));
    }
    return texts;
}

bool Hdf5File::hasAttribute(const std::string& object, const std::string& attribute) const {
    return typeOf(object) != H5O_TYPE_UNKNOWN &&
           H5Aexists_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT) > 0;
}

std::optional<std::string> Hdf5File::textAttribute(const std::string& object, const std::string& attribute) const {
    if (typeOf(object) == H5O_TYPE_UNKNOWN || H5Aexists_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT) <= 0)
        return std::nullopt;
    const Handle a(H5Aopen_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    if (!a.valid()) return std::nullopt;
    const Handle type(H5Aget_type(a.get()), H5Tclose);
    const Handle space(H5Aget_space(a.get()), H5Sclose);
    return readOneString(type.get(), space.get(),
                         [&a](hid_t memory, void* buffer) { return H5Aread(a.get(), memory, buffer); });
}

std::optional<double> Hdf5File::numberAttribute(const std::string& object, const std::string& attribute) const {
    if (!linkExists(file_, object) || H5Aexists_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT) <= 0)
        return std::nullopt;
    const Handle a(H5Aopen_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    if (!a.valid()) return std::nullopt;
    const Handle type(H5Aget_type(a.get()), H5Tclose);
    const H5T_class_t cls = H5Tget_class(type.get());
    const Handle space(H5Aget_space(a.get()), H5Sclose);
    if ((cls != H5T_INTEGER && cls != H5T_FLOAT) || H5Sget_simple_extent_npoints(space.get()) != 1) return std::nullopt;
    double value = 0;
    if (H5Aread(a.get(), H5T_NATIVE_DOUBLE, &value) < 0) return std::nullopt;
    return value;
}

std::string Hdf5File::referencedPath(const std::string& object, const std::string& attribute) const {
    if (typeOf(object) == H5O_TYPE_UNKNOWN || H5Aexists_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT) <= 0)
        fail(object + " has no attribute '" + attribute + "'");
    const Handle a(H5Aopen_by_name(file_, object.c_str(), attribute.c_str(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    const Handle type(H5Aget_type(a.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_REFERENCE) fail(object + "'s '" + attribute + "' is not a reference");
    hobj_ref_t ref{};
    if (H5Aread(a.get(), H5T_STD_REF_OBJ, &ref) < 0) fail(object + "'s '" + attribute + "' cannot be read");
    const Handle target(H5Rdereference2(file_, H5P_DEFAULT, H5R_OBJECT, &ref), H5Oclose);
    if (!target.valid()) fail(object + "'s '" + attribute + "' points nowhere");
    const ssize_t n = H5Iget_name(target.get(), nullptr, 0);
    if (n <= 0) fail(object + "'s '" + attribute + "' points at an unnamed object");
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    H5Iget_name(target.get(), s.data(), s.size());
    s.resize(static_cast<std::size_t>(n));
    return s;
}

}  // namespace cellsonify
