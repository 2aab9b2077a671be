#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The one door to a server: what a publish asks of an FTP or FTPS server, whatever carries
// it. The product's implementation is libcurl's on both editions (publish/curl_transfer.h);
// the tests of the plan and of the publish's order use a fake of their own.
namespace vb::publish {

enum class Protocol {
    Ftps,          // AUTH TLS on the plain port (21), required for the login and every transfer
    FtpsImplicit,  // TLS from the first byte (990)
    Ftp,           // plain FTP: only when the user's settings say so
};

// Where to connect and as whom. The password goes out only inside TLS unless the protocol
// is Ftp, and it is never written into a log, a message or a failure's text.
struct Endpoint {
    Protocol protocol = Protocol::Ftps;
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    // "sha256//<base64>": the public key of a certificate the user trusted; empty to trust
    // only what the system's certificate store trusts.
    std::string pin;
};

// Why a step failed. The publish turns the kind into its outcome, the command line into its
// exit status.
enum class FailureKind {
    CannotReach,   // no connection: refused, no route, unknown name, timed out connecting
    LoginRefused,  // the server refused the user or the password (530)
    NoTls,         // TLS was required and the server offers none (AUTH TLS refused)
    Untrusted,     // the certificate is trusted neither by the system nor by the pin
    Busy,          // the server has too many connections (421): try again later
    CutOff,        // the connection dropped or stalled mid-way
    Refused,       // the server refused this one step (550, 552, 553 ...): reply says which
    Stopped,       // the caller asked to stop
};

// Thrown by every step that did not complete. what() is one line for the log, in the
// server's or the library's words, never holding the password.
class TransferFailure : public std::runtime_error {
  public:
    TransferFailure(FailureKind kind, const std::string& text, int reply = 0)
        : std::runtime_error(text), kind_(kind), reply_(reply) {}
    FailureKind Kind() const { return kind_; }
    int Reply() const { return reply_; }  // the FTP reply code, 0 when none came

    // Untrusted: the certificate's public-key pin ("sha256//…") and the names it was made
    // for (its subject and alternative names), for the box that asks whether to trust it.
    std::string pin;
    std::string certificateNames;

  private:
    FailureKind kind_;
    int reply_;
};

// One logged-in control connection, used by one thread at a time. Remote paths are
// absolute, '/'-separated, their bytes sent as they stand (UTF-8). Each call completes or
// throws TransferFailure; a connection that threw CutOff is not used again.
class Connection {
  public:
    virtual ~Connection() = default;

    // The folder the login starts in (PWD).
    virtual std::string StartFolder() = 0;

    // The names of the entries in the folder (NLST: names only, no types or times). A folder
    // that does not exist throws Refused.
    virtual std::vector<std::string> List(const std::string& folder) = 0;

    // Whether the full listing (LIST) of the folder shows any entry: the second look when the
    // names' listing says there are none (450).
    virtual bool HoldsEntries(const std::string& folder) = 0;

    // One folder made (its parent must exist). A folder that exists already throws Refused.
    virtual void MakeFolder(const std::string& path) = 0;

    // The bytes stored under the path, replacing a file of that name when the server allows.
    virtual void Upload(const std::string& path, std::string_view bytes) = 0;

    // RNFR/RNTO. Whether an existing target is replaced is the server's choice: one that
    // refuses throws Refused.
    virtual void Rename(const std::string& from, const std::string& to) = 0;

    virtual void Delete(const std::string& path) = 0;

    // The file's size as the server tells it (SIZE); nothing when the server cannot tell. A
    // file that is not there throws Refused.
    virtual std::optional<std::uint64_t> Size(const std::string& path) = 0;
};

class Transfer {
  public:
    virtual ~Transfer() = default;

    // Connects and logs in. Every wait of this connection, now and later, ends with Stopped
    // soon after stop becomes true; stop must outlive the connection.
    virtual std::unique_ptr<Connection> Connect(const Endpoint& endpoint,
                                                const std::atomic<bool>& stop) = 0;
};

}  // namespace vb::publish
