#pragma once

#include <memory>

#include "publish/transfer.h"

// The product's transfer: FTP, FTPS with AUTH TLS and implicit FTPS over libcurl, the same
// code on both editions (OpenSSL on Linux, Schannel on Windows).
//
// Each Connection holds one libcurl handle, so its logged-in control connection is kept
// from call to call; connections share nothing, not even a TLS session cache, so a data
// connection only ever resumes its own control connection's TLS session. TLS is 1.2 at
// least and at most: under TLS 1.3 libcurl's data connections stop resuming the control
// connection's session after the first tickets are used up, and servers that demand the
// resumption (vsftpd's require_ssl_reuse, FileZilla Server) refuse the transfer.
//
// Certificates are checked against the system's store, or, when the endpoint carries a pin,
// against that pin alone. A certificate that fails either way is refused with its pin and
// names, read by a second connection that stops right after the TLS handshake, before any
// user name or password is sent.
namespace vb::publish {

std::unique_ptr<Transfer> MakeCurlTransfer();

}  // namespace vb::publish
