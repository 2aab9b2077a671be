// frmVornack: the publish of the chosen server's pages, run on a thread of its own, and its
// stop. The window's timer takes the publish's news to the log and the bar; a close during a
// publish stops it and closes once it has ended.
#include "builder/messages.h"
#include "builder/output_folder.h"
#include "platform/app_title.h"
#include "publish/curl_transfer.h"
#include "publish/publish_settings.h"
#include "ui/frm_vornack.h"
#include "ui/publish_texts.h"

namespace vb::ui {

void frmVornack::mnuPublish_Click() {
    std::optional<publish::PublishJob> job = PublishJobOfServer();
    if (!job) return;
    auto transfer = services_.options.makeTransfer ? services_.options.makeTransfer()
                                                   : publish::MakeCurlTransfer();
    txtLog.SetText({});
    pbrProcess.SetValue(0.0f);
    publishHost_ = job->endpoint.host;
    publishRun_ = std::make_unique<PublishRun>(std::move(*job), std::move(transfer));
    SetPublishing(true);
}

void frmVornack::mnuPublishStop_Click() {
    if (!Publishing() || publishRun_->Stopping()) return;
    publishRun_->Stop();
    txtLog.AppendText(std::string(kPublishStopping) + "\r\n");
}

void frmVornack::tmrPublish_Timer() {
    if (!Publishing()) return;
    PublishRun::News news = publishRun_->Take();
    if (!news.lines.empty()) {
        std::string text;
        for (const std::string& line : news.lines) text += line + "\r\n";
        txtLog.AppendText(text);
    }
    if (news.total > 0) {
        pbrProcess.SetMax(static_cast<float>(news.total));
        pbrProcess.SetValue(static_cast<float>(news.done));
    }
    if (news.report) EndPublish(*news.report);
}

void frmVornack::EndPublish(const publish::PublishReport& report) {
    publishRun_.reset();  // its thread has ended: the report is its last act
    SetPublishing(false);
    lastPublish_ = report;
    if (heldClose_) {
        CloseIfHeld();
        return;
    }
    ShowPublishEnd(report, publishHost_);
}

void frmVornack::ShowPublishEnd(const publish::PublishReport& report, const std::string& host) {
    using publish::PublishResult;
    switch (report.result) {
        case PublishResult::Done:
        case PublishResult::Stopped:
            return;  // the log's last line says it
        case PublishResult::NotSecure:
            if (!report.pin.empty()) break;
            [[fallthrough]];
        case PublishResult::Refused:
        case PublishResult::Busy:
            services_.boxes.Show(report.text, platform::MsgButtons::OK,
                                 platform::MsgIcon::Exclamation, platform::kAppTitle);
            return;
        default:
            services_.boxes.Show(report.text, platform::MsgButtons::OK, platform::MsgIcon::Critical,
                                 platform::kAppTitle);
            return;
    }
    // A certificate the system does not trust: asked once; trusted, its pin goes into the
    // server's section and the publish starts again with it.
    const std::string server = cboServer.Text();
    const std::string text = std::string(kUntrustedCertificate) + "\r\n" + report.text +
                             "\r\n\r\n" + kCertificateHost + host + "\r\n" + kCertificateNames +
                             report.certificateNames + "\r\n" + kCertificatePin + report.pin +
                             "\r\n\r\n" + kTrustQuestion;
    if (services_.boxes.Show(text, platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                             platform::kAppTitle) != platform::MsgResult::Yes)
        return;
    if (!publish::WriteCertificatePin(ini_, server, report.pin)) {
        services_.boxes.Show(kTrustSaveFailed, platform::MsgButtons::OK,
                             platform::MsgIcon::Exclamation, platform::kAppTitle);
        return;
    }
    mnuPublish_Click();
}

void frmVornack::SetPublishing(bool publishing) {
    mnuPublishStop.SetEnabled(publishing);
    for (forms::Menu* held : {&mnuGo, &mnuPublish, &mnuFileReload}) held->SetEnabled(!publishing);
    tmrPublish.SetEnabled(publishing);
}

std::optional<publish::PublishJob> frmVornack::PublishJobOfServer() {
    if (cboServer.ListIndex() < 0) {
        services_.boxes.Show(builder::msg::kNoServer, platform::MsgButtons::OK,
                             platform::MsgIcon::Exclamation, platform::kAppTitle);
        return std::nullopt;
    }
    std::string entry;
    ini_.GetIni(settings::kSettingSection, entry,
                "Server" + std::to_string(cboServer.ListIndex() + 1));
    std::string error;
    std::optional<publish::PublishJob> job =
        publish::PublishJobOf(ini_, entry, builder::OutputFolderPath(cboServer.Text()), error);
    if (!job)
        services_.boxes.Show(error, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                             platform::kAppTitle);
    return job;
}

}  // namespace vb::ui
