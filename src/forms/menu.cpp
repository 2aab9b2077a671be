#include "forms/menu.h"

namespace vb::forms {

namespace {

// Bytes of the UTF-8 sequence that starts with this byte.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

Menu::Menu(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

void Menu::SetCaption(const std::string& caption) {
    caption_ = caption;
    Notify(Change::Caption);
}

std::string Menu::AccessKey() const { return AccessKeyOf(caption_); }

void Menu::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Notify(Change::Enabled);
}

void Menu::SetVisible(bool visible) {
    visible_ = visible;
    Notify(Change::Visible);
}

void Menu::AddItem(Menu& item) {
    item.parentMenu_ = this;
    items_.push_back(&item);
    Notify(Change::Items);
}

std::string AccessKeyOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // a literal ampersand
            continue;
        }
        return caption.substr(i + 1, SequenceLength(static_cast<unsigned char>(caption[i + 1])));
    }
    return {};
}

std::string CaptionWithoutAccessMarks(const std::string& caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

}  // namespace vb::forms
