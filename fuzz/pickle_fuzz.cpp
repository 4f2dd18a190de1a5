// libFuzzer entry point for the restricted pickle reader (stat.npy, ops.npy):
// any input either parses or is refused with an ImportError, never runs
// anything, and a parsed numeric array holds exactly the data its shape needs.
#include "import/ImportError.h"
#include "import/PickleReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace cellsonify;

namespace {

void walk(const PickleValue& v, int depth) {
    if (depth > 4) return;
    if (v.kind == PickleValue::Kind::Array && v.type.kind != 'O' &&
        v.data.size() != v.elementCount() * static_cast<std::size_t>(v.type.size))
        std::abort();
    for (const PickleValue* item : v.items) walk(*item, depth + 1);
    for (const auto& [k, value] : v.entries) walk(*value, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        walk(parsePickle(bytes, "fuzz.npy").root(), 0);
    } catch (const ImportError&) {
    }
    try {
        walk(parseObjectNpy(bytes, "stat.npy").root(), 0);
    } catch (const ImportError&) {
    }
    return 0;
}
