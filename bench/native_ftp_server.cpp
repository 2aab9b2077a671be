// A native FTP(S) server for the publishing benchmark, on 127.0.0.1 only.
//
// The Python servers (tests/support/ftp_server.py, bench/light_ftp_server.py) cost 1.3 to 4 ms
// of processor time a file on the file's path, on the same two cores as the client: at a few
// milliseconds a reply the benchmark then times them as much as the program. This one knows
// the same few commands as the light server (the login with AUTH TLS, PWD, CWD, TYPE, EPSV,
// PASV, STOR, NLST, SIZE, MKD, RNFR, RNTO, DELE, QUIT), serves each control connection on a
// thread of its own with blocking sockets and OpenSSL, and waits --delay seconds before each
// reply of a control connection, the waits of all connections side by side. Data connections
// take TLS 1.2 when PROT P asked for it, resuming the control connection's session from the
// server's session cache.
//
// Its command line and its first line are the test server's: "--tls explicit|none --delay S
// --time-limit S", then "READY <port> <pin> <root>" once listening. It ends when its standard
// input reaches its end, when its parent is gone, or after the time limit; its root goes
// with it. A connection's thread, once its connection ended, waits for that end too, so that
// /proc still counts its scheduling waits (the benchmark's srv_wt sums the threads').
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Settings {
    bool tls = true;
    double delay = 0;
    double timeLimit = 3600;
    std::string user = "user", password = "secret";
    fs::path root;
};

// A self-signed P-256 certificate for localhost and 127.0.0.1 in a server context (TLS 1.2
// only, a session cache), and the pin of its key ("sha256//" + base64 of the SHA-256 of the
// SubjectPublicKeyInfo) as the test server prints it.
SSL_CTX* MakeContext(std::string& pin) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 2 * 86400);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509_set_pubkey(cert, key);
    X509V3_CTX v3;
    X509V3_set_ctx_nodb(&v3);
    X509V3_set_ctx(&v3, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* san =
        X509V3_EXT_conf_nid(nullptr, &v3, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    X509_add_ext(cert, san, -1);
    X509_EXTENSION_free(san);
    X509_sign(cert, key, EVP_sha256());

    unsigned char* der = nullptr;
    int length = i2d_PUBKEY(key, &der);
    unsigned char digest[32];
    EVP_Digest(der, static_cast<size_t>(length), digest, nullptr, EVP_sha256(), nullptr);
    OPENSSL_free(der);
    unsigned char text[64] = {};
    EVP_EncodeBlock(text, digest, sizeof digest);
    pin = "sha256//" + std::string(reinterpret_cast<char*>(text));

    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_max_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_use_certificate(context, cert);
    SSL_CTX_use_PrivateKey(context, key);
    static const unsigned char kSessionContext[] = "vb-bench";
    SSL_CTX_set_session_id_context(context, kSessionContext, sizeof kSessionContext - 1);
    SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_SERVER);
    SSL_CTX_sess_set_cache_size(context, 1024);
    X509_free(cert);
    EVP_PKEY_free(key);
    return context;
}

// A socket, plain or with TLS on it, read by lines or to its end.
class Stream {
  public:
    explicit Stream(int fd) : fd_(fd) {
        int one = 1;  // a reply or a listing's last bytes go at once, not after the peer's ACK
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~Stream() {
        if (ssl_) SSL_free(ssl_);
        if (fd_ >= 0) close(fd_);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    bool StartTls(SSL_CTX* context) {
        ssl_ = SSL_new(context);
        SSL_set_fd(ssl_, fd_);
        return SSL_accept(ssl_) == 1;
    }
    bool Write(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            long n =
                ssl_ ? SSL_write(ssl_, bytes.data() + done, static_cast<int>(bytes.size() - done))
                     : send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    long Read(char* into, std::size_t size) {
        return ssl_ ? SSL_read(ssl_, into, static_cast<int>(size)) : recv(fd_, into, size, 0);
    }
    // The next line without its CR LF; nothing at the stream's end.
    std::optional<std::string> Line() {
        for (;;) {
            auto end = buffer_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return line;
            }
            char chunk[4096];
            long n = Read(chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    std::string ReadToEnd() {
        std::string all;
        char chunk[65536];
        for (long n; (n = Read(chunk, sizeof chunk)) > 0;)
            all.append(chunk, static_cast<std::size_t>(n));
        return all;
    }
    void Finish() {  // a TLS stream's end told to the peer before the socket closes
        if (ssl_) SSL_shutdown(ssl_);
    }

  private:
    int fd_;
    SSL* ssl_ = nullptr;
    std::string buffer_;
};

int Listen(int backlog) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(fd, backlog) != 0)
        throw std::system_error(errno, std::generic_category(), "listen");
    return fd;
}

int PortOf(int fd) {
    sockaddr_in at{};
    socklen_t size = sizeof at;
    getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size);
    return ntohs(at.sin_port);
}

class Control {
  public:
    Control(const Settings& s, SSL_CTX* context, int fd) : s_(s), context_(context), control_(fd) {}
    ~Control() {
        if (listener_ >= 0) close(listener_);
    }

    void Run() {
        if (!Reply("220 Native benchmark server ready.")) return;
        while (auto line = control_.Line()) {
            auto space = line->find(' ');
            std::string verb = line->substr(0, space);
            std::string arg = space == std::string::npos ? "" : line->substr(space + 1);
            std::transform(verb.begin(), verb.end(), verb.begin(), ::toupper);
            if (!Command(verb, arg)) break;
        }
    }

  private:
    bool Reply(const std::string& text) {
        if (s_.delay > 0) std::this_thread::sleep_for(std::chrono::duration<double>(s_.delay));
        return control_.Write(text + "\r\n");
    }

    // The argument as a path under the root; nothing for one that leaves it.
    std::optional<fs::path> PathOf(const std::string& arg) const {
        fs::path path = s_.root;
        std::size_t start = 0;
        while (start <= arg.size()) {
            std::size_t end = arg.find('/', start);
            if (end == std::string::npos) end = arg.size();
            std::string part = arg.substr(start, end - start);
            if (part == "..") return std::nullopt;
            if (!part.empty() && part != ".") path /= part;
            start = end + 1;
        }
        return path;
    }

    bool Command(const std::string& verb, const std::string& arg) {
        std::error_code error;
        if (verb == "AUTH" && s_.tls) {
            Reply("234 AUTH TLS accepted.");
            return control_.StartTls(context_);
        }
        if (verb == "PBSZ" || verb == "PROT") {
            if (verb == "PROT") protect_ = arg == "P" || arg == "p";
            return Reply("200 OK.");
        }
        if (verb == "USER") {
            user_ = arg;
            return Reply("331 Password required.");
        }
        if (verb == "PASS") {
            loggedIn_ = user_ == s_.user && arg == s_.password;
            return Reply(loggedIn_ ? "230 Logged in." : "530 Login incorrect.");
        }
        if (verb == "QUIT") {
            Reply("221 Bye.");
            return false;
        }
        if (!loggedIn_) return Reply("530 Log in first.");
        auto path = PathOf(arg);
        if (verb == "PWD") return Reply("257 \"/\" is the current folder.");
        if (verb == "CWD")
            return Reply(path && fs::is_directory(*path) ? "250 OK." : "550 No such folder.");
        if (verb == "TYPE") return Reply("200 Type set.");
        if (verb == "EPSV")
            return Reply("229 Entering Extended Passive Mode (|||" +
                         std::to_string(OpenListener()) + "|)");
        if (verb == "PASV") {
            int port = OpenListener();
            return Reply("227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) +
                         "," + std::to_string(port % 256) + ").");
        }
        if (verb == "STOR") return Store(path);
        if (verb == "NLST" || verb == "LIST")
            return List(arg.empty() || arg[0] == '-' ? PathOf("/") : path, verb == "LIST");
        if (verb == "SIZE") {
            if (path && fs::is_regular_file(*path))
                return Reply("213 " + std::to_string(fs::file_size(*path)));
            return Reply("550 No such file.");
        }
        if (verb == "MKD")
            return Reply(path && fs::create_directory(*path, error)
                             ? "257 \"" + arg + "\" made."
                             : "550 Cannot make the folder.");
        if (verb == "RNFR") {
            renameFrom_ = path;
            return Reply(path && fs::exists(*path) ? "350 Ready." : "550 No such file.");
        }
        if (verb == "RNTO") {
            auto from = std::move(renameFrom_);
            renameFrom_.reset();
            if (!from || !path) return Reply("550 Cannot rename.");
            fs::rename(*from, *path, error);
            return Reply(error ? "550 Cannot rename." : "250 Renamed.");
        }
        if (verb == "DELE")
            return Reply(path && fs::remove(*path, error) ? "250 Deleted." : "550 Cannot delete.");
        return Reply("502 Not implemented.");
    }

    int OpenListener() {
        if (listener_ >= 0) close(listener_);
        listener_ = Listen(1);
        return PortOf(listener_);
    }

    // The data connection of the last EPSV or PASV, after the opening reply; nothing (and
    // the failure told) when none comes within 30 seconds or its TLS fails.
    std::unique_ptr<Stream> Opened(const std::string& opening) {
        if (listener_ < 0) {
            Reply("425 Use EPSV or PASV first.");
            return nullptr;
        }
        if (!Reply(opening)) return nullptr;
        pollfd wait{listener_, POLLIN, 0};
        int fd =
            poll(&wait, 1, 30000) == 1 ? accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        close(listener_);
        listener_ = -1;
        if (fd < 0) {
            Reply("425 No data connection.");
            return nullptr;
        }
        auto data = std::make_unique<Stream>(fd);
        if (protect_ && !data->StartTls(context_)) {
            Reply("425 TLS failed on the data connection.");
            return nullptr;
        }
        return data;
    }

    bool Store(const std::optional<fs::path>& target) {
        if (!target) return Reply("553 Not a name here.");
        auto data = Opened("150 Send the file.");
        if (!data) return true;
        std::string bytes = data->ReadToEnd();
        data->Finish();  // a session whose connection ended without one leaves the cache
        data.reset();
        std::ofstream(*target, std::ios::binary | std::ios::trunc) << bytes;
        return Reply("226 Stored.");
    }

    // The folder's names, one a line; with `detailed`, as "ls -l" writes them (lftp's mirror
    // reads sizes from it).
    bool List(const std::optional<fs::path>& folder, bool detailed) {
        if (!folder || !fs::is_directory(*folder)) return Reply("550 No such folder.");
        auto data = Opened("150 Here are the names.");
        if (!data) return true;
        std::vector<std::string> lines;
        for (const auto& entry : fs::directory_iterator(*folder)) {
            std::string name = entry.path().filename().string();
            if (detailed) {
                std::error_code error;
                bool isFolder = entry.is_directory(error);
                name = (isFolder ? "drwxr-xr-x 1 user user " : "-rw-r--r-- 1 user user ") +
                       std::to_string(isFolder ? 0 : entry.file_size(error)) + " Jan 01 00:00 " +
                       name;
            }
            lines.push_back(name);
        }
        std::sort(lines.begin(), lines.end());
        std::string text;
        for (const auto& n : lines) text += n + "\r\n";
        data->Write(text);
        data->Finish();
        data.reset();
        return Reply("226 Listed.");
    }

    const Settings& s_;
    SSL_CTX* context_;
    Stream control_;
    int listener_ = -1;
    bool protect_ = false, loggedIn_ = false;
    std::string user_;
    std::optional<fs::path> renameFrom_;
};

[[noreturn]] void End(const fs::path& work) {
    std::error_code ignored;
    fs::remove_all(work, ignored);
    std::_Exit(0);
}

// Ends the process when standard input closes, the parent goes, or the time is up.
void WatchForEnd(const Settings& s, const fs::path& work) {
    pid_t parent = getppid();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(s.timeLimit);
    std::thread([work] {
        char ignored[4096];
        while (read(0, ignored, sizeof ignored) > 0) {
        }
        End(work);
    }).detach();
    std::thread([parent, deadline, work] {
        while (getppid() == parent && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        End(work);
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        if (option == "--tls")
            s.tls = value != "none";
        else if (option == "--delay")
            s.delay = std::stod(value);
        else if (option == "--time-limit")
            s.timeLimit = std::stod(value);
        else {
            std::fprintf(stderr, "usage: %s [--tls explicit|none] [--delay S] [--time-limit S]\n",
                         argv[0]);
            return 2;
        }
    }
    char pattern[] = "/tmp/vb-native-ftp-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    fs::path work = pattern;
    s.root = work / "root";
    fs::create_directory(s.root);
    WatchForEnd(s, work);

    std::string pin;
    SSL_CTX* context = MakeContext(pin);
    int listener = Listen(64);
    std::printf("READY %d %s %s\n", PortOf(listener), pin.c_str(), s.root.c_str());
    std::fflush(stdout);
    for (;;) {
        int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::thread([&s, context, fd] {
            {
                Control control(s, context, fd);
                control.Run();
            }
            for (;;) pause();  // parked until the process ends (see above)
        }).detach();
    }
}
