#include "publish/plan.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "codec/utf8.h"
#include "platform/own_name.h"

namespace vb::publish {

namespace {

// A name that is not UTF-8 (a file made by another program on Linux) reaches a UTF-8 server
// under another name, which the next listing does not show as the one sent.
bool IsUtf8(std::string_view name) {
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t from = at;
        codec::utf8::DecodeAt(name, at);
        if (at == from + 1 && static_cast<unsigned char>(name[from]) >= 0x80) return false;
    }
    return true;
}

bool SafeName(std::string_view name) {
    return !name.empty() &&
           name.find_first_of(std::string_view("\r\n\0/", 4)) == std::string_view::npos &&
           IsUtf8(name);
}

// A name as a server that ignores the case of letters (one on Windows) compares it: there
// "INDEX.HTML" and "index.html" are one file.
std::string Folded(std::string_view name) { return codec::utf8::AsciiLower(name); }

// A name of the program's own form for the upload of the name, unused on the server and in
// the folder (taken: their names, Folded).
std::string TemporaryName(const std::string& name, const std::set<std::string>& taken) {
    std::string kind = "sending";
    for (int n = 2;; ++n) {
        std::string temporary = platform::OwnName(name, kind);
        if (!taken.contains(Folded(temporary))) return temporary;
        kind = "sending-" + std::to_string(n);
    }
}

std::string Refusal(std::string_view what, const std::string& name) {
    return std::string(what) + ": " + name;
}

Plan Refused(std::string why) {
    Plan plan;
    plan.refusal = std::move(why);
    return plan;
}

int Hex(char c) {
    if (std::isdigit(static_cast<unsigned char>(c))) return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// An attribute's value as the file name it names in the page's folder, or "".
std::string FileOfAddress(std::string_view value) {
    value = value.substr(0, value.find_first_of("#?"));
    std::string name;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value.substr(i).starts_with("&amp;")) {
            name += '&';
            i += 4;
        } else if (value[i] == '%' && i + 2 < value.size() && Hex(value[i + 1]) >= 0 &&
                   Hex(value[i + 2]) >= 0) {
            name += static_cast<char>(Hex(value[i + 1]) * 16 + Hex(value[i + 2]));
            i += 2;
        } else {
            name += value[i];
        }
    }
    if (name.starts_with("./")) name.erase(0, 2);
    if (!SafeName(name) || name.find(':') != std::string::npos || name == "." || name == "..")
        return "";
    return name;
}

}  // namespace

std::string ListedName(std::string_view listed) {
    while (!listed.empty() && (listed.back() == '/' || listed.back() == '\r'))
        listed.remove_suffix(1);
    const std::size_t slash = listed.rfind('/');
    if (slash != std::string_view::npos) listed.remove_prefix(slash + 1);
    if (listed == "." || listed == "..") return "";
    return std::string(listed);
}

std::vector<std::string> LinkedNames(std::string_view html) {
    std::string lower(html);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::set<std::string> names;
    for (const std::string_view attribute : {"href", "src"}) {
        for (std::size_t at = lower.find(attribute); at != std::string::npos;
             at = lower.find(attribute, at + 1)) {
            // The attribute's name stands alone: after a blank, before '=' (blanks between).
            if (at == 0 || !std::isspace(static_cast<unsigned char>(lower[at - 1]))) continue;
            std::size_t pos = at + attribute.size();
            while (pos < lower.size() && std::isspace(static_cast<unsigned char>(lower[pos])))
                ++pos;
            if (pos >= lower.size() || lower[pos] != '=') continue;
            ++pos;
            while (pos < lower.size() && std::isspace(static_cast<unsigned char>(lower[pos])))
                ++pos;
            if (pos >= lower.size()) break;
            std::size_t end;
            if (html[pos] == '\'' || html[pos] == '"') {
                end = html.find(html[pos], pos + 1);
                ++pos;
            } else {
                end = html.find_first_of(" \t\r\n>", pos);
            }
            if (end == std::string_view::npos) end = html.size();
            const std::string name = FileOfAddress(html.substr(pos, end - pos));
            if (!name.empty()) names.insert(name);
        }
    }
    return {names.begin(), names.end()};
}

Plan MakePlan(const PlanInput& in) {
    Plan plan;
    std::set<std::string> remote;
    for (const auto& listed : in.remote)
        if (auto name = ListedName(listed); !name.empty()) remote.insert(std::move(name));
    // A manifest of another destination knows nothing of this one. This one's is kept whole:
    // a name it holds that the server does not list (a listing cut short at the server's
    // limit, or that leaves names out) is still ours, sent again when it is a page and deleted
    // when it is not.
    // Only names of the folder itself count: a manifest edited by hand to name "../x" or
    // "sub/x" must never have the publish delete outside the folder.
    plan.base.destination = in.destination;
    if (in.manifest.destination == in.destination)
        for (const auto& [name, file] : in.manifest.files)
            if (SafeName(name) && name != "." && name != "..") plan.base.files.emplace(name, file);

    std::map<std::string, const LocalFile*> local;
    for (const auto& file : in.local) {
        if (!SafeName(file.name)) return Refused(Refusal("送れない名前のファイルです", file.name));
        local.emplace(file.name, &file);
    }
    if (!local.contains(std::string(kIndexName)))
        return Refused(Refusal("出力フォルダにありません", std::string(kIndexName)));
    // The server's names that are not ours, as a server that ignores case compares them: a
    // new page of ours must not land on one.
    std::map<std::string, std::string> foreign;
    for (const auto& name : remote)
        if (!plan.base.files.contains(name)) foreign.emplace(Folded(name), name);
    for (const auto& [name, file] : local)
        if (const auto user = foreign.find(Folded(name));
            user != foreign.end() && !plan.base.files.contains(name))
            return Refused(
                Refusal("サーバーに同じ名前のファイルがあります。このプログラムが送った"
                        "ものではないので上書きしません (サーバーから消すか、"
                        "Folder= で別のフォルダを選んでください)",
                        user->second));
    // Every link of the new index reaches a page: one of ours, or a file of the user's own.
    for (const auto& link : in.links)
        if (!local.contains(link) && (!remote.contains(link) || plan.base.files.contains(link)))
            return Refused(
                Refusal("index.html のリンク先が出力フォルダにもサーバーにもありません", link));

    std::set<std::string> localFolded;
    for (const auto& [name, file] : local) localFolded.insert(Folded(name));
    std::set<std::string> taken = localFolded;
    for (const auto& name : remote) taken.insert(Folded(name));
    for (const auto& [name, file] : local) {
        const auto published = plan.base.files.find(name);
        const bool ours = published != plan.base.files.end();
        const bool listed = ours && remote.contains(name);
        if (listed && published->second.known && published->second.size == file->size &&
            published->second.sha256 == file->sha256) {
            ++plan.kept;
            continue;
        }
        // A page of ours that landed whole and that the listing leaves out may still be there
        // and linked: it is replaced by a rename as a listed one is, never written over in
        // place. One that only began (cut off mid-way) was never linked.
        const bool mayBeLive = listed || (ours && published->second.known);
        if (!mayBeLive && name != kIndexName) {
            plan.uploads.push_back({StepKind::Upload, name, "", false});
            continue;
        }
        Step step{StepKind::Replace, name, TemporaryName(name, taken), listed};
        taken.insert(Folded(step.temporary));
        (name == kIndexName ? plan.index : plan.replacements).push_back(std::move(step));
    }
    // A page of ours whose name a new page takes but for the case of its letters is, on a
    // server that ignores case, the new page itself: it stays.
    for (const auto& [name, file] : plan.base.files)
        if (!local.contains(name) && !localFolded.contains(Folded(name)))
            plan.deletions.push_back({StepKind::Delete, name, "", remote.contains(name)});
    return plan;
}

}  // namespace vb::publish
