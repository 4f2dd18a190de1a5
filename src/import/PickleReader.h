#pragma once

#include "import/NpyReader.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cellsonify {

// One value of a pickle, read as data: Python's plain values, NumPy arrays,
// dtypes and scalars, and an inert Opaque record of any other object the
// pickle builds (a datetime, a path, an OrderedDict): its name and arguments,
// never the object itself.
struct PickleValue {
    enum class Kind { None, Bool, Int, Float, Str, Bytes, List, Tuple, Set, Dict, Array, Scalar, DType, Global, Opaque };
    Kind kind = Kind::None;
    double number = 0;                        // Bool, Int (exact up to 2^53), Float, Scalar
    std::string text;                         // Str (UTF-8), Bytes, Global and Opaque ("module name")
    // List, Tuple, Set; an object Array's elements; an Opaque's arguments
    // followed by whatever was appended to it.
    std::vector<const PickleValue*> items;
    std::vector<std::pair<const PickleValue*, const PickleValue*>> entries;  // Dict; items set on an Opaque
    const PickleValue* state = nullptr;       // Opaque: what BUILD gave it
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

// Reads a pickle of protocol 0 to 5, reconstructing NumPy arrays, dtypes and
// scalars (numpy.core and numpy._core spellings) as data, the bytes that
// `_codecs.encode(text, 'latin1')` stands for (protocol 2's byte strings), and
// any other named object as an inert Opaque. Nothing the pickle names is ever
// imported or called. Throws ImportError naming `name` for a malformed stream,
// any other use of `_codecs`, an out-of-band buffer or persistent id, more
// than kMostPickleValues values, or a NumPy array whose shape does not match
// its data.
constexpr std::size_t kMostPickleValues = std::size_t{1} << 24;
PickleDocument parsePickle(std::string_view bytes, const std::string& name);

// The object array a pickled .npy file holds (header "|O"), parsed.
PickleDocument parseObjectNpy(std::string_view bytes, const std::string& name);

}  // namespace cellsonify
