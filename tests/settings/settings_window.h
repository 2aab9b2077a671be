#pragma once

#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/text_box.h"
#include "settings/ini_setting.h"

namespace vb::test {

// The controls of the main window that the settings load and save reach, on a form with a
// few others (the log, the advertisement text, a label) as the real window has them.
struct SettingsWindow {
    forms::Form form{"frmVornack"};
    forms::Label lblGuide{"lblGuide", 0};
    forms::TextBox txtSrcPath{"txtSrcPath"};
    forms::TextBox txtSrcNum{"txtSrcNum"};
    forms::ComboBox cboServer{"cboServer"};
    forms::ComboBox cboTitle{"cboTitle"};
    forms::TextBox txtMakePageNum{"txtMakePageNum"};
    forms::TextBox txtPagePerSrcNum{"txtPagePerSrcNum"};
    forms::TextBox txtReplaceTarget{"txtReplaceTarget"};
    forms::TextBox txtReplaceText{"txtReplaceText"};
    forms::TextBox txtLog{"txtLog"};
    forms::TextBox txtCM{"txtCM"};
    std::string srcPathNotShown;

    SettingsWindow() {
        for (forms::Control* c : std::initializer_list<forms::Control*>{
                 &lblGuide, &txtSrcPath, &txtSrcNum, &cboServer, &cboTitle, &txtMakePageNum,
                 &txtPagePerSrcNum, &txtReplaceTarget, &txtReplaceText, &txtLog, &txtCM})
            form.AddControl(*c);
    }

    settings::SettingsFields Fields() {
        return {form,           txtSrcPath,     txtSrcNum,        cboServer,
                cboTitle,       txtMakePageNum, txtPagePerSrcNum, txtReplaceTarget,
                txtReplaceText, txtCM,          srcPathNotShown};
    }
};

}  // namespace vb::test
