// The batch page on the Qt backend (offscreen platform): folders are chosen through the real
// folder dialogs, the run goes on Qt timers, and the tab is photographed mid-run and at the
// end under <build>/screenshots for people to look at.

#include "QtProgram.h"

#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "toolkit/CButtonUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"

#include <string>
#include <utility>

namespace {

using namespace qtprogram;

TEST(BatchPageQtTest, ARunChosenThroughTheFolderDialogsConvertsRowByRowAndIsPhotographedMidRunAndAtTheEnd)
{
    ProgramFolder work;
    TempFolder temp;
    const fs::path source = temp.path / "种子";
    const fs::path dest = temp.path / "washed";
    // Rows in every look: converted, failed at load, failed at the wash, and (mid-run) fresh.
    WriteFile(source / "01-电影.torrent", BuildTorrent(SingleFile("电影.mkv", 5 << 20)));
    WriteFile(source / "02-not-a-torrent.torrent", "plain text");
    WriteFile(source / "03-readme.torrent", BuildTorrent(SingleFile("README", 10)));
    for (int i = 4; i <= 9; ++i)
        WriteFile(source / "more" / ("0" + std::to_string(i) + "-show.torrent"),
            BuildTorrent(MultiFile({{{"季 1", "e1.mkv"}, 1 << 20}, {{"cover.jpg"}, 900}})));
    // The folder dialog chooses existing folders only.
    fs::create_directories(dest);

    RunAndClose([&](CMainFrameWnd& frame) {
        Click(frame, "batchOption");
        CPaintManagerUI& manager = *frame.GetPaintManager();
        const auto text = [&](const char* name) { return manager.FindControl(name)->GetText().str(); };
        BatchListControl* list = frame.GetBatchPage()->GetListControl();
        auto* start = manager.FindControl<CButtonUI>("btn_batch_conver");
        ASSERT_TRUE(list != nullptr && start != nullptr);

        // Cancelling changes nothing; choosing scans at once.
        const QString sourceTitle = QStringLiteral("请选择需要转换的种子目录");
        EXPECT_EQ(ClickAndAnswerDialog(frame, "btn_batch_src", {}), sourceTitle);
        EXPECT_TRUE(text("edit_batch_src").empty() && !start->IsEnabled());
        EXPECT_EQ(ClickAndAnswerDialog(frame, "btn_batch_src", source), sourceTitle);
        EXPECT_EQ(text("edit_batch_src"), source.string());
        EXPECT_EQ(text("text_batch_rate"), "0/9");
        EXPECT_TRUE(start->IsEnabled());
        EXPECT_EQ(ClickAndAnswerDialog(frame, "btn_batch_des", dest), QStringLiteral("请选择转换后种子存放目录"));
        EXPECT_EQ(text("edit_batch_des"), dest.string());

        Click(frame, "btn_batch_conver");
        EXPECT_FALSE(start->IsEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->CurrentIndex() >= 4; }, 20000));
        EXPECT_TRUE(SaveScreenshot(frame, "batch-mid-run.png"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return start->IsEnabled(); }, 20000));
        EXPECT_EQ(text("text_batch_rate"), "9/9");
        EXPECT_TRUE(SaveScreenshot(frame, "batch-end.png"));
    });
    for (const auto& [name, written] : std::initializer_list<std::pair<const char*, bool>>{
             {"01-电影", true}, {"02-not-a-torrent", false}, {"03-readme", false}})
        EXPECT_EQ(fs::exists(dest / (std::string(name) + ".torrent")), written) << name;
    for (int i = 4; i <= 9; ++i)
        EXPECT_TRUE(fs::exists(dest / "more" / ("0" + std::to_string(i) + "-show.torrent")));
}

} // namespace
