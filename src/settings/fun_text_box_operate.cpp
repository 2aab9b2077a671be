#include "settings/fun_text_box_operate.h"

#include "forms/errors.h"

namespace vb::settings {

void ClearAllText(forms::Form& form) {
    for (forms::Control* control : form.Controls()) {
        try {
            control->SetText("");
        } catch (const forms::PropertyNotSupported&) {
        } catch (const forms::InvalidPropertyValue&) {
        }
    }
}

}  // namespace vb::settings
