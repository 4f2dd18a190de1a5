// libFuzzer entry point for the .npy reader: any input either parses into an
// array whose every element can be read, or is refused with an ImportError.
#include "import/ImportError.h"
#include "import/NpyReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace cellsonify;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const NpyArray a = NpyArray::fromBytes({reinterpret_cast<const char*>(data), size}, "fuzz.npy");
        if (a.shape().size() == 2 && a.shape()[0] > 0 && a.shape()[1] > 0 && a.shape()[1] < (1u << 20)) {
            std::vector<double> row(a.shape()[1]);
            a.copyRow(a.shape()[0] - 1, 0, row.size(), row.data());
        }
    } catch (const ImportError&) {
    }
    return 0;
}
