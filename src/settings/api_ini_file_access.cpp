#include "settings/api_ini_file_access.h"

#include <algorithm>
#include <filesystem>

#include "codec/codec.h"
#include "platform/app_title.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"
#include "platform/writability.h"
#include "settings/profile_format.h"
#include "settings/setting_value.h"

namespace vb::settings {

namespace fs = std::filesystem;

const char* const kWriteProtectedWarning =
    "設定ﾌｧｲﾙが書きこみ禁止になっています。\r\n"
    "設定状態を保存する場合はﾌｧｲﾙを書きこみ可にしてOKを押してください。\r\n"
    "保存しない場合はそのままOKを押してください。\r\n";

namespace {

std::string PathOrSettingsFile(const std::string& file) {
    return file.empty() ? IniFileAccess::GetIniPath() : file;
}

// The status of what the path names, links followed; false when nothing is there or the
// query fails.
bool QueryStatus(const std::string& path, fs::file_status& status) {
    std::error_code ec;
    status = fs::status(platform::PathFromUtf8(path), ec);
    return !ec && fs::exists(status);
}

// The one writability rule of the program: this user may really write the file.
bool IsWriteProtected(const std::string& path) { return !platform::MayWrite(path); }

}  // namespace

IniFileAccess::IniFileAccess(platform::MessageBoxService& boxes, SettingsFileStore* store)
    : boxes_(boxes), store_(store ? *store : ownStore_) {}

std::string IniFileAccess::GetIniPath() {
    return platform::JoinPath(platform::ProgramFolder(), platform::ExecutableBaseName() + ".ini");
}

bool IniFileAccess::GetIni(const std::string& section, std::string& value, const std::string& key,
                           const std::string& file) {
    value.clear();
    // While reads are held the settings file's path, too, is worked out once.
    if (holdReads_ && file.empty() && heldIniPath_.empty()) heldIniPath_ = GetIniPath();
    const profile::ParsedFile* parsed =
        Parsed(holdReads_ && file.empty() ? heldIniPath_ : PathOrSettingsFile(file));
    if (!parsed) return false;
    std::string copied =
        parsed->ReadValue(codec::cp932::Encode(section), codec::cp932::Encode(key));
    if (copied.empty()) return false;
    // The value is the buffer's text up to its first NUL.
    copied.erase(std::min(copied.find('\0'), copied.size()));
    value = DecodeSettingValue(copied);
    return true;
}

void IniFileAccess::HoldReads(bool hold) {
    holdReads_ = hold;
    if (hold) return;
    held_.reset();
    heldIniPath_.clear();
    writtenPath_.clear();
    written_.clear();
}

const profile::ParsedFile* IniFileAccess::Parsed(const std::string& path) {
    if (held_ && heldPath_ == path) return held_.get();
    held_.reset();
    ReadResult read = store_.Read(path);
    if (!read.exists || read.error != 0) return nullptr;
    auto parsed = std::make_unique<profile::ParsedFile>(std::move(read.bytes));
    if (!holdReads_) {
        parsedNow_ = std::move(parsed);
        return parsedNow_.get();
    }
    heldPath_ = path;
    held_ = std::move(parsed);
    return held_.get();
}

bool IniFileAccess::CheckIniFile(const std::string& file) {
    const std::string path = PathOrSettingsFile(file);
    fs::file_status status;
    if (!QueryStatus(path, status) || fs::is_directory(status)) return false;
    if (std::find(knownIniFiles_.begin(), knownIniFiles_.end(), path) == knownIniFiles_.end()) {
        knownIniFiles_.push_back(path);
        if (IsWriteProtected(path)) {
            warnedPaths_.insert(path);
            boxes_.Show(kWriteProtectedWarning, platform::MsgButtons::OK,
                        platform::MsgIcon::Exclamation, platform::kAppTitle);
        }
    }
    return true;
}

bool IniFileAccess::PutIni(const std::string& section, const std::string& value,
                           const std::string& key, const std::string& file) {
    return PutIniKeys(section, {{key, value}}, file);
}

bool IniFileAccess::PutIniKeys(const std::string& section, const KeyValues& keyValues,
                               const std::string& file) {
    lastFailure_ = {};
    const std::string path = PathOrSettingsFile(file);
    if (heldPath_ == path) held_.reset();
    std::string current;
    if (CheckIniFile(path)) {
        // Looked at again: the user may have made the file writable before pressing OK.
        if (IsWriteProtected(path))
            return Fail(WriteFailureKind::WriteProtected, path, platform::os_error::kAccessDenied);
        if (holdReads_ && writtenPath_ == path) {
            current = std::move(written_);
        } else {
            ReadResult read = store_.Read(path);
            // Never write over a file whose other lines could not be read.
            if (read.error != 0) return Fail(WriteFailureKind::Other, path, read.error);
            current = std::move(read.bytes);
        }
    } else {
        const ReadResult probe = store_.Read(path);
        if (probe.exists)
            return Fail(WriteFailureKind::Other, path,
                        probe.error ? probe.error : platform::os_error::kIsAFolder);
    }
    std::string updated = current;
    const std::string sectionBytes = codec::cp932::Encode(section);
    for (const auto& [key, value] : keyValues)
        updated = profile::WriteValue(updated, sectionBytes, codec::cp932::Encode(key),
                                      EncodeSettingValue(value));
    const int error = store_.Replace(path, updated);
    if (holdReads_) {
        // What the file holds now: the new bytes, or on a failure the old ones still.
        writtenPath_ = path;
        written_ = error == 0 ? updated : current;
    }
    if (error != 0) return Fail(WriteFailureKind::Other, path, error);
    return true;
}

bool IniFileAccess::Fail(WriteFailureKind kind, const std::string& path, int error) {
    lastFailure_.kind = kind;
    lastFailure_.warned = kind == WriteFailureKind::WriteProtected && warnedPaths_.count(path) > 0;
    lastFailure_.path = path;
    lastFailure_.reason = platform::DescribeOsError(error);
    return false;
}

}  // namespace vb::settings
