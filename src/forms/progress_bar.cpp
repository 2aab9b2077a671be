#include "forms/progress_bar.h"

#include <algorithm>
#include <cmath>

#include "forms/errors.h"

namespace vb::forms {

void ProgressBar::SetMax(float max) {
    // Written so that NaN is refused too.
    if (!(max > Min()) || !(max >= value_)) throw InvalidPropertyValue();
    max_ = max;
    Notify(Change::Progress);
}

void ProgressBar::SetValue(float value) {
    if (!(value >= Min() && value <= max_)) throw InvalidPropertyValue();
    if (value == value_) return;
    value_ = value;
    Notify(Change::Progress);
}

int ProgressBar::ScaledValue() const {
    const double scaled = static_cast<double>(value_) / static_cast<double>(max_) * kScale;
    return static_cast<int>(std::clamp(std::lround(scaled), 0L, static_cast<long>(kScale)));
}

}  // namespace vb::forms
