#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The floor a write-out is measured against: the least any program must do to leave the
// same number of files with the same bytes in a fresh folder.
namespace vb::bench {

// The sizes of the files directly inside the folder.
std::vector<std::uint64_t> FileSizes(const std::string& folder);

struct FloorOutcome {
    double Seconds = 0;
    double CpuSeconds = 0;
    double WaitSeconds = 0;  // ready to run but waiting for a processor
    long PeakKiB = 0;
    char Problem[256] = {};
};

// Deletes the folder with everything in it, creates it again and writes one file per size
// with plain buffered writes (fopen, fwrite, fclose), and nothing else. Timed.
FloorOutcome RunFloor(const std::string& folder, const std::vector<std::uint64_t>& sizes);

// The sources a write-out reads, in its order: the source folder's files (by full path, in
// the order the program lists them) and, for every slot of every page, the one it picks
// with this seed.
struct SourceReads {
    std::vector<std::string> Paths;
    std::vector<std::uint16_t> Order;  // index into Paths, slot after slot
    std::int32_t PerPage = 0;
};
SourceReads SourceReadsOf(const std::string& sourceFolder, std::int32_t pages, std::int32_t perPage,
                          std::uint32_t seed);

// The floor of a write-out that reads every pick's source anew, as the command must: before
// each file RunFloor writes, the page's sources are opened by their full path, read whole
// (one read into one buffer) and closed, in the run's order. Timed.
FloorOutcome RunReadingFloor(const std::string& folder, const std::vector<std::uint64_t>& sizes,
                             const SourceReads& reads);

}  // namespace vb::bench
