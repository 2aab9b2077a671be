#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "forms/form.h"

namespace vb::forms {

// The views a form window keeps for the controls of its form, in the order they were added,
// and the hooks through which the form and its controls report their changes to the window.
// The registry's end unhooks the form and every control before any view goes, so no change
// reaches a window or a view that is gone. A View has Control() (the control it draws) and
// TakesFocus() (it is in the tab order) and Refresh() (it shows all of its control); it must
// not outlive its control; Update(change) draws one change.
template <class View>
class ViewRegistry {
  public:
    explicit ViewRegistry(Form& form) : form_(form) {}
    ~ViewRegistry() { Clear(); }
    ViewRegistry(const ViewRegistry&) = delete;
    ViewRegistry& operator=(const ViewRegistry&) = delete;

    // Hands the form's own changes to the window.
    void FollowForm(std::function<void(Change)> onFormChange) {
        form_.SetObserver(std::move(onFormChange));
    }

    // Shows the form's controls, now and each one added to the form later: add makes a view
    // of a control and adds it here; each new view is then placed with place and refreshed,
    // and arrange orders the window's views once. All views are made before any is placed,
    // so that a container has its view when the controls inside it are placed.
    void ShowControls(std::function<View&(Control&)> add, std::function<void(View&)> place,
                      std::function<void()> arrange) {
        const std::size_t first = views_.size();
        for (Control* control : form_.Controls()) add(*control);
        for (std::size_t i = first; i < views_.size(); ++i) place(*views_[i]);
        for (std::size_t i = first; i < views_.size(); ++i) views_[i]->Refresh();
        arrange();
        form_.SetControlAddedObserver([add, place, arrange](Control& control) {
            View& view = add(control);
            place(view);
            view.Refresh();
            arrange();
        });
    }

    // Keeps the view and has it draw every change of its control. A new geometry may put
    // the control into another container, so the window places the view again first (place);
    // a new z-order restacks the window's views (restack).
    View& Add(std::unique_ptr<View> view, std::function<void(View&)> place,
              std::function<void()> restack) {
        View& added = *views_.emplace_back(std::move(view));
        viewOf_[&added.Control()] = &added;
        added.Control().SetObserver(
            [&added, place = std::move(place), restack = std::move(restack)](Change change) {
                if (change == Change::Geometry) place(added);
                added.Update(change);
                if (change == Change::ZOrder) restack();
            });
        return added;
    }

    // The view of a control; nullptr for a control of another form.
    View* For(const Control& control) const {
        auto it = viewOf_.find(&control);
        return it == viewOf_.end() ? nullptr : it->second;
    }
    const std::vector<std::unique_ptr<View>>& All() const { return views_; }

    // The views that take the focus, by TabIndex; equal indexes keep the order of adding.
    std::vector<View*> TabOrder() const {
        std::vector<View*> order;
        for (const auto& view : views_)
            if (view->TakesFocus()) order.push_back(view.get());
        std::stable_sort(order.begin(), order.end(), [](const View* a, const View* b) {
            return a->Control().TabIndex() < b->Control().TabIndex();
        });
        return order;
    }

    // Unhooks the form and every control, then lets the views go.
    void Clear() {
        form_.SetObserver(nullptr);
        form_.SetControlAddedObserver(nullptr);
        for (const auto& view : views_) view->Control().SetObserver(nullptr);
        viewOf_.clear();
        views_.clear();
    }

  private:
    Form& form_;
    std::vector<std::unique_ptr<View>> views_;
    std::map<const Control*, View*> viewOf_;
};

}  // namespace vb::forms
