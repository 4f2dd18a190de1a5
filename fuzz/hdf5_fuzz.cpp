// libFuzzer entry point for the HDF5 path walk of the NWB and CaImAn readers:
// the input is a file image held in memory; any image either reads into a
// recording or is refused with an ImportError, by both readers.
#include "import/CaimanReader.h"
#include "import/Hdf5File.h"
#include "import/ImportError.h"
#include "import/NwbReader.h"

#include <cstdint>
#include <string_view>

using namespace cellsonify;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    try {
        const Hdf5File file = Hdf5File::fromImage(image, "fuzz.h5");
        try {
            importNwb(file, "fuzz.nwb", {}, {});
        } catch (const ImportError&) {
        }
        try {
            importCaiman(file, "fuzz.hdf5", {}, {});
        } catch (const ImportError&) {
        }
    } catch (const ImportError&) {
    }
    return 0;
}
