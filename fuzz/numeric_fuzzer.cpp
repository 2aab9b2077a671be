// The number rules of the count fields on any text: the numeric test, the leading value and
// rounding never crash or overflow, and they agree with each other and with the C library:
// a numeric text has the value strtod gives it once its thousands separators are gone;
// blanks around a number and a word after it change nothing; rounding is the nearest whole
// number with halves to even, refused exactly when that number does not fit; a page-count
// plan never asks the progress bar for a value above its maximum.
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "builder/page_counts.h"
#include "fuzz_support.h"
#include "rules/numeric.h"

namespace {

using vb::fuzz::Shown;
namespace b = vb::builder;
namespace r = vb::rules;

bool SameValue(double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; }

// The text without blanks at its ends and without ',' (the checks run only on numeric text,
// where every ',' is a thousands separator).
std::string PlainNumber(const std::string& text) {
    std::string plain;
    for (char c : text)
        if (c != ',' && c != ' ' && c != '\t') plain += c;
    return plain;
}

template <typename Int>
void CheckRounding(double value, const std::optional<Int>& rounded) {
    // Built only when a property breaks.
    const auto detail = [&] { return std::string("value " + std::to_string(value)); };
    if (std::isnan(value)) {
        VB_FUZZ_CHECK(!rounded, detail());
        return;
    }
    // nearbyint rounds halves to even in the default rounding mode.
    const double expected = std::nearbyint(value);
    const bool fits = expected >= static_cast<double>(std::numeric_limits<Int>::min()) &&
                      expected <= static_cast<double>(std::numeric_limits<Int>::max());
    VB_FUZZ_CHECK(rounded.has_value() == fits, detail());
    if (rounded) VB_FUZZ_CHECK(static_cast<double>(*rounded) == expected, detail());
}

void CheckText(const std::string& text) {
    const bool numeric = r::IsNumeric(text);
    const double value = r::LeadingNumber(text);
    // Built only when a property breaks.
    const auto detail = [&] {
        return std::string("text " + Shown(text) + " value " + std::to_string(value));
    };

    // Blanks around it never change the verdict or the value.
    VB_FUZZ_CHECK(r::IsNumeric(" \t" + text + "\t ") == numeric, detail());
    VB_FUZZ_CHECK(SameValue(r::LeadingNumber(" " + text), value), detail());

    if (numeric) {
        const std::string plain = PlainNumber(text);
        errno = 0;
        char* end = nullptr;
        const double reference = std::strtod(plain.c_str(), &end);
        VB_FUZZ_CHECK(end == plain.c_str() + plain.size(), detail() + " plain " + Shown(plain));
        // Below the smallest normal double the two may differ by the last denormal bits.
        if (std::fabs(reference) >= DBL_MIN || reference == 0.0)
            VB_FUZZ_CHECK(SameValue(value, reference) || (value == 0.0 && reference == 0.0),
                          detail() + " strtod " + std::to_string(reference));
        else
            VB_FUZZ_CHECK(std::fabs(value) < DBL_MIN, detail());

        // A word after the number does not change its value; a minus before it negates it.
        VB_FUZZ_CHECK(SameValue(r::LeadingNumber(text + " pages"), value), detail());
        VB_FUZZ_CHECK(!r::IsNumeric(text + " pages"), detail());
        const std::size_t first = text.find_first_not_of(" \t");
        if (text[first] != '+' && text[first] != '-')
            VB_FUZZ_CHECK(SameValue(r::LeadingNumber("-" + text.substr(first)), -value), detail());
    } else {
        VB_FUZZ_CHECK(!std::isnan(value), detail());
    }

    CheckRounding(value, r::RoundHalfEvenToInt32(value));
    CheckRounding(value, r::RoundHalfEvenToInt16(value));

    const auto rounded = r::RoundHalfEvenToInt32(value);
    if (const auto plan = b::PlanPageCount(text)) {
        VB_FUZZ_CHECK(rounded && plan->pages == *rounded, detail());
        VB_FUZZ_CHECK(plan->pages >= 0 && plan->pages <= b::kMaxPageCount, detail());
        VB_FUZZ_CHECK(plan->progressMax > 0.0f, detail());
        // Every page's progress value, the last one included, lies within the bar's range.
        VB_FUZZ_CHECK(static_cast<float>(plan->pages) <= plan->progressMax, detail());
    } else {
        // Refused only when the count is no positive number the bar can hold, or too large.
        VB_FUZZ_CHECK(
            !rounded || *rounded > b::kMaxPageCount || !(static_cast<float>(value) > 0.0f),
            detail());
    }
    const auto perPage = b::SourcesPerPage(text);
    VB_FUZZ_CHECK(perPage == rounded, detail());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckText(text);
    // The same bytes as a double, to reach infinities, NaNs, denormals and exact halves.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        CheckRounding(raw, r::RoundHalfEvenToInt32(raw));
        CheckRounding(raw, r::RoundHalfEvenToInt16(raw));
    }
    return 0;
}
