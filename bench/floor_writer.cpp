#include "floor_writer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "child_process.h"

namespace vb::bench {

namespace fs = std::filesystem;

std::vector<std::uint64_t> FileSizes(const std::string& folder) {
    std::vector<std::uint64_t> sizes;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) sizes.push_back(entry.file_size());
    return sizes;
}

FloorOutcome RunFloor(const std::string& folder, const std::vector<std::uint64_t>& sizes) {
    FloorOutcome outcome;
    const std::uint64_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    std::string bytes(largest, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);

    const double cpuStart = CpuSeconds();
    const double waitStart = RunQueueWaitSeconds();
    const auto start = std::chrono::steady_clock::now();
    fs::remove_all(folder);
    fs::create_directory(folder);
    char name[32];
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::snprintf(name, sizeof name, "/f%07zu.html", i);
        std::FILE* file = std::fopen((folder + name).c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, sizes[i], file) != sizes[i] ||
            std::fclose(file) != 0) {
            std::snprintf(outcome.Problem, sizeof outcome.Problem, "cannot write %s", name);
            return outcome;
        }
    }
    outcome.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.CpuSeconds = CpuSeconds() - cpuStart;
    outcome.WaitSeconds = RunQueueWaitSeconds() - waitStart;
    outcome.PeakKiB = PeakResidentKiB();
    return outcome;
}

}  // namespace vb::bench
