#pragma once

#include "import/NpyReader.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // List, Tuple, Set; an object Array's elements; what was appended to an Opaque.
    std::vector<const PickleValue*> items;
    std::vector<std::pair<const PickleValue*, const PickleValue*>> entries;  // Dict; items set on an Opaque
    // Opaque: the argument tuple and keyword dict it was called with, shared
    // with the pickle rather than copied (a pickle may pass one tuple to many calls).
    const PickleValue* arguments = nullptr;
    const PickleValue* keywords = nullptr;
    const PickleValue* state = nullptr;       // Opaque: what BUILD gave it
    // Array: element type, shape, order and raw data; DType: its type.
    NpyType type;
    std::vector<std::size_t> shape;
    bool fortranOrder = false;
    std::string data;

    // The Dict entry under string key `key` (the first if set twice), or
    // null; in constant time, as many ROIs may share one large dict.
    const PickleValue* find(std::string_view key) const;
    // The string keys of `entries`, filled as they are set; only Dicts and
    // Opaques with string keys have one.
    std::unique_ptr<std::unordered_map<std::string_view, const PickleValue*>> keyIndex;
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

// What a pickle may build, in bytes of memory, for each byte of it (and a
// floor for small files): a value costs a few hundred bytes and a 2-byte
// opcode makes one, while a copy costs what it copies. Past it the pickle is
// refused before memory runs out.
constexpr std::size_t kPickleBytesPerFileByte = 200;
constexpr std::size_t kLeastPickleBudget = std::size_t{64} << 20;

// Reads a pickle of protocol 0 to 5, reconstructing NumPy arrays, dtypes and
// scalars (numpy.core and numpy._core spellings) as data, the bytes that
// `_codecs.encode(text, 'latin1')` stands for (protocol 2's byte strings), and
// any other named object as an inert Opaque. Nothing the pickle names is ever
// imported or called. Throws ImportError naming `name` for a malformed stream,
// any other use of `_codecs`, an out-of-band buffer or persistent id, more
// than kMostPickleValues values, more memory built than the budget above
// allows, or a NumPy array whose shape does not match its data.
constexpr std::size_t kMostPickleValues = std::size_t{1} << 24;
PickleDocument parsePickle(std::string_view bytes, const std::string& name);

// The object array a pickled .npy file holds (header "|O"), parsed.
PickleDocument parseObjectNpy(std::string_view bytes, const std::string& name);

}  // namespace cellsonify
