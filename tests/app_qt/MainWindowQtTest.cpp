// The program's main window on the Qt backend (offscreen platform): it comes up, its options
// switch the visible page, closing ends the run with 0. Every tab is saved as a PNG under
// <build>/screenshots for people to look at.

#include "QtProgram.h"

#include "toolkit/CTabLayoutUI.h"

#include <QWebEngineView>

#include <cstdint>

using namespace qtprogram;

namespace {

// Whether the option's page is the one tab page on screen.
bool OnlyPageShown(CMainFrameWnd& frame, const char* option)
{
    CTabLayoutUI* tabs = frame.GetTabLayout();
    CControlUI* control = frame.GetPaintManager()->FindControl(option);
    if (!tabs || !control)
        return false;
    for (int i = 0; i < tabs->GetCount(); ++i) {
        CControlUI* page = tabs->GetItemAt(i);
        if (Shown(frame, page) != (reinterpret_cast<std::uintptr_t>(page) == control->GetTag()))
            return false;
    }
    return true;
}

// Gives the web views of the shown page a moment to draw their pages.
void LetWebViewsSettle(CMainFrameWnd& frame)
{
    for (QWebEngineView* view : Top(frame)->findChildren<QWebEngineView*>()) {
        if (!view->isVisibleTo(Top(frame)))
            continue;
        bool loaded = false;
        QObject::connect(view, &QWebEngineView::loadFinished, view, [&loaded] { loaded = true; });
        (void)QTest::qWaitFor([&] { return loaded; }, 4000);
        QObject::disconnect(view, &QWebEngineView::loadFinished, view, nullptr);
    }
    QTest::qWait(300);
}

// The program runs in a working folder of its own, as the launcher starts it.
class MainWindowQtTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(BinaryDir() / "bin" / "Skin" / "kelpmeres.zip")); }
    ProgramFolder m_work;
};

TEST_F(MainWindowQtTest, TheFramelessWindowComesUpOnTheAdPageEachOptionShowsItsPageAndTheCloseButtonEndsWithZero)
{
    RunAndClose([&](CMainFrameWnd& frame) {
        QWidget* top = Top(frame);
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top->isVisible());
        EXPECT_EQ(top->size(), QSize(800, 600));
        EXPECT_TRUE(top->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(top->windowTitle(), QStringLiteral("Kelpmere"));
        EXPECT_FALSE(top->windowIcon().isNull());
        ASSERT_NE(frame.GetAdPage(), nullptr);
        EXPECT_TRUE(OnlyPageShown(frame, "adOption"));
        // Away from the first tab and back, so every option really switches.
        Click(frame, "searchOption");
        for (const auto& [option, file] : {std::pair{"adOption", "tab-ad.png"}, {"singleOption", "tab-single.png"},
                 {"batchOption", "tab-batch.png"}, {"searchOption", "tab-search.png"}}) {
            Click(frame, option);
            ASSERT_TRUE(OnlyPageShown(frame, option)) << option;
            LetWebViewsSettle(frame);
            EXPECT_TRUE(SaveScreenshot(frame, file)) << file;
        }
    });
}

TEST_F(MainWindowQtTest, TheWindowSystemsCloseEndsTheProgramWithZero)
{
    const bool endedByScript = true;
    bool ran = false;
    EXPECT_EQ(RunProgram(
                  [&](CMainFrameWnd& frame) {
                      ran = true;
                      Top(frame)->close(); // the window manager's close, Alt+F4
                  },
                  &endedByScript),
        0);
    EXPECT_TRUE(ran);
}

} // namespace
