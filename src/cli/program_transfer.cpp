// The command line with the program's own transfer: libcurl's, on both editions. The rest of
// the command line takes its transfer from its caller, so that tests hand in their own.
#include "cli/headless_write_out.h"
#include "cli/publish_run.h"

#if __has_include("publish/curl_transfer.h")
#include "publish/curl_transfer.h"
#define VB_HAS_CURL_TRANSFER 1
#endif

namespace vb::cli {

int RunCommandLine(const std::vector<std::string>& args, bool slashForms) {
#ifdef VB_HAS_CURL_TRANSFER
    return RunCommandLine(args, slashForms, [] { return publish::MakeCurlTransfer(); });
#else
    // A build without the transfer: --publish says so (RunJob) and fails.
    return RunCommandLine(args, slashForms, TransferMaker{});
#endif
}

}  // namespace vb::cli
