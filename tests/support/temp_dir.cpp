#include "temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/native_path.h"

namespace vb::test {

namespace fs = std::filesystem;
using platform::PathFromUtf8;
using platform::Utf8FromPath;

TempDir::TempDir() {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned> digits(0, 0xFFFFFF);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("vbtest-" + std::to_string(digits(entropy)));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files and folders read-only; give write access back so removal works.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempDir::str() const { return Utf8FromPath(path_); }

std::string TempDir::operator/(const std::string& name) const {
    // In the system's own separators, as the program writes paths.
    return Utf8FromPath((path_ / PathFromUtf8(name)).make_preferred());
}

bool MakeFolderLink(const std::string& target, const std::string& link) {
    std::error_code ec;
    fs::create_directory_symlink(PathFromUtf8(target), PathFromUtf8(link), ec);
    return !ec;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vb::test
