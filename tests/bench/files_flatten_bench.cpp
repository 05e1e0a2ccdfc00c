// Round trip of a 1 GB sparse file through flatten and unflatten in 64 KiB pieces, as a transfer moves
// it. Prints the rate of each run and the median.
// Usage: files_flatten_bench [folder for the two files] [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

namespace
{
TFileSysRefObj* RefOf(const std::string& path)
{
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}
} // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = argc > 1 ? argv[1] : (tmp && tmp[0] == '/' ? tmp : "/tmp");
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    constexpr uint64_t kFileSize = 1000ull * 1000 * 1000;
    constexpr uint32_t kPiece = 64 * 1024;
    const std::string source = folder + "/quenvol-bench-source.bin";
    const std::string dest = folder + "/quenvol-bench-dest.bin";

    std::vector<double> rates;
    try
    {
        {
            std::filesystem::remove(source);
            StFileSysRef ref(RefOf(source));
            UFileSys::CreateFile(ref.Get(), 0, 0);
            UFileSys::Open(ref.Get(), kFSPermReadWrite);
            UFileSys::SetSize(ref.Get(), kFileSize);
            UFileSys::Close(ref.Get());
        }
        std::vector<uint8_t> buffer(kPiece);
        for (int run = 0; run < runs; ++run)
        {
            std::filesystem::remove(dest);
            StFileSysRef in(RefOf(source));
            StFileSysRef out(RefOf(dest));
            UFileSys::CreateFile(out.Get(), 0, 0);
            const auto start = std::chrono::steady_clock::now();
            UFileSys::StartFlatten(in.Get());
            UFileSys::StartUnflatten(out.Get());
            uint64_t total = 0;
            for (;;)
            {
                const uint32_t n = UFileSys::ProcessFlatten(in.Get(), buffer.data(), kPiece);
                if (n == 0) break;
                UFileSys::ProcessUnflatten(out.Get(), buffer.data(), n);
                total += n;
            }
            UFileSys::StopUnflatten(out.Get());
            UFileSys::Close(in.Get());
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (UFileSys::GetSize(out.Get()) != kFileSize)
            {
                std::fprintf(stderr, "round trip produced a file of the wrong size\n");
                return 1;
            }
            rates.push_back(double(total) / 1e6 / seconds);
            std::printf("run %d: %.0f MB/s (%.2f s)\n", run + 1, rates.back(), seconds);
        }
    }
    catch (const SError& e)
    {
        std::fprintf(stderr, "failed with %d/%d (%d)\n", e.type, e.id, int(e.special));
        return 1;
    }
    std::error_code ec;
    std::filesystem::remove(source, ec);
    std::filesystem::remove(dest, ec);
    std::sort(rates.begin(), rates.end());
    std::printf("median: %.0f MB/s\n", rates[rates.size() / 2]);
    return 0;
}
