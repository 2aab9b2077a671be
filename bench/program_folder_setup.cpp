#include "program_folder_setup.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "codec/codec.h"
#include "corpus.h"
#include "platform/program_folder.h"

namespace vb::bench {

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

BenchProgramFolder::BenchProgramFolder(std::string root) : root_(std::move(root)) {
    std::filesystem::create_directories(platform::JoinPath(root_, "local"));
    WriteBytes(platform::JoinPath(root_, "template.html"), codec::cp932::Encode(TemplateText()));
    platform::SetProgramFolderForTesting(root_, "VornackBuilder");

    const std::string titled = ReplaceAll(TemplateText(), "&&TITLE&&", PageTitle());
    const std::size_t body = titled.find("&&BODY&&");
    head_ = codec::cp932::Encode(titled.substr(0, body));
    tail_ = codec::cp932::Encode(titled.substr(body + 8));
}

std::string BenchProgramFolder::OutputFolder() const {
    return platform::JoinPath(platform::JoinPath(root_, "local"), kServerName);
}

void BenchProgramFolder::WriteSettings(const WriteOutJob& job) const {
    const std::string lines[] = {
        "[Setting]",
        "Server1=" + std::string(kServerName) + " benchuser benchpass",
        "PrevServer=0",
        "Title1=" + PageTitle(),
        "PrevTitle=0",
        "SrcPath=" + job.SrcPath,
        "MakePageNum=" + std::to_string(job.Pages),
        "PagePerSrcNum=" + std::to_string(job.SourcesPerPage),
    };
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    WriteBytes(platform::JoinPath(root_, "VornackBuilder.ini"), codec::cp932::Encode(text));
}

}  // namespace vb::bench
