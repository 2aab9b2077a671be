#include "forms/append_batch.h"

#include <utility>

#include "forms/text_box.h"

namespace vb::forms {

void AppendBatch::Shown(std::size_t length) {
    shown_ = length;
    pending_.clear();
    // An insertion into the text the widget held before (a whole run's log, cleared at the
    // next run's start) says nothing of the next: it would hold back the next run's lines.
    pacing_.Restart();
}

AppendBatch::Step AppendBatch::Appended(const TextBox& box) {
    const std::string& text = box.CurrentText();
    // Text replaced behind the widget's back (it cannot be, but stay safe), or a CR LF pair
    // split between two appends: the widget takes the text whole.
    if (shown_ > text.size() || (shown_ > 0 && text[shown_ - 1] == '\r')) return Step::ShowWhole;
    pending_.append(text, shown_);
    shown_ = text.size();
    const bool batched = box.MultiLine() && box.Locked();
    if (!batched || pacing_.Due()) return Step::InsertNow;
    if (asked_) return Step::Wait;
    asked_ = true;
    return Step::InsertLater;
}

std::string AppendBatch::Take() {
    pacing_.Began();
    asked_ = false;
    return std::exchange(pending_, {});
}

void AppendBatch::Inserted() { pacing_.Ended(); }

}  // namespace vb::forms
