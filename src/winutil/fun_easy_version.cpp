#include "winutil/fun_easy_version.h"

#include "build_config.h"
#include "platform/app_title.h"

namespace vb::winutil {

std::string GetVersion() {
    return std::to_string(build_config::kVersionMajor) + "." +
           std::to_string(build_config::kVersionMinor) + "." +
           std::to_string(build_config::kVersionRevision);
}

std::string VersionText(const std::string& credit) {
    const std::string crlf = "\r\n";
    return std::string(platform::kAppTitle) + " v" + GetVersion() + crlf + crlf + "by " + credit;
}

void ShowVersion(platform::MessageBoxService& boxes, const std::string& credit) {
    boxes.Show(VersionText(credit), platform::MsgButtons::OK, platform::MsgIcon::Information,
               kVersionBoxCaption);
}

}  // namespace vb::winutil
