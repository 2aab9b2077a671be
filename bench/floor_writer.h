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

}  // namespace vb::bench
