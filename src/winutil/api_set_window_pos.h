#pragma once

#include "forms/form.h"

// API_SetWindowPos: holds a form above other windows.
namespace vb::winutil {

// Places the form in the top-most band of windows; with activate it is also activated.
// Its size and position stay. Nothing takes it out of the band again.
void SetTopMost(forms::Form& form, bool activate);

}  // namespace vb::winutil
