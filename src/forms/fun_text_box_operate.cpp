#include "forms/fun_text_box_operate.h"

namespace vb::forms {

void ClearAllText(Form& form) {
    for (Control* control : form.Controls())
        if (control->AcceptsText("")) control->SetText("");
}

}  // namespace vb::forms
