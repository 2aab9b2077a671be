#include "output_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace vb::bench {

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsPageName(const std::string& name) {
    if (name.size() != 13 || name.compare(0, 3, "vor") != 0 || name.compare(8, 5, ".html") != 0)
        return false;
    return std::all_of(name.begin() + 3, name.begin() + 8,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The text between head and tail; false when the file is not framed by them.
bool Body(const std::string& text, const std::string& head, const std::string& tail,
          std::string& body) {
    if (text.size() < head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    body = text.substr(head.size(), text.size() - head.size() - tail.size());
    return true;
}

// The file names the index links to, in the order of its entries.
std::vector<std::string> LinkedNames(const std::string& indexBody) {
    static const std::string kOpen = "<a href='";
    std::vector<std::string> names;
    for (std::size_t at = 0; (at = indexBody.find(kOpen, at)) != std::string::npos;) {
        at += kOpen.size();
        const std::size_t end = indexBody.find("'>", at);
        if (end == std::string::npos) break;
        names.push_back(indexBody.substr(at, end - at));
        at = end;
    }
    return names;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size())
        ++n;
    return n;
}

}  // namespace

std::string CheckPages(const std::string& folder, std::int32_t pages, const std::string& head,
                       const std::string& tail) {
    std::vector<std::string> names;
    bool hasIndex = false;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "index.html") {
            hasIndex = true;
        } else if (!IsPageName(name)) {
            return "an unexpected file: " + name;
        } else {
            names.push_back(name);
        }
    }
    if (!hasIndex) return "index.html is missing";
    if (names.size() != static_cast<std::size_t>(pages))
        return std::to_string(names.size()) + " page files instead of " + std::to_string(pages);
    std::sort(names.begin(), names.end());

    std::string body;
    for (const auto& name : names) {
        if (!Body(ReadFile(fs::path(folder) / name), head, tail, body))
            return name + " is not framed by the template";
        if (body.empty()) return name + " has an empty body";
        if (body.find("&&BODY&&") != std::string::npos ||
            body.find("&&TITLE&&") != std::string::npos)
            return name + " holds a placeholder";
    }
    if (!Body(ReadFile(fs::path(folder) / "index.html"), head, tail, body))
        return "index.html is not framed by the template";
    if (LinkedNames(body) != names) return "the index does not link every page once, in order";
    if (CountOf(body, "<br>\r\n") != names.size()) return "the index entries are not one a line";
    return {};
}

std::uint64_t FolderDigest(const std::string& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
    const auto mix = [&hash](std::string_view bytes) {
        for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    };
    for (const auto& path : files) {
        const std::string bytes = ReadFile(path);
        mix(path.filename().string());
        mix(std::to_string(bytes.size()));
        mix(bytes);
    }
    return hash;
}

}  // namespace vb::bench
