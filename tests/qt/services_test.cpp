#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "forms/screen.h"
#include "platform/app_title.h"
#include "qt/browser_policy.h"
#include "qt/event_pump.h"
#include "qt/message_box_service.h"
#include "qt/process_setup.h"
#include "qt/screen_binding.h"

namespace vb::qtview {
namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool defaultIsYes = false;
    bool escapeIsNo = false;
    QWidget* parent = nullptr;
};

// Looks at the modal box once it is up, then presses a key on it.
void AnswerNextBox(SeenBox& seen, int key) {
    QTimer::singleShot(0, [&seen, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.parent = box->parentWidget();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        seen.defaultIsYes =
            box->defaultButton() && box->defaultButton() == box->button(QMessageBox::Yes);
        seen.escapeIsNo =
            box->escapeButton() && box->escapeButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
}

TEST(MessageBoxes, YesNoDefaultsToYesAndEscapeAnswersNo) {
    QWidget owner;
    QtMessageBoxService boxes(&owner);
    SeenBox seen;
    AnswerNextBox(seen, Qt::Key_Escape);
    EXPECT_EQ(boxes.Show("一行目\r\n二行目", platform::MsgButtons::YesNo,
                         platform::MsgIcon::Question, ""),
              platform::MsgResult::No);
    EXPECT_EQ(seen.title, QString(platform::kAppTitle));
    EXPECT_EQ(seen.text, QString("一行目\n二行目"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.defaultIsYes);
    EXPECT_TRUE(seen.escapeIsNo);
    EXPECT_EQ(seen.parent, &owner);

    SeenBox enter;
    AnswerNextBox(enter, Qt::Key_Return);
    EXPECT_EQ(boxes.Show("?", platform::MsgButtons::YesNo, platform::MsgIcon::Question, ""),
              platform::MsgResult::Yes);
}

TEST(MessageBoxes, OkBoxesCarryTheirCaptionAndIcon) {
    QtMessageBoxService boxes;
    const std::pair<platform::MsgIcon, QMessageBox::Icon> icons[] = {
        {platform::MsgIcon::Information, QMessageBox::Information},
        {platform::MsgIcon::Exclamation, QMessageBox::Warning},
        {platform::MsgIcon::Critical, QMessageBox::Critical},
    };
    for (const auto& [icon, expected] : icons) {
        SeenBox seen;
        AnswerNextBox(seen, Qt::Key_Escape);
        EXPECT_EQ(boxes.Show("text", platform::MsgButtons::OK, icon, "ﾊﾞｰｼﾞｮﾝ情報"),
                  platform::MsgResult::OK);
        EXPECT_EQ(seen.title, QString("ﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(seen.icon, expected);
        EXPECT_EQ(seen.buttons.size(), 1);
    }
}

TEST(MessageBoxes, StandardButtonsSpeakJapaneseWithQtsOwnTranslations) {
    ASSERT_TRUE(LoadJapaneseTranslations(*qApp)) << "qtbase_ja.qm is not installed";
    QtMessageBoxService boxes;
    SeenBox seen;
    AnswerNextBox(seen, Qt::Key_Return);
    boxes.Show("?", platform::MsgButtons::YesNo, platform::MsgIcon::Question, "");
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    const QString buttons = seen.buttons.join('|');
    EXPECT_TRUE(buttons.contains(QString("はい"))) << buttons.toStdString();
    EXPECT_TRUE(buttons.contains(QString("いいえ"))) << buttons.toStdString();
}

TEST(EventPump, RunsWhatIsWaiting) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QtEventPump pump;
    pump.ProcessEvents();
    EXPECT_TRUE(ran);
}

TEST(ScreenBinding, FillsTheScreenObjectFromQScreen) {
    forms::Screen screen;
    ScreenBinding binding(screen);
    QScreen* q = QGuiApplication::primaryScreen();
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(screen.WidthPixels(), q->geometry().width());
    EXPECT_EQ(screen.HeightPixels(), q->geometry().height());
    EXPECT_EQ(screen.TwipsPerPixelY(), 15.0f);
    EXPECT_EQ(screen.Height(), q->geometry().height() * 15.0f);
    const QRect work = q->availableGeometry().translated(-q->geometry().topLeft());
    EXPECT_EQ(screen.WorkArea().bottom, work.y() + work.height());
    EXPECT_EQ(screen.WorkArea().right, work.x() + work.width());

    // The application-wide pointer.
    screen.SetMousePointer(11);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    screen.SetMousePointer(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BrowserPolicy, AsRootOnlyBlankAndLoopbackAreReached) {
    const BrowserPolicy kept(true);
    const std::pair<const char*, bool> navigations[] = {
        {"about:blank", true},
        {"http://127.0.0.1:8080/member/zund/cm/navigator.php", true},
        {"http://127.1.2.3/", true},
        {"https://localhost/", true},
        {"http://[::1]:9/", true},
        {"about:version", false},
        {"http://cm.vornack.example/member/zund/cm/navigator.php", false},
        {"http://127.0.0.1.example.com/", false},
        {"ftp://127.0.0.1/", false},
        {"file:///etc/passwd", false},
        {"data:text/html,hi", false},
    };
    for (const auto& [url, allowed] : navigations)
        EXPECT_EQ(kept.MayNavigate(QUrl(url)), allowed) << url;
    EXPECT_TRUE(kept.MayRequest(QUrl("data:image/png;base64,AAAA")));
    EXPECT_FALSE(kept.MayRequest(QUrl("https://fonts.example/x.woff")));

    EXPECT_TRUE(BrowserPolicy(false).MayNavigate(QUrl("http://cm.vornack.example/")));
}

}  // namespace
}  // namespace vb::qtview
