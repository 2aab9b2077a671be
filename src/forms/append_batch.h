#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "forms/pacing.h"

namespace vb::forms {

class TextBox;

// How a view puts the text appended to a text box into its widget without copying what the
// widget already shows.
//
// A read-only multi-line box (the log) collects appended text and takes it in one insertion
// at the next turn of the event loop, or at once when the last insertion is kBatch old. A
// write-out logs a line per page with no events in between, and laying the widget out after
// every line (under Wine, redrawing an EDIT's scroll bars) cost more than writing the pages.
// The widget is drawn only when events run, so it still shows recent lines whenever it is
// drawn. Nobody types into a read-only box, so its widget never changes while text waits;
// any other box takes each append at once.
//
// Where an insertion costs more the more text the widget holds (Wine's EDIT: 32 ms at
// 350,000 characters), the pause after one grows with its cost (Pacing).
class AppendBatch {
  public:
    static constexpr std::chrono::milliseconds kBatch{100};

    explicit AppendBatch(Pacing::Clock now = &std::chrono::steady_clock::now)
        : pacing_(kBatch, now) {}

    // What the view does after an append.
    enum class Step {
        ShowWhole,    // show the box's whole text: the tail cannot be added on its own
        InsertNow,    // insert Take() at the widget's end now
        InsertLater,  // ask the toolkit for a turn of the event loop, then insert Take()
        Wait,         // an insertion is already asked for
    };

    // The widget now shows text of this many bytes: the whole text was put in, or typed.
    void Shown(std::size_t length);
    // The box's text grew.
    Step Appended(const TextBox& box);
    // The appended text to insert now, with the box's own CR LF breaks.
    std::string Take();
    // The view has put the text Take() gave into its widget.
    void Inserted();

  private:
    Pacing pacing_;
    std::size_t shown_ = 0;  // bytes of the box's text the widget shows, or will
    std::string pending_;
    bool asked_ = false;
};

}  // namespace vb::forms
