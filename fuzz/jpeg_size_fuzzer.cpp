// The JPEG header reader of the JPEG selection, one reader for every run as
// a batch uses it.
#include "core/batch/jpeg_size_reader.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static harpoly::JpegSizeReader reader;
    const std::string path = harpoly::fuzz::asFile(data, size);
    harpoly::fuzz::expectingErrors([&] { (void)reader.read(path); });
    return 0;
}
