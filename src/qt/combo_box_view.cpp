#include "qt/combo_box_view.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vb::qtview {

ComboBoxView::ComboBoxView(forms::ComboBox& box, QWidget* parent)
    : ControlView(box, new QComboBox(parent)), box_(box) {
    combo_ = static_cast<QComboBox*>(Widget());
    combo_->setEditable(false);
    // "activated" is the user's choice only (mouse or keyboard), never a change by code.
    QObject::connect(combo_, &QComboBox::activated, combo_,
                     [this](int index) { box_.SetListIndexFromView(index); });
}

void ComboBoxView::RefreshOwn() {
    combo_->setFocusPolicy(box_.TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    ShowItems();
}

void ComboBoxView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Items) ShowItems();
    if (change == forms::Change::ItemAdded) ShowAddedItem();
    if (change == forms::Change::ListIndex) ShowSelection();
}

void ComboBoxView::ShowAddedItem() {
    const auto& items = box_.Items();
    // A view that missed a change shows the whole list again.
    if (static_cast<std::size_t>(combo_->count()) + 1 != items.size()) return ShowItems();
    const QSignalBlocker blocker(combo_);
    combo_->addItem(QString::fromStdString(items.back()));
    // The first item added becomes the widget's current one; the list's choice stays.
    if (combo_->currentIndex() != box_.ListIndex()) combo_->setCurrentIndex(box_.ListIndex());
}

void ComboBoxView::ShowItems() {
    const QSignalBlocker blocker(combo_);
    combo_->clear();
    for (const std::string& item : box_.Items()) combo_->addItem(QString::fromStdString(item));
    combo_->setCurrentIndex(box_.ListIndex());
}

void ComboBoxView::ShowSelection() {
    const QSignalBlocker blocker(combo_);
    combo_->setCurrentIndex(box_.ListIndex());
}

}  // namespace vb::qtview
