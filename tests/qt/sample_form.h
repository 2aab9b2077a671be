#pragma once

#include "forms/combo_box.h"
#include "forms/control_family.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/menu.h"
#include "forms/progress_bar.h"
#include "forms/text_box.h"
#include "forms/timer.h"

namespace vb::test {

// A small form of the layer's controls, laid out like the program's window.
struct SampleForm : forms::Form {
    SampleForm();

    forms::Menu mnuOperate{"mnuOperate", "操作(&O)"};
    forms::Menu mnuGo{"mnuGo", "書き出し(&W)"};
    forms::Menu xSprt1{"xSprt1", "-"};
    forms::Menu mnuExit{"mnuExit", "終了(&X)"};
    forms::Menu mnuHelp{"mnuHelp", "ﾍﾙﾌﾟ(&H)"};
    forms::Menu mnuVersion{"mnuVersion", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."};

    forms::ControlArray<forms::Label> lblGuide{"lblGuide"};
    forms::TextBox txtSrcPath{"txtSrcPath"};
    forms::ComboBox cboServer{"cboServer"};
    forms::ProgressBar pbrProcess{"pbrProcess"};
    forms::TextBox txtLog{"txtLog"};
    forms::Label lblUrl{"lblUrl"};
    forms::ControlArray<forms::Line> lnMenu{"lnMenu"};
    forms::Timer tmrStep{"tmrStep"};
};

}  // namespace vb::test
