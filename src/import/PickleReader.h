#pragma once

#include "import/NpyReader.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cellsonify {

// One value of a restricted pickle: the Python and NumPy values that NumPy's
// object arrays (suite2p's stat.npy and ops.npy) are made of.
struct PickleValue {
    enum class Kind { None, Bool, Int, Float, Str, Bytes, List, Tuple, Dict, Array, Scalar, DType, Global };
    Kind kind = Kind::None;
    double number = 0;                        // Bool, Int (exact up to 2^53), Float, Scalar
    std::string text;                         // Str, Bytes, Global ("module name")
    std::vector<const PickleValue*> items;    // List, Tuple; for an object Array its elements
    std::vector<std::pair<const PickleValue*, const PickleValue*>> entries;  // Dict
    // Array: element type, shape, order and raw data; DType: its type.
    NpyType type;
    std::vector<std::size_t> shape;
    bool fortranOrder = false;
    std::string data;

    // The Dict entry under string key `key`, or null.
    const PickleValue* find(std::string_view key) const;
    // Number of elements of an Array.
    std::size_t elementCount() const;
    // Element i of a numeric Array.
    double element(std::size_t i) const { return npyElement(data.data(), type, i); }
};

// A parsed pickle; owns every value, so shared and cyclic references are safe.
class PickleDocument {
public:
    const PickleValue& root() const { return *root_; }

private:
    friend class PickleParser;
    std::deque<PickleValue> values_;
    const PickleValue* root_ = nullptr;
};

// Reads a pickle of protocol 2 to 5 built only of the opcodes NumPy's object
// arrays use, reconstructing NumPy arrays, dtypes and scalars as data. Nothing
// the pickle names is ever called. Any other opcode or global, a malformed
// stream or a shape that does not match its data throws ImportError naming
// `name`.
PickleDocument parsePickle(std::string_view bytes, const std::string& name);

// The object array a pickled .npy file holds (header "|O"), parsed.
PickleDocument parseObjectNpy(std::string_view bytes, const std::string& name);

}  // namespace cellsonify
