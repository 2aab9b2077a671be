#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "builder/build_window.h"
#include "builder/page_builder.h"
#include "fakes.h"
#include "platform/program_folder.h"
#include "temp_dir.h"

namespace vb::test {

// The real file service with hooks that let a test fail or watch single operations.
class HookedFileSystem : public platform::FileSystemObject {
  public:
    std::function<void(const std::string&)> beforeRead, beforeWrite, beforeMoveAside, beforeDelete;
    std::function<std::string()> tempName;  // replaces the name generator when set
    std::function<int()> closeError;        // a written file's close fails with this, if not 0

    std::string ReadAllBytes(const std::string& path) override {
        if (beforeRead) beforeRead(path);
        return FileSystemObject::ReadAllBytes(path);
    }
    std::string_view ReadFileOf(platform::FolderReader& folder, const std::string& name) override {
        if (beforeRead) beforeRead(platform::JoinPath(folder.Path(), name));
        return FileSystemObject::ReadFileOf(folder, name);
    }
    void WriteAllPieces(const std::string& path,
                        std::span<const std::string_view> pieces) override {
        if (beforeWrite) beforeWrite(path);
        FileSystemObject::WriteAllPieces(path, pieces);
    }
    std::string MoveFolderAside(const std::string& path) override {
        if (beforeMoveAside) beforeMoveAside(path);
        return FileSystemObject::MoveFolderAside(path);
    }
    // Runs on the deletion's helper thread during a write-out.
    void DeleteMovedAside(const std::string& aside, const std::string& path) override {
        if (beforeDelete) beforeDelete(aside);
        FileSystemObject::DeleteMovedAside(aside, path);
    }
    int CloseWritten(platform::FileHandle& file) override {
        const int error = FileSystemObject::CloseWritten(file);
        return error == 0 && closeError ? closeError() : error;
    }
    std::string GetTempName() override {
        return tempName ? tempName() : FileSystemObject::GetTempName();
    }
};

// A program folder in a temporary folder with template.html, local/srv and a source
// folder, and a window whose fields hold a valid job for them.
// Members are public so that table-driven cases can set the job up through lambdas.
class BuildTest : public ::testing::Test {
  public:
    BuildTest();
    ~BuildTest() override;

    // cp932 bytes of UTF-8 text.
    static std::string Cp932(const std::string& utf8);
    void AddSource(const std::string& name, const std::string& bytes);
    void WriteTemplate(const std::string& bytes);

    std::string SrcFolder() const { return tmp / "src"; }
    std::string OutFolder() const { return tmp / "local/srv"; }
    std::vector<std::string> OutputFiles() const;  // names in the output folder, sorted
    std::string Output(const std::string& name) const;

    // The template, titled and filled with the body, as cp932 bytes.
    std::string Page(const std::string& bodyBytes) const;
    // The page names the run will draw, from a second generator with the same seed.
    std::vector<std::string> ExpectedPageNames(int count) const;
    std::vector<std::string> BoxTexts() const { return msgBox.texts(); }

    static constexpr std::uint32_t kNameSeed = 7;
    static constexpr std::uint32_t kPickSeed = 42;
    static constexpr const char* kReplacement = "<a href='http://x/'>X</a>";
    static constexpr const char* kTemplate = "<title>&&TITLE&&</title>\r\n<body>&&BODY&&</body>";

    TempDir tmp;
    forms::TextBox txtSrcPath{"txtSrcPath"}, txtMakePageNum{"txtMakePageNum"},
        txtPagePerSrcNum{"txtPagePerSrcNum"}, txtReplaceTarget{"txtReplaceTarget"},
        txtReplaceText{"txtReplaceText"}, txtLog{"txtLog"};
    forms::ComboBox cboServer{"cboServer"}, cboTitle{"cboTitle"};
    forms::ProgressBar pbrProcess{"pbrProcess"};
    std::string TemplateText;
    HookedFileSystem fso;
    FakeMessageBox msgBox;
    CountingEventPump events;
    builder::RunState state;
    builder::PageBuilder builder;
};

}  // namespace vb::test
