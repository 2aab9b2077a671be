#include "forms/combo_box.h"

#include "forms/errors.h"

namespace vb::forms {

std::string ComboBox::Text() const {
    return listIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(listIndex_)];
}

void ComboBox::SetText(const std::string&) {
    throw PropertyNotSupported("'Text' プロパティは読み取り専用です。");
}

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    Notify(Change::Items);
}

void ComboBox::AddItem(const std::string& item) {
    items_.push_back(item);
    // A list of thousands of servers is filled an item at a time: each view adds the one.
    Notify(Change::ItemAdded);
}

void ComboBox::SetListIndex(int index) {
    if (!AcceptsListIndex(index)) throw InvalidPropertyValue();
    listIndex_ = index;
    Notify(Change::ListIndex);
}

}  // namespace vb::forms
