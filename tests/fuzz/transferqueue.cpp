// The transfer queue file as the disk holds it: whatever is taken from it, written and read again, gives
// the same records, and nothing it holds makes the reader go outside the bytes.
#include <cstdint>
#include <cstdlib>

#include "client/core/UMyTransferQueueFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > UMyTransferQueueFile::kMaxSize) return 0;
    std::vector<SMyTransferRecord> records;
    if (!UMyTransferQueueFile::Parse(data, uint32_t(size), records)) return 0;
    const std::string again = UMyTransferQueueFile::Format(records);
    std::vector<SMyTransferRecord> reread;
    if (!UMyTransferQueueFile::Parse(again.data(), uint32_t(again.size()), reread) || reread != records)
        std::abort();
    return 0;
}
