#include "build_fixture.h"

#include <filesystem>

#include "builder/page_names.h"
#include "builder/text_replace.h"
#include "codec/codec.h"
#include "platform/program_folder.h"

namespace vb::test {

namespace fs = std::filesystem;

BuildTest::BuildTest()
    : builder(builder::BuildWindow{txtSrcPath, cboServer, cboTitle, txtMakePageNum,
                                   txtPagePerSrcNum, txtReplaceTarget, txtReplaceText, txtLog,
                                   pbrProcess, TemplateText, fso, msgBox, events, state}) {
    platform::SetProgramFolderForTesting(tmp.str());
    fs::create_directories(tmp / "local/srv");
    fs::create_directories(tmp / "src");
    WriteTemplate(kTemplate);

    txtSrcPath.SetText(SrcFolder());
    cboServer.AddItem("srv");
    cboServer.AddItem("other");
    cboServer.SetListIndex(0);
    cboTitle.AddItem("題名");
    cboTitle.SetListIndex(0);
    txtMakePageNum.SetText("3");
    txtPagePerSrcNum.SetText("1");
    txtReplaceTarget.SetText("TARGET");
    txtReplaceText.SetText(kReplacement);
    txtLog.SetText("old log\r\n");

    fso.SeedTempNames(kNameSeed);
    builder.SetPickSeedSource([] { return kPickSeed; });
}

BuildTest::~BuildTest() { platform::SetProgramFolderForTesting(""); }

std::string BuildTest::Cp932(const std::string& utf8) { return codec::cp932::Encode(utf8); }

void BuildTest::AddSource(const std::string& name, const std::string& bytes) {
    WriteBytes(tmp / ("src/" + name), bytes);
}

void BuildTest::WriteTemplate(const std::string& bytes) {
    WriteBytes(tmp / "template.html", bytes);
}

std::vector<std::string> BuildTest::OutputFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(OutFolder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string BuildTest::Output(const std::string& name) const {
    return ReadBytes(OutFolder() + "/" + name);
}

std::string BuildTest::Page(const std::string& bodyBytes) const {
    const std::string titled = builder::ReplaceAll(kTemplate, "&&TITLE&&", Cp932("題名"));
    return builder::ReplaceAll(titled, "&&BODY&&", bodyBytes);
}

std::vector<std::string> BuildTest::ExpectedPageNames(int count) const {
    platform::FileSystemObject twin;
    twin.SeedTempNames(kNameSeed);
    std::vector<std::string> names;
    while (static_cast<int>(names.size()) < count) {
        std::string name = builder::DrawPageName(twin);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

}  // namespace vb::test
