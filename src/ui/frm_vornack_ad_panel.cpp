// frmVornack: the advertisement panel. A blank first navigation arms the timer; its first
// tick requests the advertisement page, its second stops it. The panel goes live, once and
// for good, when a completed navigation's document title carries the brand word.
#include "build_config.h"
#include "codec/utf8.h"
#include "ui/frm_vornack.h"

namespace vb::ui {

namespace {
constexpr const char* kBrandWord = "zund";
}  // namespace

std::string frmVornack::AdvertisementAddress() const {
    const std::string& host = services_.options.advertisementHost;
    return "http://" + (host.empty() ? std::string(build_config::kAdHost) : host) +
           kAdvertisementPath;
}

void frmVornack::wbCM_NavigateComplete2(const forms::BrowserObject& browser,
                                        const std::string& /*url*/) {
    tmrNaviStep.SetEnabled(true);
    // No document, or one the browser will not let us read: nothing changes.
    if (!browser.HasDocumentTitle()) return;
    const std::string title = browser.DocumentTitle();
    if (codec::utf8::AsciiLower(title).find(kBrandWord) == std::string::npos) return;
    lblCMNotice.SetVisible(true);
    wbCM.SetVisible(true);
    txtCM.SetVisible(false);
}

void frmVornack::tmrNaviStep_Timer() {
    services_.events.ProcessEvents();
    switch (intNaviStep) {
        case kNaviStepNavigate:
            wbCM.Navigate(AdvertisementAddress());
            intNaviStep = kNaviStepStop;
            break;
        case kNaviStepStop:
            tmrNaviStep.SetEnabled(false);
            intNaviStep = kNaviStepDone;
            break;
        default:
            break;
    }
}

}  // namespace vb::ui
