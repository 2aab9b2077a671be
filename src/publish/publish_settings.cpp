#include "publish/publish_settings.h"

#include <algorithm>
#include <cctype>

#include "codec/decimal.h"
#include "codec/utf8.h"
#include "rules/server_entry.h"

namespace vb::publish {

namespace {

std::string Bad(const std::string& listName, const std::string& key, const std::string& value,
                const std::string& allowed) {
    return "設定ファイルの [" + PublishSection(listName) + "] の " + key + "=" + value +
           " は使えません (" + allowed + ")";
}

bool IsBase64Of32Bytes(std::string_view text) {
    // 32 bytes are 43 digits and one '='.
    if (text.size() != 44 || text[43] != '=') return false;
    for (const char c : text.substr(0, 43))
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '/') return false;
    return true;
}

}  // namespace

std::string PublishSection(const std::string& listName) { return "Publish " + listName; }

std::string ProtocolName(Protocol protocol) {
    switch (protocol) {
        case Protocol::Ftps:
            return "ftps";
        case Protocol::FtpsImplicit:
            return "ftps-implicit";
        case Protocol::Ftp:
            break;
    }
    return "ftp";
}

bool IsCertificatePin(const std::string& text) {
    for (std::size_t at = 0;;) {
        const std::size_t end = std::min(text.find(';', at), text.size());
        const std::string_view one = std::string_view(text).substr(at, end - at);
        if (!one.starts_with("sha256//") || !IsBase64Of32Bytes(one.substr(8))) return false;
        if (end == text.size()) return true;
        at = end + 1;
    }
}

std::optional<PublishSettings> ReadPublishSettings(settings::IniFileAccess& ini,
                                                   const std::string& listName, std::string& error,
                                                   const std::string& file) {
    const std::string section = PublishSection(listName);
    PublishSettings settings;
    std::string value;
    if (ini.GetIni(section, value, "Protocol", file)) {
        const std::string word = codec::utf8::AsciiLower(value);
        bool known = false;
        for (const Protocol protocol : {Protocol::Ftps, Protocol::FtpsImplicit, Protocol::Ftp})
            if (word == ProtocolName(protocol)) {
                settings.protocol = protocol;
                known = true;
            }
        if (!known) {
            error = Bad(listName, "Protocol", value, "ftps、ftps-implicit、ftp のどれか");
            return std::nullopt;
        }
    }
    settings.port = settings.protocol == Protocol::FtpsImplicit ? 990 : 21;
    if (ini.GetIni(section, value, "Port", file)) {
        const auto port = codec::DecimalNumber(value, 65535);
        if (!port || *port == 0) {
            error = Bad(listName, "Port", value, "1 から 65535 までの整数");
            return std::nullopt;
        }
        settings.port = static_cast<int>(*port);
    }
    if (ini.GetIni(section, value, "Folder", file)) {
        // The folder goes into the server's commands: a control character there would end one.
        for (const char c : value)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                error = Bad(listName, "Folder", value, "制御文字は使えません");
                return std::nullopt;
            }
        settings.folder = value;
    }
    if (ini.GetIni(section, value, "Connections", file)) {
        const auto count = codec::DecimalNumber(value, 8);
        if (!count || *count == 0) {
            error = Bad(listName, "Connections", value, "1 から 8 までの整数");
            return std::nullopt;
        }
        settings.connections = static_cast<int>(*count);
    }
    if (ini.GetIni(section, value, "Certificate", file)) {
        if (!IsCertificatePin(value)) {
            error = Bad(listName, "Certificate", value, "sha256// で始まる公開鍵のピン");
            return std::nullopt;
        }
        settings.certificate = value;
    }
    return settings;
}

bool WriteCertificatePin(settings::IniFileAccess& ini, const std::string& listName,
                         const std::string& pin, const std::string& file) {
    return ini.PutIni(PublishSection(listName), pin, "Certificate", file);
}

std::optional<PublishJob> PublishJobOf(settings::IniFileAccess& ini, const std::string& entry,
                                       const std::string& outputFolder, std::string& error,
                                       const std::string& file) {
    const std::string listName = rules::ServerListName(entry);
    if (rules::ServerShownName(listName) != listName) {
        error = "サーバーの行は半角スペース一つずつで区切ってください: " +
                std::string(rules::ServerShownName(listName));
        return std::nullopt;
    }
    const auto settings = ReadPublishSettings(ini, listName, error, file);
    if (!settings) return std::nullopt;
    const rules::ServerWords words = rules::SplitServerEntry(entry);
    PublishJob job;
    job.serverName = listName;
    job.outputFolder = outputFolder;
    job.endpoint = {settings->protocol, words.server,   settings->port,
                    words.user,         words.password, settings->certificate};
    job.remoteFolder = settings->folder;
    job.connections = settings->connections;
    return job;
}

}  // namespace vb::publish
