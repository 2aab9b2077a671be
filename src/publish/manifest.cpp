#include "publish/manifest.h"

#include <charconv>
#include <vector>

#include "codec/utf8.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/save/whole_file.h"
#include "platform/system_error.h"

namespace vb::publish {

namespace {

constexpr std::string_view kHeader = "VornackBuilder-published 1";

std::string Escaped(std::string_view text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7F && byte != '%') {
            out += c;
            continue;
        }
        out += '%';
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (out.empty()) return std::nullopt;
    return out;
}

// The words of a line cut at single spaces.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t space = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, space - at));
        at = space + 1;
    }
    return words;
}

bool IsSha256(std::string_view text) {
    return text.size() == 64 &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Applies one event line; false when it is not one.
bool Apply(Manifest& manifest, std::string_view line) {
    const auto words = Words(line);
    if (words[0] == "file" && words.size() == 4) {
        std::uint64_t size = 0;
        const auto [end, error] =
            std::from_chars(words[1].data(), words[1].data() + words[1].size(), size);
        const auto name = Unescaped(words[3]);
        if (error != std::errc() || end != words[1].data() + words[1].size() ||
            !IsSha256(words[2]) || !name)
            return false;
        manifest.files[*name] = {true, size, std::string(words[2])};
        return true;
    }
    if ((words[0] == "begun" || words[0] == "gone") && words.size() == 2) {
        const auto name = Unescaped(words[1]);
        if (!name) return false;
        if (words[0] == "gone")
            manifest.files.erase(*name);
        else
            manifest.files[*name] = {};
        return true;
    }
    return false;
}

std::string FileLine(const std::string& name, const Published& file) {
    if (!file.known) return "begun " + Escaped(name) + "\r\n";
    return "file " + std::to_string(file.size) + " " + file.sha256 + " " + Escaped(name) + "\r\n";
}

}  // namespace

std::string Destination(const Endpoint& endpoint, std::string_view remoteFolder) {
    return Escaped(endpoint.user) + " " + Escaped(codec::utf8::AsciiLower(endpoint.host)) + " " +
           std::to_string(endpoint.port) + " " + Escaped(remoteFolder);
}

std::string BesideOutputFolder(const std::string& outputFolder, const std::string& serverName,
                               std::string_view kind) {
    const auto beside = platform::PathFromUtf8(outputFolder).parent_path();
    return platform::Utf8FromPath(beside /
                                  platform::PathFromUtf8(platform::OwnName(serverName, kind)));
}

std::string ManifestPath(const std::string& outputFolder, const std::string& serverName) {
    return BesideOutputFolder(outputFolder, serverName, "published");
}

std::optional<Manifest> ParseManifest(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0;;) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string_view::npos) break;  // a last line cut mid-write is no line
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() < 2 || lines[0] != kHeader || !lines[1].starts_with("to "))
        return std::nullopt;
    Manifest manifest;
    manifest.destination = lines[1].substr(3);
    for (std::size_t i = 2; i < lines.size(); ++i)
        if (!Apply(manifest, lines[i])) return std::nullopt;
    return manifest;
}

std::string ManifestBytes(const Manifest& manifest) {
    std::string bytes = std::string(kHeader) + "\r\nto " + manifest.destination + "\r\n";
    for (const auto& [name, file] : manifest.files) bytes += FileLine(name, file);
    return bytes;
}

std::string ManifestLog::Start(const std::string& path, Manifest base) {
    std::lock_guard lock(mutex_);
    path_ = path;
    current_ = std::move(base);
    if (const int error = platform::ReplaceWholeFile(path_, ManifestBytes(current_)))
        return platform::DescribeFailure(platform::kCannotWrite, path_, error);
    int error = 0;
    bool empty = false;
    file_ = platform::FileHandle::OpenForAppending(path_, empty, error);
    return error ? platform::DescribeFailure(platform::kCannotWrite, path_, error) : "";
}

std::string ManifestLog::Append(const std::string& line) {
    if (!file_.IsOpen()) return platform::DescribeFailure(platform::kCannotWrite, path_, 0);
    if (const int error = file_.WriteAll(line)) {
        // A line cut short would join the next one: nothing more is appended.
        file_ = {};
        return platform::DescribeFailure(platform::kCannotWrite, path_, error);
    }
    return "";
}

std::string ManifestLog::Landed(const std::string& name, std::uint64_t size,
                                const std::string& sha256) {
    std::lock_guard lock(mutex_);
    const Published file{true, size, sha256};
    current_.files[name] = file;
    return Append(FileLine(name, file));
}

std::string ManifestLog::Begun(const std::string& name) {
    std::lock_guard lock(mutex_);
    current_.files[name] = {};
    return Append(FileLine(name, {}));
}

std::string ManifestLog::Gone(const std::string& name) {
    std::lock_guard lock(mutex_);
    current_.files.erase(name);
    return Append("gone " + Escaped(name) + "\r\n");
}

std::string ManifestLog::Finish() {
    std::lock_guard lock(mutex_);
    if (path_.empty()) return "";
    file_ = {};
    if (const int error = platform::ReplaceWholeFile(path_, ManifestBytes(current_)))
        return platform::DescribeFailure(platform::kCannotWrite, path_, error);
    return "";
}

}  // namespace vb::publish
