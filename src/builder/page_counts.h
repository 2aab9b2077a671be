#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vb::builder {

// Page names are "vor" + five hexadecimal digits, so one run can make at most 16^5
// different pages.
inline constexpr std::int32_t kMaxPageCount = 1 << 20;

// How a page count text drives a run: the number of pages (its value rounded, halves to
// even) and the progress bar's maximum. The maximum is the larger of the typed value and
// the page count, so the bar takes every page's value: 2.5 makes 2 pages and keeps the
// maximum 2.5; 3.5 makes 4 pages with the maximum 4; 0.4 makes no page with the maximum 0.4.
struct PageCountPlan {
    std::int32_t pages = 0;
    float progressMax = 0.0f;
};

// The plan for a page count text, read by its leading number. Empty when the value is 0 or
// less (as a progress maximum), when its rounded value does not fit a signed 32-bit integer
// or when it asks for more pages than there are page names.
std::optional<PageCountPlan> PlanPageCount(std::string_view text);

// The sources per page: the text's leading number rounded, halves to even. Empty when it
// does not fit a signed 32-bit integer. Zero or less makes pages with an empty body.
std::optional<std::int32_t> SourcesPerPage(std::string_view text);

}  // namespace vb::builder
