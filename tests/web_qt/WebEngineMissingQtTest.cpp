// The program on the Qt backend (offscreen) when the web engine can't start: its helper program
// is not where the engine looks. Only the two web panes go without a browser; the program runs,
// the single and batch pages work, and it ends with 0.

#include "app_qt/QtProgram.h"

#include "ui/batch/BatchControlUI.h"
#include "ui/single/SingleControlUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

#include <QLabel>
#include <QWebEngineView>

#include <cstdlib>

namespace {

using namespace qtprogram;

// Before anything could start the engine (the test environment creates the application later).
const bool kHelperMissing = [] {
    ::setenv("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess", 1);
    ::setenv("KELPMERE_SEARCH_HOST", "http://127.0.0.1:9", 1);
    return true;
}();

TEST(WebEngineMissingQtTest, OnlyTheWebPanesGoWithoutABrowser)
{
    ASSERT_TRUE(kHelperMissing);
    ProgramFolder work;
    RunAndClose([&](CMainFrameWnd& frame) {
        EXPECT_TRUE(Shown(frame, frame.GetAdPage()));
        // The web panes show a note where the browser would be, and no engine was started.
        for (auto [option, pane] : {std::pair<const char*, CControlUI*>{"searchOption", frame.GetSearchPage()},
                 {"adOption", frame.GetAdPage()}}) {
            Click(frame, option);
            ASSERT_TRUE(Shown(frame, pane)) << option;
            EXPECT_NE(Backend().WidgetOf(*pane)->findChild<QLabel*>(), nullptr) << option;
        }
        EXPECT_TRUE(Top(frame)->findChildren<QWebEngineView*>().isEmpty());

        Click(frame, "batchOption");
        EXPECT_TRUE(Shown(frame, frame.GetBatchPage()));
        EXPECT_FALSE(Shown(frame, frame.GetAdPage()));
    });
}

} // namespace
