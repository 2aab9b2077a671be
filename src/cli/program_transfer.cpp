// The command line with the program's own transfer: libcurl's, on both editions. The rest of
// the command line takes its transfer from its caller, so that tests hand in their own.
//
// The header is included, not tested for with __has_include: a compiler cache that had seen
// this file where the header was missing handed a build the object without the transfer,
// and that build's --publish said it could not publish.
#include "cli/headless_write_out.h"
#include "cli/publish_run.h"
#include "publish/curl_transfer.h"

namespace vb::cli {

int RunCommandLine(const std::vector<std::string>& args, bool slashForms) {
    return RunCommandLine(args, slashForms, [] { return publish::MakeCurlTransfer(); });
}

}  // namespace vb::cli
