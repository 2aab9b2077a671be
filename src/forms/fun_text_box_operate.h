#pragma once

#include "forms/form.h"

// Fun_TextBoxOperate: text-box helpers on the window layer.
namespace vb::forms {

// Sets the Text of every control of the form to "". A control without a Text, or one that
// would refuse the change (a list's Text), is skipped and the walk goes on.
void ClearAllText(Form& form);

}  // namespace vb::forms
