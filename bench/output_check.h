#pragma once

#include <cstdint>
#include <string>

namespace vb::bench {

// Empty when the folder holds what a write-out of the given number of pages leaves: that
// many page files named "vor" + five lower-case hexadecimal digits + ".html", and
// index.html; each page and the index begin with head and end with tail (the titled
// template around its body placeholder), each page has a body, and the index links every
// page file exactly once, in the order of the names. Otherwise the first fault found.
std::string CheckPages(const std::string& folder, std::int32_t pages, const std::string& head,
                       const std::string& tail);

// A fingerprint of every file in the folder (names, sizes and bytes, in name order): equal
// for two runs that left the same files.
std::uint64_t FolderDigest(const std::string& folder);

}  // namespace vb::bench
