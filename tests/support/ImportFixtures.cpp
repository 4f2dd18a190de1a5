#include "support/ImportFixtures.h"

#include <hdf5.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace importfixtures {

void writeNpy(const std::filesystem::path& file, const std::string& descr, const std::vector<std::size_t>& shape,
              const std::vector<double>& values, bool fortran) {
    std::string shapeText = "(";
    for (std::size_t d : shape) shapeText += std::to_string(d) + ",";
    shapeText += ")";
    std::string header = "{'descr': '" + descr + "', 'fortran_order': " + (fortran ? "True" : "False") +
                         ", 'shape': " + shapeText + ", }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::string out = "\x93NUMPY";
    out += '\x01';
    out += '\x00';
    out += static_cast<char>(header.size() & 0xff);
    out += static_cast<char>(header.size() >> 8);
    out += header;

    const bool big = descr[0] == '>';
    const char kind = descr[1];
    const int size = std::stoi(descr.substr(2));
    const std::size_t rows = shape.empty() ? 1 : shape[0];
    const std::size_t columns = values.size() / (rows ? rows : 1);
    for (std::size_t k = 0; k < values.size(); ++k) {
        // Fortran order: element k of the file is (k % rows, k / rows).
        const std::size_t index = fortran && shape.size() == 2 ? (k % rows) * columns + k / rows : k;
        const double v = values[index];
        char bytes[8];
        if (kind == 'f' && size == 4) { const float f = static_cast<float>(v); std::memcpy(bytes, &f, 4); }
        else if (kind == 'f') std::memcpy(bytes, &v, 8);
        else if (size == 1) bytes[0] = static_cast<char>(static_cast<int>(v));
        else if (size == 2) { const int16_t i = static_cast<int16_t>(v); std::memcpy(bytes, &i, 2); }
        else if (size == 4) { const int32_t i = static_cast<int32_t>(v); std::memcpy(bytes, &i, 4); }
        else { const int64_t i = static_cast<int64_t>(v); std::memcpy(bytes, &i, 8); }
        if (big) std::reverse(bytes, bytes + size);
        out.append(bytes, static_cast<std::size_t>(size));
    }
    std::ofstream(file, std::ios::binary) << out;
}

void writeSuite2pPlane(const std::filesystem::path& folder, std::size_t rois, std::size_t frames,
                       const std::vector<std::vector<std::size_t>>& spikes, const std::vector<double>& iscell) {
    std::filesystem::create_directories(folder);
    std::vector<double> v(rois * frames, 0.0);
    for (std::size_t r = 0; r < spikes.size(); ++r)
        for (std::size_t f : spikes[r]) v[r * frames + f] = 100;
    writeNpy(folder / "spks.npy", "<f4", {rois, frames}, v);
    if (!iscell.empty()) writeNpy(folder / "iscell.npy", "<f8", {rois, 2}, iscell);
    writeSuite2pStat(folder, rois);
}

void writeSuite2pStat(const std::filesystem::path& folder, std::size_t rois) {
    using namespace std::string_literals;
    // A pickle as NumPy writes it is built by tests/data/import/make_pickled.py;
    // here the same structure is spelled out for any ROI count.
    std::string p = "\x80\x03"s;
    p += "cnumpy.core.multiarray\n_reconstruct\nq\x00" "cnumpy\nndarray\nq\x01" "K\x00\x85" "C\x01" "b" "\x87R"s;
    p += "(K\x01" "M" + std::string{static_cast<char>(rois & 0xff), static_cast<char>(rois >> 8)} + "\x85"s;
    p += "cnumpy\ndtype\nq\x02" "X\x02\0\0\0O8\x89\x88\x87R(K\x03X\x01\0\0\0|NNNJ\xff\xff\xff\xffJ\xff\xff\xff\xffK?tb"s;
    p += "\x89](";
    for (std::size_t r = 0; r < rois; ++r) {
        p += "}X\x03\0\0\0med](J"s;
        const int32_t row = static_cast<int32_t>(2 * r), column = static_cast<int32_t>(3 * r + 1);
        p.append(reinterpret_cast<const char*>(&row), 4);
        p += "J";
        p.append(reinterpret_cast<const char*>(&column), 4);
        p += "es";
    }
    p += "etb.";
    std::string header = "{'descr': '|O', 'fortran_order': False, 'shape': (" + std::to_string(rois) + ",), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::string file = "\x93NUMPY\x01"s;
    file += '\0';
    file += static_cast<char>(header.size());
    file += '\0';
    std::ofstream(folder / "stat.npy", std::ios::binary) << file << header << p;
}

void Hdf5Writer::remove(const std::string& path) { H5Ldelete(file_, path.c_str(), H5P_DEFAULT); }

Hdf5Writer::Hdf5Writer(const std::filesystem::path& file, bool existing) {
    file_ = existing ? H5Fopen(file.c_str(), H5F_ACC_RDWR, H5P_DEFAULT)
                     : H5Fcreate(file.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    if (file_ < 0) throw std::runtime_error("cannot create " + file.string());
}

Hdf5Writer::~Hdf5Writer() { H5Fclose(file_); }

void Hdf5Writer::group(const std::string& path) {
    const hid_t lcpl = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(lcpl, 1);
    H5Gclose(H5Gcreate2(file_, path.c_str(), lcpl, H5P_DEFAULT, H5P_DEFAULT));
    H5Pclose(lcpl);
}

void Hdf5Writer::numbers(const std::string& path, const std::vector<std::size_t>& shape,
                         const std::vector<double>& values, bool integers) {
    std::vector<hsize_t> dims(shape.begin(), shape.end());
    const hid_t space = H5Screate_simple(static_cast<int>(dims.size()), dims.data(), nullptr);
    const hid_t lcpl = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(lcpl, 1);
    const hid_t set = H5Dcreate2(file_, path.c_str(), integers ? H5T_STD_I64LE : H5T_IEEE_F64LE, space, lcpl,
                                 H5P_DEFAULT, H5P_DEFAULT);
    if (!values.empty()) H5Dwrite(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data());
    H5Dclose(set);
    H5Pclose(lcpl);
    H5Sclose(space);
}

void Hdf5Writer::booleans(const std::string& path, const std::vector<bool>& values) {
    // As h5py stores NumPy's bool: an 8-bit enum of FALSE = 0 and TRUE = 1.
    const hid_t type = H5Tenum_create(H5T_NATIVE_INT8);
    const signed char no = 0, yes = 1;
    H5Tenum_insert(type, "FALSE", &no);
    H5Tenum_insert(type, "TRUE", &yes);
    const hsize_t n = values.size();
    const hid_t space = H5Screate_simple(1, &n, nullptr);
    const hid_t set = H5Dcreate2(file_, path.c_str(), type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    std::vector<signed char> raw(values.begin(), values.end());
    H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, raw.data());
    H5Dclose(set);
    H5Sclose(space);
    H5Tclose(type);
}

void Hdf5Writer::softLink(const std::string& path, const std::string& target) {
    H5Lcreate_soft(target.c_str(), file_, path.c_str(), H5P_DEFAULT, H5P_DEFAULT);
}

void Hdf5Writer::declaredOnly(const std::string& path, const std::vector<std::size_t>& shape) {
    std::vector<hsize_t> dims(shape.begin(), shape.end());
    std::vector<hsize_t> chunk(dims.size(), 1);
    const hid_t space = H5Screate_simple(static_cast<int>(dims.size()), dims.data(), nullptr);
    const hid_t lcpl = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(lcpl, 1);
    const hid_t dcpl = H5Pcreate(H5P_DATASET_CREATE);
    H5Pset_chunk(dcpl, static_cast<int>(chunk.size()), chunk.data());
    const hid_t set = H5Dcreate2(file_, path.c_str(), H5T_IEEE_F64LE, space, lcpl, dcpl, H5P_DEFAULT);
    H5Dclose(set);
    H5Pclose(dcpl);
    H5Pclose(lcpl);
    H5Sclose(space);
}

void Hdf5Writer::text(const std::string& path, const std::string& value) {
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, H5T_VARIABLE);
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t set = H5Dcreate2(file_, path.c_str(), type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    const char* p = value.c_str();
    H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, &p);
    H5Dclose(set);
    H5Sclose(space);
    H5Tclose(type);
}

void Hdf5Writer::textAttribute(const std::string& object, const std::string& name, const std::string& value) {
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, H5T_VARIABLE);
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t a = H5Acreate_by_name(file_, object.c_str(), name.c_str(), type, space, H5P_DEFAULT, H5P_DEFAULT,
                                      H5P_DEFAULT);
    const char* p = value.c_str();
    H5Awrite(a, type, &p);
    H5Aclose(a);
    H5Sclose(space);
    H5Tclose(type);
}

void Hdf5Writer::numberAttribute(const std::string& object, const std::string& name, double value) {
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t a = H5Acreate_by_name(file_, object.c_str(), name.c_str(), H5T_IEEE_F64LE, space, H5P_DEFAULT,
                                      H5P_DEFAULT, H5P_DEFAULT);
    H5Awrite(a, H5T_NATIVE_DOUBLE, &value);
    H5Aclose(a);
    H5Sclose(space);
}

void Hdf5Writer::referenceAttribute(const std::string& object, const std::string& name, const std::string& target) {
    hobj_ref_t ref{};
    H5Rcreate(&ref, file_, target.c_str(), H5R_OBJECT, -1);
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t a = H5Acreate_by_name(file_, object.c_str(), name.c_str(), H5T_STD_REF_OBJ, space, H5P_DEFAULT,
                                      H5P_DEFAULT, H5P_DEFAULT);
    H5Awrite(a, H5T_STD_REF_OBJ, &ref);
    H5Aclose(a);
    H5Sclose(space);
}

void Hdf5Writer::pixelMask(const std::string& path, const std::vector<double>& xyw) {
    struct Pixel { uint32_t x, y; float weight; };
    std::vector<Pixel> pixels;
    for (std::size_t i = 0; i + 2 < xyw.size(); i += 3)
        pixels.push_back({static_cast<uint32_t>(xyw[i]), static_cast<uint32_t>(xyw[i + 1]), static_cast<float>(xyw[i + 2])});
    const hid_t type = H5Tcreate(H5T_COMPOUND, sizeof(Pixel));
    H5Tinsert(type, "x", HOFFSET(Pixel, x), H5T_NATIVE_UINT32);
    H5Tinsert(type, "y", HOFFSET(Pixel, y), H5T_NATIVE_UINT32);
    H5Tinsert(type, "weight", HOFFSET(Pixel, weight), H5T_NATIVE_FLOAT);
    const hsize_t n = pixels.size();
    const hid_t space = H5Screate_simple(1, &n, nullptr);
    const hid_t set = H5Dcreate2(file_, path.c_str(), type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, pixels.data());
    H5Dclose(set);
    H5Sclose(space);
    H5Tclose(type);
}

}  // namespace importfixtures
