#include "fakes.h"

namespace vb::test {

platform::MsgResult FakeMessageBox::Show(const std::string& text, platform::MsgButtons buttons,
                                         platform::MsgIcon icon, const std::string& caption) {
    shown_.push_back({text, buttons, icon, caption});
    if (!onShow_.empty()) {
        auto action = std::move(onShow_.front());
        onShow_.pop_front();
        action();
    }
    if (!answers_.empty()) {
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return buttons == platform::MsgButtons::YesNo ? platform::MsgResult::Yes
                                                  : platform::MsgResult::OK;
}

std::vector<std::string> FakeMessageBox::texts() const {
    std::vector<std::string> out;
    for (const auto& s : shown_) out.push_back(s.text);
    return out;
}

void CountingEventPump::ProcessEvents() {
    ++yields_;
    for (auto& [n, action] : actions_)
        if (n == yields_ && action) action();
}

void CountingEventPump::AtYield(int n, std::function<void()> action) {
    actions_.emplace_back(yields_ + n, std::move(action));
}

}  // namespace vb::test
