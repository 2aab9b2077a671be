#pragma once

#include <optional>
#include <string>

#include "publish/publisher.h"
#include "publish/transfer.h"
#include "settings/api_ini_file_access.h"

// Where a server's pages are published: the optional section "[Publish <list name>]" of the
// settings file, edited by hand as the server entries are. Host, user and password stay in
// the server entry; the section says how:
//   Protocol=ftps | ftps-implicit | ftp     default ftps (AUTH TLS, required)
//   Port=1..65535                           default 21 (990 for ftps-implicit)
//   Folder=/public_html                     default: the folder the login starts in
//   Connections=1..8                        default 2
//   Certificate=sha256//<base64>            the pin of a certificate the user trusted
namespace vb::publish {

struct PublishSettings {
    Protocol protocol = Protocol::Ftps;
    int port = 21;
    std::string folder;  // empty: the login's start folder
    int connections = 2;
    std::string certificate;  // empty: only what the system's store trusts
    bool operator==(const PublishSettings&) const = default;
};

// "Publish " and the list name.
std::string PublishSection(const std::string& listName);

// The server's publish settings, or, for a bad value, nothing and in error one line in
// Japanese naming the section, the key and the value. A missing section gives the defaults.
// file: as IniFileAccess takes it ("" is the settings file).
std::optional<PublishSettings> ReadPublishSettings(settings::IniFileAccess& ini,
                                                   const std::string& listName, std::string& error,
                                                   const std::string& file = "");

// True for a pin as the settings take it: "sha256//" and the base64 of 32 bytes (several
// joined by ';' when more than one key is trusted).
bool IsCertificatePin(const std::string& text);

// Writes Certificate=<pin> into the server's section (made when missing): the window does so
// when the user trusts the certificate. False when the file could not be written;
// ini.LastWriteFailure() says why.
bool WriteCertificatePin(settings::IniFileAccess& ini, const std::string& listName,
                         const std::string& pin, const std::string& file = "");

// The publish of the server of this entry (the settings file's "ServerN=host user password"):
// host, user and password from the entry, the rest from the section of its list name, the
// pages from outputFolder. Nothing, and in error one line, for a bad value of the section, or
// for an entry spaced otherwise than with single spaces (its words would run together, the
// password among them).
std::optional<PublishJob> PublishJobOf(settings::IniFileAccess& ini, const std::string& entry,
                                       const std::string& outputFolder, std::string& error,
                                       const std::string& file = "");

// The protocol's word in the settings file.
std::string ProtocolName(Protocol protocol);

}  // namespace vb::publish
