#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/run_output.h"
#include "publish/publisher.h"
#include "publish/transfer.h"

// The command line's publish: the chosen server's output folder put on its server, alone or
// after a write-out that finished.
namespace vb::cli {

// Makes the transfer a publish goes through: the program's is libcurl's
// (publish/curl_transfer.h); tests hand in their own.
using TransferMaker = std::function<std::unique_ptr<publish::Transfer>()>;

// The server chosen as the write-out chooses it (--server, else the settings file's last
// one), its host, user and password from its entry and the rest from its [Publish <server>]
// section; then Publish on local/<server> as it stands. The log gets a first line (server,
// remote folder, protocol) and a last one (the counts, bytes, seconds, outcome). An untrusted
// certificate prints its pin and the Certificate= line that would trust it: the command line
// never writes the settings file. Returns the process's exit status.
int RunPublish(const CommandLine& line, RunOutput& out, publish::Transfer& transfer);

// What the command line asks for: the write-out, the publish, or the write-out and then,
// only when it finished, the publish.
int RunJob(const CommandLine& line, RunOutput& out, const TransferMaker& makeTransfer);

// RunCommandLine, with the transfer a publish makes.
int RunCommandLine(const std::vector<std::string>& args, bool slashForms,
                   const TransferMaker& makeTransfer);

int PublishExitStatus(publish::PublishResult result);

struct PublishStart {
    std::string when;
    std::string version;
    std::string server, remoteFolder, protocol;
    int connections = 0;
    bool dryRun = false;
    std::string outputFolder;
};
std::string PublishFirstLine(const PublishStart& start);
std::string PublishLastLine(const std::string& when, const publish::PublishReport& report);

// The outcome's word in the last line.
std::string_view PublishOutcomeName(publish::PublishResult result);

}  // namespace vb::cli
