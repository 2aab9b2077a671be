// The real main window drawn by the Qt view on the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QImageReader>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <filesystem>
#include <memory>

#include "fakes.h"
#include "platform/app_title.h"
#include "platform/program_folder.h"
#include "qt/form_window.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

class MainWindowViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
        fs::create_directories(dir / "local");
        fs::create_directories(dir / "three");
        for (const char* name : {"a", "b", "c"}) WriteBytes(dir / "three" + "/" + name, "x");
        form = std::make_unique<ui::frmVornack>(ui::WindowServices{boxes, events, shell});
        window = std::make_unique<qtview::FormWindow>(*form);
        window->ShowForm();
        form->Form_Load();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        form.reset();
        platform::SetProgramFolderForTesting("");
    }
    QWidget* WidgetOf(const forms::Control& c) { return window->WidgetFor(c); }

    TempDir dir;
    FakeMessageBox boxes;
    CountingEventPump events;
    FakeDesktopShell shell;
    std::unique_ptr<ui::frmVornack> form;
    std::unique_ptr<qtview::FormWindow> window;
};

TEST_F(MainWindowViewTest, ControlsAppearAtTheirDesignedPixels) {
    EXPECT_EQ(window->ClientArea()->size(), QSize(505, 339));  // 7575 x 5085 twips
    EXPECT_EQ(WidgetOf(form->txtSrcPath)->geometry(), QRect(110, 10, 383, 20));
    EXPECT_EQ(WidgetOf(form->txtLog)->geometry(), QRect(110, 190, 189, 127));
    EXPECT_EQ(WidgetOf(form->cboTitle)->geometry(), QRect(110, 150, 383, 20));
    EXPECT_EQ(window->windowTitle().toStdString(),
              std::string(platform::kAppTitle) + " v" VB_TEST_CAPTION_VERSION);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(WidgetOf(form->wbCM)->isVisible());
    EXPECT_TRUE(WidgetOf(form->txtCM)->isVisible());
    const auto menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text().toStdString(), "操作(&O)");
    EXPECT_EQ(menus[1]->text().toStdString(), "ﾍﾙﾌﾟ(&H)");
}

TEST_F(MainWindowViewTest, ThePlaceholderShowsBothItsLinesCentredOnItsPlace) {
    auto* cm = qobject_cast<QTextEdit*>(WidgetOf(form->txtCM));
    ASSERT_NE(cm, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(cm->toPlainText(), QString(ui::kAdPlaceholder).replace("\r\n", "\n"));
    EXPECT_EQ(cm->verticalScrollBar()->value(), 0);
    const QTextBlock second = cm->document()->findBlockByNumber(1);
    const QRectF secondLine = cm->document()->documentLayout()->blockBoundingRect(second);
    EXPECT_LE(secondLine.bottom(), cm->viewport()->height());
    EXPECT_EQ(cm->geometry().center().y(), QRect(358, 242, 79, 25).center().y());
}

TEST_F(MainWindowViewTest, TheSourceFieldHasTheFocusFirstAndTabRefreshesTheCount) {
    auto* path = qobject_cast<QLineEdit*>(WidgetOf(form->txtSrcPath));
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->hasFocus());
    QTest::keyClicks(path, QString::fromStdString(dir / "three"));
    EXPECT_EQ(form->txtSrcNum.Text(), "");  // typing alone does not count
    QTest::keyClick(path, Qt::Key_Tab);
    EXPECT_EQ(form->txtSrcNum.Text(), "3");
    EXPECT_TRUE(WidgetOf(form->txtSrcNum)->hasFocus());
}

TEST_F(MainWindowViewTest, OpeningAMenuDoesNotRefreshTheCount) {
    auto* path = qobject_cast<QLineEdit*>(WidgetOf(form->txtSrcPath));
    path->setFocus();
    QTest::keyClicks(path, QString::fromStdString(dir / "three"));
    QMenu* operate = window->menuBar()->actions()[0]->menu();
    operate->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(operate));
    operate->close();
    QApplication::processEvents();
    EXPECT_EQ(form->txtSrcNum.Text(), "");
}

TEST_F(MainWindowViewTest, ClosingTheWindowSavesTheSettings) {
    form->txtMakePageNum.SetText("77");
    window->close();
    QApplication::processEvents();
    EXPECT_TRUE(form->IsUnloaded());
    const std::string saved = ReadBytes(dir / "VornackBuilder.ini");
    EXPECT_NE(saved.find("MakePageNum=77\r\n"), std::string::npos);
}

// The window shows the picture the Windows executable carries as its icon.
TEST_F(MainWindowViewTest, TheWindowShowsTheSameIconAsTheWindowsEdition) {
    QImageReader ico(QStringLiteral(VB_SOURCE_DIR "/resources/app_icon.ico"));
    QImage windowsIcon;
    for (int i = 0; i < ico.imageCount() && ico.jumpToImage(i); ++i)
        if (const QImage image = ico.read(); image.width() == 256) windowsIcon = image;
    ASSERT_FALSE(windowsIcon.isNull());
    const QImage shown = window->windowIcon().pixmap(256).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              windowsIcon.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

}  // namespace
}  // namespace vb::test
