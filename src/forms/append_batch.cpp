#include "forms/append_batch.h"

#include <algorithm>
#include <utility>

#include "forms/text_box.h"

namespace vb::forms {

void AppendBatch::Shown(std::size_t length) {
    shown_ = length;
    pending_.clear();
}

AppendBatch::Step AppendBatch::Appended(const TextBox& box) {
    const std::string& text = box.CurrentText();
    // Text replaced behind the widget's back (it cannot be, but stay safe), or a CR LF pair
    // split between two appends: the widget takes the text whole.
    if (shown_ > text.size() || (shown_ > 0 && text[shown_ - 1] == '\r')) return Step::ShowWhole;
    pending_.append(text, shown_);
    shown_ = text.size();
    const bool batched = box.MultiLine() && box.Locked();
    const auto pause =
        std::max<std::chrono::steady_clock::duration>(kBatch, kPauseForCost * lastCost_);
    if (!batched || !inserted_ || now_() - lastInsert_ >= pause) return Step::InsertNow;
    if (asked_) return Step::Wait;
    asked_ = true;
    return Step::InsertLater;
}

std::string AppendBatch::Take() {
    lastInsert_ = now_();
    lastCost_ = {};
    inserted_ = true;
    asked_ = false;
    return std::exchange(pending_, {});
}

void AppendBatch::Inserted() {
    const auto end = now_();
    lastCost_ = end - lastInsert_;
    lastInsert_ = end;
}

}  // namespace vb::forms
