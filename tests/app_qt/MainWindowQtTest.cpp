// The program's main window on the Qt backend (offscreen platform). The single page with a torrent
// open and the batch page mid-run are saved as PNGs under <build>/screenshots for people to look at.

#include "QtProgram.h"

#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "toolkit/CButtonUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"

#include <QLineEdit>

#include <string>

using namespace qtprogram;

namespace {

TEST(SinglePageQtTest, TheFramelessMainWindowOpensATorrentThroughTheFileDialogShowingItsNamesInTheRowEdits)
{
    ProgramFolder folder;
    RunAndClose([&](CMainFrameWnd& frame) {
        QWidget* top = Top(frame); // the main window: frameless, with the program's title and icon
        ASSERT_TRUE(top != nullptr && top->isVisible());
        EXPECT_TRUE(top->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(top->windowTitle(), QStringLiteral("Kelpmere"));
        EXPECT_FALSE(top->windowIcon().isNull());
        Click(frame, "singleOption");
        ClickAndAnswerDialog(
            frame, "btn_single_file", fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "chinese-utf8-keys.torrent");
        ASSERT_EQ(frame.GetSinglePage()->GetFileList()->RowsInUse(), 3u);
        CControlUI* edit = frame.GetPaintManager()->FindControl("edit_single_file1");
        QWidget* widget = edit != nullptr ? Backend().WidgetOf(*edit) : nullptr;
        QLineEdit* line = widget != nullptr ? widget->findChild<QLineEdit*>() : nullptr;
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(), QStringLiteral("第01集.mkv"));
        EXPECT_TRUE(SaveScreenshot(frame, "single-open.png"));
    });
}

TEST(BatchPageQtTest, ARunOnFoldersChosenInTheDialogsGoesToTheEndOnQtTimers)
{
    ProgramFolder work;
    TempFolder temp;
    const fs::path source = temp.path / "种子";
    const fs::path dest = temp.path / "washed";
    // Rows in every look: converted, failed at load, failed at the wash (and fresh, when the
    // picture catches the run before the workers are done).
    WriteFile(source / "01-电影.torrent", BuildTorrent(SingleFile("电影.mkv", 5 << 20)));
    WriteFile(source / "02-not-a-torrent.torrent", "plain text");
    // A name whose generated one would pass the 1023 bytes washing allows.
    WriteFile(source / "03-long.torrent", BuildTorrent(SingleFile("a." + std::string(989, 'e'), 10)));
    for (int i = 4; i <= 9; ++i)
        WriteFile(source / "more" / ("0" + std::to_string(i) + "-show.torrent"),
            BuildTorrent(MultiFile({{{"季 1", "e1.mkv"}, 1 << 20}, {{"cover.jpg"}, 900}})));
    fs::create_directories(dest); // the folder dialog chooses existing folders only

    RunAndClose([&](CMainFrameWnd& frame) {
        Click(frame, "batchOption");
        CPaintManagerUI& manager = *frame.GetPaintManager();
        BatchListControl* list = frame.GetBatchPage()->GetListControl();
        auto* start = manager.FindControl<CButtonUI>("btn_batch_conver");
        ASSERT_TRUE(list != nullptr && start != nullptr);
        ClickAndAnswerDialog(frame, "btn_batch_src", source);
        ClickAndAnswerDialog(frame, "btn_batch_des", dest);
        Click(frame, "btn_batch_conver");
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->CurrentIndex() >= 4; }, 20000));
        EXPECT_TRUE(SaveScreenshot(frame, "batch-mid-run.png"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return start->IsEnabled(); }, 20000));
        EXPECT_EQ(manager.FindControl("text_batch_rate")->GetText().str(), "9/9");
    });
}

} // namespace
