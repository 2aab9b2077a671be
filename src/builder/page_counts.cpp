#include "builder/page_counts.h"

#include <algorithm>

#include "rules/numeric.h"

namespace vb::builder {

std::optional<PageCountPlan> PlanPageCount(std::string_view text) {
    const double value = rules::LeadingNumber(text);
    const auto pages = rules::RoundHalfEvenToInt32(value);
    if (!pages || *pages > kMaxPageCount) return std::nullopt;
    // The bar holds single precision: a tiny positive count can still become 0 there.
    const float max = static_cast<float>(std::max(value, static_cast<double>(*pages)));
    if (!(max > 0.0f)) return std::nullopt;
    return PageCountPlan{*pages, max};
}

std::optional<std::int32_t> SourcesPerPage(std::string_view text) {
    return rules::RoundHalfEvenToInt32(rules::LeadingNumber(text));
}

}  // namespace vb::builder
