#include "floor_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "builder/source_slots.h"
#include "child_process.h"

namespace vb::bench {

namespace fs = std::filesystem;

std::vector<std::uint64_t> FileSizes(const std::string& folder) {
    std::vector<std::uint64_t> sizes;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) sizes.push_back(entry.file_size());
    return sizes;
}

SourceReads SourceReadsOf(const std::string& sourceFolder, std::int32_t pages, std::int32_t perPage,
                          std::uint32_t seed) {
    SourceReads reads;
    // Listed in the byte order of the names, as the program lists a folder.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(sourceFolder))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const auto& name : names) reads.Paths.push_back(sourceFolder + "/" + name);
    // The program's own draw, from the generator seeded as the benchmark seeds the run.
    std::mt19937 picks(seed);
    reads.PerPage = std::max(perPage, 0);
    reads.Order.reserve(static_cast<std::size_t>(pages) * reads.PerPage);
    for (std::int64_t slot = 0; slot < std::int64_t{pages} * reads.PerPage; ++slot)
        reads.Order.push_back(
            static_cast<std::uint16_t>(builder::DrawSourceIndex(picks, names.size()) - 1));
    return reads;
}

namespace {

// Reads the whole file into buffer (grown as needed); false when it cannot be read.
bool ReadWhole(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::size_t got = 0;
    for (;;) {
        if (got == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        got += static_cast<std::size_t>(n);
        if (got < buffer.size()) break;
    }
    ::close(fd);
    return true;
}

}  // namespace

FloorOutcome RunFloor(const std::string& folder, const std::vector<std::uint64_t>& sizes) {
    return RunReadingFloor(folder, sizes, SourceReads{});
}

FloorOutcome RunReadingFloor(const std::string& folder, const std::vector<std::uint64_t>& sizes,
                             const SourceReads& reads) {
    FloorOutcome outcome;
    std::vector<char> readBuffer(1 << 16);
    const std::uint64_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    std::string bytes(largest, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);

    const double cpuStart = CpuSeconds();
    const double waitStart = RunQueueWaitSeconds();
    const auto start = std::chrono::steady_clock::now();
    fs::remove_all(folder);
    fs::create_directory(folder);
    char name[32];
    std::size_t slot = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        for (std::int32_t k = 0; k < reads.PerPage && slot < reads.Order.size(); ++k, ++slot) {
            if (!ReadWhole(reads.Paths[reads.Order[slot]], readBuffer)) {
                std::snprintf(outcome.Problem, sizeof outcome.Problem, "cannot read %s",
                              reads.Paths[reads.Order[slot]].c_str());
                return outcome;
            }
        }
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
