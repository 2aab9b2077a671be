#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 (FIPS 180-4), for the manifest of a publish: what the server holds is known by its
// bytes' hash, since FTP servers report times and sizes too badly to tell a changed page.
namespace vb::publish {

class Sha256 {
  public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    std::array<std::uint8_t, 32> Finish();

  private:
    void Block(const std::uint8_t* block);
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;  // bytes added
};

// The digest of the bytes as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace vb::publish
