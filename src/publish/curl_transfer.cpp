#include "publish/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace vb::publish {
namespace {

// How long a server may keep us waiting. A reply, or a byte of a transfer, that does not
// come within a minute means the server or the line is gone.
constexpr long kConnectSeconds = 60;  // to the end of the login
constexpr long kReplySeconds = 60;
constexpr long kStalledSeconds = 60;  // under one byte a second for this long
constexpr long kQuitSeconds = 3;      // the wait for QUIT's reply when a connection goes
// The longest wait between two looks at a transfer. libcurl 7.88, when a passive reply is
// already read by the time it would wait, starts the data connection only at its next
// timeout, up to a second later (seen on Linux against a fast server, and under Wine); a
// look every few milliseconds bounds that stall, and costs nothing beside a reply's wait.
constexpr int kLookMilliseconds = 5;
// A pin that no key has: the certificate probe's check fails on it right after the TLS
// handshake, before the login.
constexpr const char* kNoKeyPin = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
constexpr std::string_view kPinLine = "public key hash: sha256//";

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

struct MultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using Multi = std::unique_ptr<CURLM, MultiDeleter>;

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CommandList = std::unique_ptr<curl_slist, ListDeleter>;

Easy NewEasy() {
    CURL* handle = curl_easy_init();
    if (!handle) throw std::bad_alloc();
    return Easy(handle);
}

// The text with every occurrence of the secret put out of sight, on one line.
std::string Scrubbed(std::string text, const std::vector<std::string>& secrets) {
    for (const std::string& secret : secrets) {
        if (secret.empty()) continue;
        for (std::size_t at; (at = text.find(secret)) != std::string::npos;)
            text.replace(at, secret.size(), "***");
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string Escaped(CURL* handle, std::string_view bytes) {
    if (bytes.empty()) return {};  // a length of 0 would make libcurl take strlen()
    char* escaped = curl_easy_escape(handle, bytes.data(), static_cast<int>(bytes.size()));
    if (!escaped) throw std::bad_alloc();
    std::string text(escaped);
    curl_free(escaped);
    return text;
}

// The URL path that libcurl, told not to change folders (NOCWD), hands to the server as the
// path itself: the URL's own slash, then the path's segments, each escaped, so that '#',
// '?', '%', spaces and any UTF-8 bytes reach the server as they stand. "/a/b" gives "//a/b".
std::string UrlPath(CURL* handle, const std::string& path) {
    std::string url = "/";
    for (std::size_t start = 0;;) {
        std::size_t slash = path.find('/', start);
        url += Escaped(handle, std::string_view(path).substr(start, slash - start));
        if (slash == std::string::npos) break;
        url += '/';
        start = slash + 1;
    }
    return url;
}

// libcurl's codes, with the server's last reply, as the publish's kinds. A code that means
// the line is gone or the server's words made no sense is CutOff: the connection is not
// trusted with another step.
FailureKind KindOf(CURLcode code, int reply, bool loggedIn) {
    if (code == CURLE_ABORTED_BY_CALLBACK) return FailureKind::Stopped;
    if (reply == 421) return FailureKind::Busy;
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return FailureKind::CannotReach;
        case CURLE_LOGIN_DENIED:
            return FailureKind::LoginRefused;
        case CURLE_USE_SSL_FAILED:
            return FailureKind::NoTls;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return FailureKind::Untrusted;
        case CURLE_OPERATION_TIMEDOUT:
            return loggedIn ? FailureKind::CutOff : FailureKind::CannotReach;
        case CURLE_SSL_CONNECT_ERROR:  // no TLS handshake came about
            return loggedIn ? FailureKind::CutOff : FailureKind::NoTls;
        default:
            break;
    }
    if (reply >= 400) return FailureKind::Refused;
    switch (code) {
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_NOT_BUILT_IN:
        case CURLE_BAD_FUNCTION_ARGUMENT:
        case CURLE_OUT_OF_MEMORY:
        case CURLE_FILESIZE_EXCEEDED:
            return FailureKind::Refused;
        default:
            return FailureKind::CutOff;
    }
}

// Where a connection goes: scheme, host and port, with no user or password in it.
std::string Origin(const Endpoint& endpoint) {
    std::string host = endpoint.host;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    std::string scheme = endpoint.protocol == Protocol::FtpsImplicit ? "ftps://" : "ftp://";
    return scheme + host + ":" + std::to_string(endpoint.port);
}

// The TLS settings shared by a connection and the certificate probe.
void SetTls(CURL* handle, const Endpoint& endpoint) {
    if (endpoint.protocol == Protocol::Ftp) {
        curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
        return;
    }
    // Required, never tried: a server that offers no TLS never sees the user or password.
    curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(handle, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    curl_easy_setopt(handle, CURLOPT_SSLVERSION,
                     static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                         static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
#ifdef _WIN32
    // Schannel fails a handshake whose revocation lists it cannot fetch; a list that says
    // the certificate is revoked still fails it.
    curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
}

class CurlConnection final : public Connection {
  public:
    CurlConnection(const Endpoint& endpoint, const std::atomic<bool>& stop)
        : endpoint_(endpoint),
          stop_(stop),
          multi_(curl_multi_init()),
          easy_(NewEasy()),
          origin_(Origin(endpoint)) {
        if (!multi_) throw std::bad_alloc();
        secrets_ = {endpoint_.password, Escaped(easy_.get(), endpoint_.password)};
        CURL* h = easy_.get();
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
        curl_easy_setopt(h, CURLOPT_USERNAME, endpoint_.user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, endpoint_.password.c_str());
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, kReplySeconds);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
        curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L);
        // Every command names its whole path: no CWD, so no folder state between calls.
        curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &CurlConnection::OnReplyLine);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlConnection::OnListing);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(h, CURLOPT_READFUNCTION, &CurlConnection::OnUploadBytes);
        curl_easy_setopt(h, CURLOPT_READDATA, this);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlConnection::OnProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
        SetTls(h, endpoint_);
        if (endpoint_.protocol != Protocol::Ftp && !endpoint_.pin.empty()) {
            // The user trusted this key: it alone decides, whatever the name or the issuer.
            curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
            curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
            curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, endpoint_.pin.c_str());
        }
    }

    ~CurlConnection() override {
        // The QUIT that the multi handle's cleanup sends (it holds the connection) waits for
        // its reply no longer than this: adding the handle hands its timeouts to the cleanup.
        curl_easy_setopt(easy_.get(), CURLOPT_SERVER_RESPONSE_TIMEOUT, kQuitSeconds);
        curl_multi_add_handle(multi_.get(), easy_.get());
        curl_multi_remove_handle(multi_.get(), easy_.get());
    }

    // Connects and logs in; libcurl asks PWD after the login.
    void Open() {
        Prepare();
        curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
        Perform(origin_ + "/",
                "connect to " + endpoint_.host + ":" + std::to_string(endpoint_.port));
        loggedIn_ = true;
        char* entry = nullptr;
        curl_easy_getinfo(easy_.get(), CURLINFO_FTP_ENTRY_PATH, &entry);
        start_ = entry && *entry ? entry : "/";
    }

    std::string StartFolder() override { return start_; }

    std::vector<std::string> List(const std::string& folder) override {
        const std::vector<std::string_view> lines = Listing(folder, true);
        // libcurl takes 450 to a listing for "no files" and reports success; the publish
        // looks again before it believes that (HoldsEntries).
        if (replyCode_ == 450)
            throw TransferFailure(FailureKind::Refused,
                                  Scrubbed("NLST " + folder + ": " + reply_, secrets_), 450);
        std::vector<std::string> names;
        for (std::string_view line : lines) {
            // Some servers answer NLST of a folder with paths; the name is the last part.
            if (const std::size_t slash = line.rfind('/'); slash != std::string_view::npos)
                line.remove_prefix(slash + 1);
            if (line.empty() || line == "." || line == "..") continue;
            names.emplace_back(line);
        }
        return names;
    }

    bool HoldsEntries(const std::string& folder) override {
        const std::vector<std::string_view> lines = Listing(folder, false);
        if (replyCode_ == 450) return false;
        // A line of a long listing but the "total" line and the folder's own "." and "..".
        for (std::string_view line : lines) {
            while (line.ends_with(' ')) line.remove_suffix(1);
            if (line.empty() || line.starts_with("total ")) continue;
            if (line == "." || line == ".." || line.ends_with(" .") || line.ends_with(" .."))
                continue;
            return true;
        }
        return false;
    }

    std::optional<std::uint64_t> Size(const std::string& path) override {
        const std::string checked = Checked(path, "SIZE");
        Prepare();
        curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
        Perform(origin_ + UrlPath(easy_.get(), checked), "SIZE " + path);
        curl_off_t size = -1;
        curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        if (size < 0) return std::nullopt;
        return static_cast<std::uint64_t>(size);
    }

    void MakeFolder(const std::string& path) override {
        Commands({"MKD " + Checked(path, "MKD")}, "MKD " + path);
    }

    void Upload(const std::string& path, std::string_view bytes) override {
        std::string checked = Checked(path, "STOR");
        Prepare();
        upload_ = bytes;
        curl_easy_setopt(easy_.get(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(easy_.get(), CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(bytes.size()));
        Perform(origin_ + UrlPath(easy_.get(), checked), "STOR " + path);
    }

    void Rename(const std::string& from, const std::string& to) override {
        Commands({"RNFR " + Checked(from, "RNFR"), "RNTO " + Checked(to, "RNTO")},
                 "rename " + from + " to " + to);
    }

    void Delete(const std::string& path) override {
        Commands({"DELE " + Checked(path, "DELE")}, "DELE " + path);
    }

  private:
    // An absolute path whose bytes can go into a command line as they stand.
    std::string Checked(const std::string& path, const char* command) const {
        if (path.empty() || path.front() != '/')
            throw TransferFailure(FailureKind::Refused,
                                  std::string(command) + " " + path + ": not an absolute path");
        if (path.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            throw TransferFailure(FailureKind::Refused,
                                  std::string(command) + ": a name holds a line break");
        return path;
    }

    // The options of one call set back to a plain request.
    void Prepare() {
        CURL* h = easy_.get();
        curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
        curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 0L);
        curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
        curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(-1));
        listing_.clear();
        upload_ = {};
    }

    // The folder's listing, names only (NLST) or long (LIST), as its lines without their line
    // ends, valid until the next transfer; replyCode_ then holds the listing's last reply.
    std::vector<std::string_view> Listing(const std::string& folder, bool namesOnly) {
        const char* command = namesOnly ? "NLST" : "LIST";
        std::string path = Checked(folder, command);
        if (path.back() != '/') path += '/';  // a folder's URL ends with a slash
        Prepare();
        curl_easy_setopt(easy_.get(), CURLOPT_DIRLISTONLY, namesOnly ? 1L : 0L);
        Perform(origin_ + UrlPath(easy_.get(), path), std::string(command) + " " + folder);
        std::vector<std::string_view> lines;
        for (std::size_t start = 0; start < listing_.size();) {
            std::size_t end = listing_.find('\n', start);
            if (end == std::string::npos) end = listing_.size();
            std::string_view line(listing_.data() + start, end - start);
            start = end + 1;
            if (line.ends_with('\r')) line.remove_suffix(1);
            lines.push_back(line);
        }
        return lines;
    }

    // Commands on the control connection, in order, stopping at the first refused.
    void Commands(const std::vector<std::string>& commands, const std::string& what) {
        CommandList list;
        for (const std::string& command : commands) {
            curl_slist* longer = curl_slist_append(list.get(), command.c_str());
            if (!longer) throw std::bad_alloc();
            list.release();
            list.reset(longer);
        }
        Prepare();
        curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
        curl_easy_setopt(easy_.get(), CURLOPT_QUOTE, list.get());
        struct Unset {
            CURL* h;
            ~Unset() { curl_easy_setopt(h, CURLOPT_QUOTE, nullptr); }
        } unset{easy_.get()};
        Perform(origin_ + "/", what);
    }

    void Perform(const std::string& url, const std::string& what) {
        if (stop_.load()) throw TransferFailure(FailureKind::Stopped, what + ": stopped");
        if (broken_)
            throw TransferFailure(FailureKind::CutOff, what + ": the connection was lost before");
        curl_easy_setopt(easy_.get(), CURLOPT_URL, url.c_str());
        error_[0] = '\0';
        reply_.clear();
        replyCode_ = 0;
        CURLcode code = Run();
        if (code != CURLE_OK) Fail(code, what);
    }

    // One transfer of the easy handle through this connection's multi handle, which keeps
    // the connection between transfers as curl_easy_perform would, looked at every
    // kLookMilliseconds at the longest.
    CURLcode Run() {
        CURLM* multi = multi_.get();
        if (curl_multi_add_handle(multi, easy_.get()) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
        int running = 1;
        CURLMcode state = CURLM_OK;
        while (state == CURLM_OK) {
            state = curl_multi_perform(multi, &running);
            if (state != CURLM_OK || running == 0) break;
            state = curl_multi_poll(multi, nullptr, 0, kLookMilliseconds, nullptr);
        }
        CURLcode code = state == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_RECV_ERROR;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get())
                code = message->data.result;
        curl_multi_remove_handle(multi, easy_.get());
        return code;
    }

    [[noreturn]] void Fail(CURLcode code, const std::string& what) {
        FailureKind kind = KindOf(code, replyCode_, loggedIn_);
        int reply = replyCode_ >= 400 ? replyCode_ : 0;
        std::string why = kind == FailureKind::Stopped ? std::string("stopped")
                          : reply                      ? reply_
                          : error_[0]                  ? std::string(error_)
                                                       : curl_easy_strerror(code);
        std::string text = Scrubbed(what + ": " + why, secrets_);
        if (kind == FailureKind::CutOff) broken_ = true;
        if (kind == FailureKind::Untrusted) throw CertificateRefused(text);
        throw TransferFailure(kind, text, reply);
    }

    // The failure of a certificate, with the pin and names read by a probe: a connection
    // that checks the key against a pin no key has, so that it stops right after the
    // handshake with libcurl's hash of the key in its trace. It sends no login.
    TransferFailure CertificateRefused(const std::string& text) {
        TransferFailure failure(FailureKind::Untrusted, text);
        Easy probe = NewEasy();
        CURL* h = probe.get();
        std::string trace;
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_URL, (origin_ + "/").c_str());
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, kReplySeconds);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlConnection::OnProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
        SetTls(h, endpoint_);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, kNoKeyPin);
        curl_easy_setopt(h, CURLOPT_CERTINFO, 1L);
        curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &CurlConnection::OnTrace);
        curl_easy_setopt(h, CURLOPT_DEBUGDATA, &trace);
        if (curl_easy_perform(h) != CURLE_SSL_PINNEDPUBKEYNOTMATCH) return failure;
        if (std::size_t at = trace.find(kPinLine); at != std::string::npos) {
            std::size_t start = at + kPinLine.size() - 8;  // from "sha256//"
            std::size_t end = trace.find_first_of(" \r\n", start);
            failure.pin = trace.substr(start, end - start);
        }
        curl_certinfo* info = nullptr;
        if (curl_easy_getinfo(h, CURLINFO_CERTINFO, &info) == CURLE_OK && info &&
            info->num_of_certs > 0) {
            std::string subject, alternatives;
            for (curl_slist* item = info->certinfo[0]; item; item = item->next) {
                std::string_view field = item->data;
                if (field.rfind("Subject:", 0) == 0) subject = field.substr(8);
                if (field.rfind("X509v3 Subject Alternative Name:", 0) == 0)
                    alternatives = field.substr(32);
            }
            failure.certificateNames = subject;
            if (!alternatives.empty())
                failure.certificateNames += (subject.empty() ? "" : "; ") + alternatives;
        }
        return failure;
    }

    static size_t OnReplyLine(char* data, size_t size, size_t count, void* self) {
        auto* c = static_cast<CurlConnection*>(self);
        std::string_view line(data, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        // The last line of a reply: three digits and a space.
        if (line.size() >= 4 && line[3] == ' ' &&
            std::all_of(line.begin(), line.begin() + 3,
                        [](char d) { return d >= '0' && d <= '9'; })) {
            c->replyCode_ = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
            c->reply_ = line;
        }
        return size * count;
    }

    static size_t OnListing(char* data, size_t size, size_t count, void* self) {
        static_cast<CurlConnection*>(self)->listing_.append(data, size * count);
        return size * count;
    }

    static size_t OnUploadBytes(char* buffer, size_t size, size_t count, void* self) {
        auto* c = static_cast<CurlConnection*>(self);
        size_t n = std::min(size * count, c->upload_.size());
        std::memcpy(buffer, c->upload_.data(), n);
        c->upload_.remove_prefix(n);
        return n;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<CurlConnection*>(self)->stop_.load() ? 1 : 0;
    }

    static int OnTrace(CURL*, curl_infotype type, char* data, size_t size, void* trace) {
        // Only libcurl's own notes: the commands sent (a password among them) are not kept.
        if (type == CURLINFO_TEXT) static_cast<std::string*>(trace)->append(data, size);
        return 0;
    }

    Endpoint endpoint_;
    const std::atomic<bool>& stop_;
    Multi multi_;  // before the easy handle: it goes after it, with the connection's QUIT
    Easy easy_;
    std::string origin_;
    std::vector<std::string> secrets_;  // the password, as given and as escaped
    char error_[CURL_ERROR_SIZE] = {};
    std::string reply_;  // the last reply of this call
    int replyCode_ = 0;
    std::string listing_;
    std::string_view upload_;
    std::string start_ = "/";
    bool loggedIn_ = false;
    bool broken_ = false;
};

class CurlTransfer final : public Transfer {
  public:
    std::unique_ptr<Connection> Connect(const Endpoint& endpoint,
                                        const std::atomic<bool>& stop) override {
        auto connection = std::make_unique<CurlConnection>(endpoint, stop);
        connection->Open();
        return connection;
    }
};

}  // namespace

std::unique_ptr<Transfer> MakeCurlTransfer() {
    // Once per process, before any handle; libcurl is never cleaned up, as handles may
    // still be closing on other threads when the program ends.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return std::make_unique<CurlTransfer>();
}

}  // namespace vb::publish
