#include "qt/form_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLayout>
#include <QMenuBar>
#include <QSessionManager>
#include <QWindow>
#include <algorithm>

#include "forms/menu.h"
#include "qt/failure_report.h"
#include "qt/geometry.h"
#include "qt/menu_builder.h"
#include "qt/system_colors.h"

namespace vb::qtview {

FormWindow::FormWindow(forms::Form& form, QWidget* parent, BrowserPolicy browserPolicy)
    : QMainWindow(parent),
      form_(form),
      browserPolicy_(browserPolicy),
      client_(new QWidget(this)),
      views_(form),
      rules_(form, RunGuarded) {
    setObjectName(QString::fromStdString(form.Name()));
    setCentralWidget(client_);
    setWindowIcon(QIcon(QStringLiteral(":/vornackbuilder/app_icon.png")));
    client_->setObjectName(QStringLiteral("clientArea"));
    // The form's background is the button face.
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window,
                     ResolveColor(forms::kButtonFace, QApplication::palette(client_)));
    client_->setPalette(palette);
    client_->setAutoFillBackground(true);
    QFont font = client_->font();
    font.setPointSize(9);
    client_->setFont(font);
    // The layout is fixed: the window takes exactly the menu bar and the client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    actions_ = BuildMenuBar(*menuBar(), form.Menus());
    menuBar()->setVisible(!form.Menus().empty());

    views_.ShowControls(
        [this](forms::Control& control) -> ControlView& { return AddView(control); },
        [this](ControlView& view) { PlaceInContainer(view); },
        [this] {
            Restack();
            ApplyTabOrder();
        });

    setWindowTitle(QString::fromStdString(form.Caption()));
    ApplyClientSize();
    ApplyPosition();
    ApplyTopMost();

    views_.FollowForm([this](forms::Change change) { OnFormChange(change); });
    connect(qApp, &QApplication::focusChanged, this, &FormWindow::OnFocusChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { rules_.EndSession(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { rules_.EndSession(); });
}

FormWindow::~FormWindow() {
    ReleaseMenus(form_.Menus());
    // The widgets go before their views, so that nothing they still report reaches a view
    // that is gone.
    delete client_;
    client_ = nullptr;
    views_.Clear();
}

QWidget* FormWindow::WidgetFor(const forms::Control& control) const {
    ControlView* view = ViewFor(control);
    return view ? view->Widget() : nullptr;
}

ControlView* FormWindow::ViewFor(const forms::Control& control) const {
    return views_.For(control);
}

QAction* FormWindow::ActionFor(const forms::Menu& menu) const {
    auto it = actions_.find(&menu);
    return it == actions_.end() ? nullptr : it->second;
}

ControlView& FormWindow::AddView(forms::Control& control) {
    ControlView& view = views_.Add(
        MakeControlView(
            control, client_,
            [this](const std::string& url) {
                if (OpenExternally) OpenExternally(url);
            },
            browserPolicy_),
        [this](ControlView& changed) { PlaceInContainer(changed); }, [this] { Restack(); });
    if (view.Widget()) {
        controlOf_[view.Widget()] = &control;
        view.Widget()->installEventFilter(this);
    }
    return view;
}

void FormWindow::PlaceInContainer(ControlView& view) {
    QWidget* widget = view.Widget();
    if (!widget) return;
    QWidget* parent = client_;
    if (const forms::Control* container = view.Control().Container())
        if (QWidget* w = WidgetFor(*container)) parent = w;
    if (widget->parentWidget() != parent) {
        widget->setParent(parent);  // hides the widget
        widget->setVisible(view.Control().Visible());
        Restack();
    }
}

void FormWindow::Restack() {
    // Graphical controls lie on their container's surface, beneath every control with a
    // window of its own; within each group the form's z-order holds.
    for (bool graphical : {true, false}) {
        for (forms::Control* control : form_.ZOrderList()) {
            ControlView* view = ViewFor(*control);
            if (view && view->Widget() && view->IsGraphical() == graphical) view->Widget()->raise();
        }
    }
}

std::vector<QWidget*> FormWindow::TabOrder() const {
    std::vector<QWidget*> order;
    for (ControlView* view : views_.TabOrder()) order.push_back(view->Widget());
    return order;
}

void FormWindow::ApplyTabOrder() {
    const std::vector<QWidget*> order = TabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void FormWindow::OnFormChange(forms::Change change) {
    using forms::Change;
    if (change == Change::Caption) setWindowTitle(QString::fromStdString(form_.Caption()));
    if (change == Change::Geometry) {
        ApplyClientSize();
        ApplyPosition();
    }
    if (change == Change::TopMost) ApplyTopMost();
    if (change == Change::Activate && isVisible()) {
        raise();
        activateWindow();
    }
    if (change == Change::Unloaded) {
        rules_.MarkClosing();
        close();
    }
}

void FormWindow::ApplyClientSize() {
    client_->setFixedSize(forms::ToPixelsX(form_.ClientWidth()),
                          forms::ToPixelsY(form_.ClientHeight()));
    layout()->activate();  // the window takes its new size now, not at the next event
}

void FormWindow::ApplyPosition() {
    move(forms::ToPixelsX(form_.Left()), forms::ToPixelsY(form_.Top()));
}

void FormWindow::ApplyTopMost() {
    Qt::WindowFlags flags = windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == form_.TopMost()) return;
    flags.setFlag(Qt::WindowStaysOnTopHint, form_.TopMost());
    QWindow* native = windowHandle();
    if (!native) {
        setWindowFlags(flags);
        return;
    }
    // Through the widget a new flag re-creates the native window (hidden, then shown as
    // another window): a close or a key sent to the old one meanwhile would be lost. The
    // window system moves the window it has into the new band instead.
    overrideWindowFlags(flags);
    native->setFlags(flags);
}

void FormWindow::ShowForm() {
    ApplyPosition();
    show();
    raise();
    activateWindow();
    const std::vector<QWidget*> order = TabOrder();
    auto first = std::find_if(order.begin(), order.end(), [](QWidget* w) {
        return w->isVisibleTo(w->window()) && w->isEnabled() && w->focusPolicy() & Qt::TabFocus;
    });
    if (first != order.end()) (*first)->setFocus(Qt::TabFocusReason);
    ReportFrame();
}

void FormWindow::ReportFrame() {
    if (!client_) return;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int clientTop = client_->y();
    const int clientBottomGap = height() - (client_->y() + client_->height());
    form_.SetFrameFromView({forms::ToTwipsX(inner.x() - frame.x()),
                            forms::ToTwipsY(inner.y() - frame.y() + clientTop),
                            forms::ToTwipsX(frame.right() - inner.right()),
                            forms::ToTwipsY(frame.bottom() - inner.bottom() + clientBottomGap)});
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window's position (its frame's top-left corner) as the window system placed it.
    form_.SetPositionFromView(forms::ToTwipsX(x()), forms::ToTwipsY(y()));
    ReportFrame();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ReportFrame();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (rules_.AllowsClose())
        event->accept();
    else
        event->ignore();
}

namespace {

// Alt with a printable key and without Ctrl: what a user types to reach a menu.
bool IsAccessKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers();
    return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier) &&
           !key.text().isEmpty() && key.text().at(0).isPrint();
}

}  // namespace

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    // The menu bar's access keys are shortcuts of an active window. A key that reaches a
    // control instead (the window was not yet active for Qt when it came) would otherwise be
    // typed into a field as a plain letter.
    if (event->type() == QEvent::KeyPress && IsAccessKey(*static_cast<QKeyEvent*>(event))) {
        OpenMenuOfAccessKey(static_cast<QKeyEvent*>(event)->key());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormWindow::OpenMenuOfAccessKey(int key) {
    for (QAction* action : menuBar()->actions()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
        if (mnemonic.isEmpty() || mnemonic[0].key() != key) continue;
        if (!action->isEnabled() || !action->isVisible()) return;
        activateWindow();
        menuBar()->setActiveAction(action);
        return;
    }
}

forms::Control* FormWindow::ControlOf(QWidget* widget) const {
    if (!widget || widget->window() != this) return nullptr;
    for (QWidget* w = widget; w && w != this; w = w->parentWidget()) {
        auto it = controlOf_.find(w);
        if (it != controlOf_.end()) return it->second;
    }
    return nullptr;
}

void FormWindow::OnFocusChanged(QWidget*, QWidget* now) { rules_.FocusMovedTo(ControlOf(now)); }

}  // namespace vb::qtview
