// The program's main window on the Qt backend (offscreen platform): it comes up, its options
// switch the visible page, closing ends the run with 0. Every tab is saved as a PNG under
// <build>/screenshots for people to look at.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/WorkingFolder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit_qt/QtTestEnvironment.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path BinaryDir()
{
    return fs::path(KELPMERE_TEST_BINARY_DIR);
}

struct Tab {
    const char* option;
    const char* file;
};
constexpr Tab kTabs[] = {{"adOption", "tab-ad.png"}, {"singleOption", "tab-single.png"},
    {"batchOption", "tab-batch.png"}, {"searchOption", "tab-search.png"}};

class MainWindowQtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program runs in a working folder of its own with Ad/images, as the launcher starts it
        // (tests running side by side never share the page file).
        ASSERT_TRUE(fs::exists(BinaryDir() / "bin" / "Skin" / "kelpmeres.zip"));
        m_work.emplace();
        m_work->CopyAdPictures();
    }
    void TearDown() override { m_work.reset(); }

    // Runs the program; script runs inside its message loop once the main window is shown.
    int Run(std::function<void(CMainFrameWnd&)> script)
    {
        QtBackend& backend = QtTestEnvironment::Backend();
        const CDuiString skins((BinaryDir() / "bin" / "Skin").string());
        return RunKelpmere(backend, nullptr, skins, [&](CMainFrameWnd& frame) {
            QTimer::singleShot(0, [&] {
                backend.FlushUpdates();
                script(frame);
            });
        });
    }

    static QtBackend& Backend() { return QtTestEnvironment::Backend(); }
    static QWidget* Top(CMainFrameWnd& frame) { return QtBackend::WindowWidget(frame.GetHWND()); }
    static QWidget* WidgetNamed(CMainFrameWnd& frame, const char* name)
    {
        CControlUI* control = frame.GetPaintManager()->FindControl(name);
        return control ? Backend().WidgetOf(*control) : nullptr;
    }
    static void Click(CMainFrameWnd& frame, const char* name)
    {
        QWidget* widget = WidgetNamed(frame, name);
        ASSERT_NE(widget, nullptr) << name;
        // Through the window, as the window system delivers it.
        const QPoint centre = widget->mapTo(Top(frame), widget->rect().center());
        QTest::mouseClick(Top(frame)->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
        QCoreApplication::processEvents();
        Backend().FlushUpdates();
    }
    // The page the tab layout shows, if its widget is the only page widget on screen.
    static CControlUI* ShownPage(CMainFrameWnd& frame)
    {
        CTabLayoutUI* tabs = frame.GetTabLayout();
        if (!tabs)
            return nullptr;
        CControlUI* shown = nullptr;
        for (int i = 0; i < tabs->GetCount(); ++i) {
            QWidget* widget = Backend().WidgetOf(*tabs->GetItemAt(i));
            if (widget && widget->isVisibleTo(Top(frame))) {
                if (shown)
                    return nullptr;
                shown = tabs->GetItemAt(i);
            }
        }
        return shown;
    }
    // Gives the web views of the shown page a moment to draw their pages.
    static void LetWebViewsSettle(CMainFrameWnd& frame)
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

    std::optional<WorkingFolder> m_work;
};

TEST_F(MainWindowQtTest, TheMainWindowComesUpFramelessCentredWithTheAdvertisementPage)
{
    bool checked = false;
    const int code = Run([&](CMainFrameWnd& frame) {
        QWidget* top = Top(frame);
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top->isVisible());
        EXPECT_EQ(top->size(), QSize(800, 600));
        EXPECT_TRUE(top->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(top->windowTitle(), QStringLiteral("Kelpmere"));
        EXPECT_FALSE(top->windowIcon().isNull());
        ASSERT_NE(frame.GetAdPage(), nullptr);
        CControlUI* adOption = frame.GetPaintManager()->FindControl("adOption");
        ASSERT_NE(adOption, nullptr);
        CControlUI* shown = ShownPage(frame);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(shown), adOption->GetTag());
        checked = true;
        CPaintManagerUI::PostQuit(0);
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(checked);
}

TEST_F(MainWindowQtTest, ClickingEachOptionShowsItsPageAndEveryTabIsPhotographed)
{
    const fs::path shots = BinaryDir() / "screenshots";
    fs::create_directories(shots);
    int switched = 0;
    Run([&](CMainFrameWnd& frame) {
        // Away from the first tab and back, so every option really switches.
        Click(frame, "searchOption");
        for (const Tab& tab : kTabs) {
            Click(frame, tab.option);
            CControlUI* option = frame.GetPaintManager()->FindControl(tab.option);
            ASSERT_NE(option, nullptr);
            CControlUI* page = ShownPage(frame);
            ASSERT_NE(page, nullptr) << tab.option;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(page), option->GetTag()) << tab.option;
            // The pointer rests on the page, so the option shows its selected look, not the hot one.
            QTest::mouseMove(Top(frame)->windowHandle(), QPoint(400, 400));
            LetWebViewsSettle(frame);
            const fs::path file = shots / tab.file;
            fs::remove(file);
            EXPECT_TRUE(Top(frame)->grab().save(QString::fromStdString(file.string()), "PNG")) << file;
            EXPECT_TRUE(fs::exists(file));
            ++switched;
        }
        CPaintManagerUI::PostQuit(0);
    });
    EXPECT_EQ(switched, 4);
}

TEST_F(MainWindowQtTest, ClickingTheCloseButtonEndsTheProgramWithZero)
{
    bool clicked = false;
    const int code = Run([&](CMainFrameWnd& frame) {
        clicked = true;
        Click(frame, "closebtn");
    });
    EXPECT_TRUE(clicked);
    EXPECT_EQ(code, 0);
}

TEST_F(MainWindowQtTest, ClosingTheMainWindowThroughTheWindowSystemEndsTheProgramWithZero)
{
    bool closed = false;
    const int code = Run([&](CMainFrameWnd& frame) {
        closed = true;
        Top(frame)->close(); // the window manager's close, Alt+F4
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(code, 0);
}

} // namespace
