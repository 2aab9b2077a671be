#include "hostile_fixture.h"

#include <algorithm>
#include <sstream>

#include "builder/output_folder.h"
#include "codec/codec.h"
#include "platform/app_title.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::test {

namespace fs = std::filesystem;

bool FaultyFileSystem::CanOpenForReading(const std::string& path) {
    if (std::find(unopenable.begin(), unopenable.end(), path) != unopenable.end()) return false;
    return FileSystemObject::CanOpenForReading(path);
}

std::string FaultyFileSystem::ReadAllBytes(const std::string& path) {
    if (const auto fault = readFails.find(path); fault != readFails.end())
        throw platform::SystemError(
            platform::DescribeFailure("ファイルを読めません。", path, fault->second));
    return FileSystemObject::ReadAllBytes(path);
}

std::string_view FaultyFileSystem::ReadFileOf(platform::FolderReader& folder,
                                              const std::string& name) {
    const std::string path = platform::JoinPath(folder.Path(), name);
    if (const auto fault = readFails.find(path); fault != readFails.end())
        throw platform::SystemError(
            platform::DescribeFailure("ファイルを読めません。", path, fault->second));
    return FileSystemObject::ReadFileOf(folder, name);
}

void FaultyFileSystem::WriteAllPieces(const std::string& path,
                                      std::span<const std::string_view> pieces) {
    int error = 0;
    if (const auto fault = writeFails.find(path); fault != writeFails.end()) error = fault->second;
    if (error == 0 && writeFailsWhen) error = writeFailsWhen(path);
    if (error != 0)
        throw platform::SystemError(platform::DescribeFailure(platform::kCannotWrite, path, error));
    FileSystemObject::WriteAllPieces(path, pieces);
}

Tree Snapshot(const fs::path& root) {
    constexpr std::uintmax_t kHashedSize = 1 << 20;
    Tree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path& path = it->path();
        std::error_code statEc;
        const fs::file_status st = fs::symlink_status(path, statEc);
        if (statEc) continue;
        // The permission bits; on Windows the read-only attribute shows as missing write bits.
        std::ostringstream entry;
        entry << std::oct << static_cast<unsigned>(st.permissions() & fs::perms::mask) << std::dec
              << ' ';
        if (fs::is_symlink(st)) {
            entry << "link -> " << platform::Utf8FromPath(fs::read_symlink(path, statEc));
        } else if (fs::is_directory(st)) {
            entry << "folder";
        } else if (fs::is_regular_file(st)) {
            // Any write changes a file's modification time; small files are compared by
            // content too, in case a test restores a time.
            const std::uintmax_t size = fs::file_size(path, statEc);
            entry << "file " << size << ' '
                  << fs::last_write_time(path, statEc).time_since_epoch().count();
            if (size <= kHashedSize)
                entry << ' ' << std::hash<std::string>{}(ReadBytes(platform::Utf8FromPath(path)));
        } else {
            entry << "special " << static_cast<int>(st.type());
        }
        std::string relative = platform::Utf8FromPath(path.lexically_relative(root));
        if constexpr (fs::path::preferred_separator != '/')
            std::replace(relative.begin(), relative.end(), '\\', '/');
        tree[relative] = entry.str();
    }
    return tree;
}

std::vector<std::string> Changed(const Tree& before, const Tree& after) {
    std::vector<std::string> changed;
    for (const auto& [path, entry] : before) {
        const auto now = after.find(path);
        if (now == after.end())
            changed.push_back("removed: " + path);
        else if (now->second != entry)
            changed.push_back("changed: " + path + " (" + entry + " -> " + now->second + ")");
    }
    for (const auto& [path, entry] : after)
        if (!before.contains(path)) changed.push_back("added: " + path);
    return changed;
}

Tree Without(Tree tree, const std::string& folder) {
    const std::size_t slash = folder.rfind('/') + 1;  // 0 without one
    const std::string lock =
        folder.substr(0, slash) + builder::OutputLockName(folder.substr(slash));
    std::erase_if(tree, [&](const auto& entry) {
        return entry.first == folder || entry.first.starts_with(folder + "/") ||
               entry.first == lock;
    });
    return tree;
}

namespace {
const char* IconName(platform::MsgIcon icon) {
    switch (icon) {
        case platform::MsgIcon::None:
            return "none";
        case platform::MsgIcon::Critical:
            return "critical";
        case platform::MsgIcon::Question:
            return "question";
        case platform::MsgIcon::Exclamation:
            return "exclamation";
        case platform::MsgIcon::Information:
            return "information";
    }
    return "?";
}
}  // namespace

std::string Describe(const std::vector<SeenBox>& boxes) {
    std::string out;
    for (const auto& box : boxes)
        out += std::string("[") + IconName(box.icon) + "] " + box.text +
               (box.wholeText ? "" : "...") + "\n";
    return out.empty() ? "(no box)\n" : out;
}

std::string Describe(const std::vector<FakeMessageBox::Shown>& boxes) {
    std::string out;
    for (const auto& box : boxes)
        out += std::string("[") + IconName(box.icon) + "] " + box.text + "\n";
    return out.empty() ? "(no box)\n" : out;
}

bool Matches(const std::vector<FakeMessageBox::Shown>& shown, const std::vector<SeenBox>& seen) {
    if (shown.size() != seen.size()) return false;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i].icon != seen[i].icon) return false;
        if (shown[i].caption != platform::kAppTitle) return false;
        const bool textMatches = seen[i].wholeText ? shown[i].text == seen[i].text
                                                   : shown[i].text.starts_with(seen[i].text);
        if (!textMatches) return false;
    }
    return true;
}

HostileTest::HostileTest() {
    platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
    fs::create_directories(At("local/srv"));
    fs::create_directories(At("local/other"));
    fs::create_directories(At("src"));
    WriteBytes(At("local/srv/vor00000.html"), kOldPage);
    WriteBytes(At("local/other/index.html"), kOtherServerFile);
    WriteBytes(At("template.html"), codec::cp932::Encode(kTemplate));
    WriteBytes(At("src/a.txt"), codec::cp932::Encode(kSource1));
    WriteBytes(At("src/b.txt"), codec::cp932::Encode(kSource2));
    WriteSettings(DefaultSettings());
}

HostileTest::~HostileTest() {
    window.reset();
    platform::SetProgramFolderForTesting("");
}

std::vector<std::string> HostileTest::DefaultSettings() const {
    return {"[Setting]",
            "Server1=srv user pass",
            "Server2=other user2 pass2",
            "PrevServer=0",
            "Title1=題名",
            "PrevTitle=0",
            "SrcPath=" + At("src"),
            "MakePageNum=3",
            "PagePerSrcNum=2",
            "ReplaceTarget=ヴォルナック",
            "ReplaceText=<a href='http://vornack.example/'>ヴォルナック</a>"};
}

void HostileTest::WriteSettings(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    WriteBytes(IniPath(), codec::cp932::Encode(text));
}

ui::frmVornack& HostileTest::Window() {
    if (!window) {
        auto makeFaulty = [this]() -> std::unique_ptr<platform::FileSystemObject> {
            auto faulty = std::make_unique<FaultyFileSystem>();
            fso = faulty.get();
            return faulty;
        };
        window = std::make_unique<ui::frmVornack>(ui::WindowServices{
            .boxes = boxes,
            .events = events,
            .shell = shell,
            .options = {.makeFileSystem = makeFaulty, .settingsStore = settingsStore}});
        window->Fso();  // made now, so that a test can arm its faults before the start
    }
    return *window;
}

ui::frmVornack& HostileTest::Started() {
    Window().Form_Load();
    return *window;
}

void HostileTest::Close() { Window().mnuExit.RaiseClick(); }

std::unique_ptr<ui::frmVornack> HostileTest::Restarted(FakeMessageBox& otherBoxes) {
    auto next = std::make_unique<ui::frmVornack>(ui::WindowServices{otherBoxes, events, shell});
    next->Form_Load();
    return next;
}

void HostileTest::ChooseServer(const std::string& name) {
    auto& list = Window().cboServer;
    list.AddItem(name);
    list.SetListIndex(list.ListCount() - 1);
}

std::vector<std::string> HostileTest::OutputFiles(const std::string& server) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry :
         fs::directory_iterator(platform::PathFromUtf8(At("local/" + server)), ec))
        names.push_back(platform::Utf8FromPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vb::test
