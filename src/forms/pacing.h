#pragma once

#include <algorithm>
#include <chrono>

namespace vb::forms {

// How often a view shows the desktop that the program is alive while the window's thread is
// busy (the views' ShowAlive): window managers wait seconds for an answer (GNOME about five),
// Windows five seconds before it calls a window hung; four looks a second answer well within
// one and cost nothing a page loop would notice.
inline constexpr std::chrono::milliseconds kAliveLookInterval{250};

// Paces a step a view repeats on the window's thread while a write-out runs (an insertion
// into the log, a repaint of the progress bar): the next one is due once the least pause
// has passed since the last one ended, and at least kPauseForCost times as long as the last
// one took. Under Wine both are costly (an EDIT's insertion the more so the more text it
// holds, a themed bar's paint through the X server): a 20,000-page run in the window spent a
// fifth of its time on them. Paced so, they take at most a twentieth of it.
class Pacing {
  public:
    using Clock = std::chrono::steady_clock::time_point (*)();
    static constexpr int kPauseForCost = 19;

    explicit Pacing(std::chrono::milliseconds leastPause,
                    Clock now = &std::chrono::steady_clock::now)
        : now_(now), leastPause_(leastPause) {}

    // Whether a step is due: none was taken yet, or the pause after the last has passed.
    bool Due() const {
        if (!taken_) return true;
        const std::chrono::steady_clock::duration pause =
            std::max<std::chrono::steady_clock::duration>(leastPause_, kPauseForCost * lastCost_);
        return now_() - lastEnd_ >= pause;
    }
    // Around each step taken; a step whose end is not told costs nothing.
    void Began() {
        began_ = lastEnd_ = now_();
        lastCost_ = {};
        taken_ = true;
    }
    void Ended() {
        lastEnd_ = now_();
        lastCost_ = lastEnd_ - began_;
    }
    // What the last step cost no longer holds (the widget was given new content whole).
    void Restart() { taken_ = false; }

  private:
    Clock now_;
    std::chrono::steady_clock::duration leastPause_;
    std::chrono::steady_clock::time_point began_, lastEnd_;
    std::chrono::steady_clock::duration lastCost_{};
    bool taken_ = false;
};

}  // namespace vb::forms
