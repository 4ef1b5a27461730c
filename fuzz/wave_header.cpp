// ReadWaveHeader on arbitrary bytes: any file gives a result code from 0 to 8, and an accepted
// file is left standing at the data offset it reports.
#include "sound/CWinDA.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fmemopen wants a buffer of at least one byte; a size of 0 still gives an empty stream.
    std::vector<std::uint8_t> bytes(data, data + size);
    bytes.push_back(0);
    std::FILE* file = fmemopen(bytes.data(), size > 0 ? size : 1, "rb");
    if (!file)
        return 0;
    if (size == 0)
        std::fseek(file, 1, SEEK_SET);
    WaveFormat format;
    long offset = -1;
    const int code = CWinDA::ReadWaveHeader(file, &format, &offset);
    if (code < 0 || code > 8)
        std::abort();
    // The data offset is 28 + F, so at least 28 even when the fmt chunk is shorter than usual.
    if (code == 0 && (offset < 28 || std::ftell(file) != offset))
        std::abort();
    std::fclose(file);
    return 0;
}
