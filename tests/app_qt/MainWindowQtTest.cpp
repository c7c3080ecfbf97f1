// The program's main window on the Qt backend (offscreen platform): it comes up, its options
// switch the visible page, closing ends the run with 0; a Chinese torrent with folders is opened
// on the single page through the file dialog and a name typed into a row's edit is saved; a batch
// run on folders chosen through the folder dialogs goes on Qt timers. Every tab, the single page
// open and after one-key modify, and the batch run mid-way and at the end are saved as PNGs under
// <build>/screenshots for people to look at.

#include "QtProgram.h"

#include "support/ReloadedTorrent.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"

#include <QImage>
#include <QLineEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdint>
#include <string>
#include <utility>

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

// Waits until every web view of the shown page has loaded its page and drawn it (more than one
// colour in the view), so that a screenshot shows it.
void LetWebViewsSettle(CMainFrameWnd& frame)
{
    for (QWebEngineView* view : Top(frame)->findChildren<QWebEngineView*>()) {
        if (!view->isVisibleTo(Top(frame)))
            continue;
        const auto drawn = [&] {
            const QImage shot = Top(frame)->grab(QRect(view->mapTo(Top(frame), QPoint(0, 0)), view->size())).toImage();
            for (int y = 0; y < shot.height(); y += 4)
                for (int x = 0; x < shot.width(); x += 4)
                    if (shot.pixel(x, y) != shot.pixel(0, 0))
                        return true;
            return false;
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view->page()->isLoading() && drawn(); }, kPatienceMs))
            << view->url().toString().toStdString() << " was not drawn";
    }
}

TEST(MainWindowQtTest, TheFramelessWindowComesUpOnTheAdPageEachOptionShowsItsPageAndTheCloseButtonEndsWithZero)
{
    ASSERT_TRUE(fs::exists(BinaryDir() / "bin" / "Skin" / "kelpmeres.zip"));
    ProgramFolder work; // the program runs in a working folder of its own, as the launcher starts it
    RunAndClose([&](CMainFrameWnd& frame) {
        QWidget* top = Top(frame);
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top->isVisible());
        EXPECT_TRUE(top->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(top->windowTitle(), QStringLiteral("Kelpmere"));
        EXPECT_FALSE(top->windowIcon().isNull());
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

QLineEdit* LineOf(CMainFrameWnd& frame, const char* name)
{
    CControlUI* control = frame.GetPaintManager()->FindControl(name);
    QWidget* widget = control != nullptr ? Backend().WidgetOf(*control) : nullptr;
    return widget != nullptr ? widget->findChild<QLineEdit*>() : nullptr;
}

TEST(SinglePageQtTest, ATypedNameIsSavedAndTheTabIsPhotographedOpenAndAfterOneKeyModify)
{
    ProgramFolder folder;
    const fs::path source = fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "chinese-utf8-keys.torrent";
    const fs::path saved = folder.path / "typed.torrent";
    bool ran = false;
    RunProgram([&](CMainFrameWnd& frame) {
        Click(frame, "singleOption");
        ClickAndAnswerDialog(frame, "btn_single_file", source);
        ASSERT_EQ(frame.GetSinglePage()->GetFileList()->RowsInUse(), 3u);
        QLineEdit* line = LineOf(frame, "edit_single_file1");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(), QStringLiteral("第01集.mkv"));
        EXPECT_TRUE(SaveScreenshot(frame, "single-open.png"));

        // The notice after the save fades by itself.
        TypeIntoLine(line, {QStringLiteral("新"), QStringLiteral("名"), QStringLiteral(".mkv")});
        ClickAndAnswerDialog(frame, "btn_single_save", saved);

        Click(frame, "btn_single_onekey_modify");
        const CDuiString seed = frame.GetPaintManager()->FindControl("edit_single_name")->GetText();
        EXPECT_FALSE(seed.IsEmpty());
        ASSERT_NE(LineOf(frame, "edit_single_name"), nullptr);
        EXPECT_EQ(LineOf(frame, "edit_single_name")->text(), QString::fromUtf8(seed.GetData()));
        EXPECT_TRUE(SaveScreenshot(frame, "single-onekey.png"));
        ran = true;
    });
    ASSERT_TRUE(ran);
    const ReloadedTorrent reloaded(saved);
    ASSERT_TRUE(reloaded.loaded);
    EXPECT_EQ(reloaded.fileNames, (std::vector<std::string>{"新名.mkv", "第02集.mkv", "简体中文.srt"}));
}

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

        EXPECT_EQ(ClickAndAnswerDialog(frame, "btn_batch_src", source), QStringLiteral("请选择需要转换的种子目录"));
        EXPECT_EQ(ClickAndAnswerDialog(frame, "btn_batch_des", dest), QStringLiteral("请选择转换后种子存放目录"));

        Click(frame, "btn_batch_conver");
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->CurrentIndex() >= 4; }, 20000));
        EXPECT_TRUE(SaveScreenshot(frame, "batch-mid-run.png"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return start->IsEnabled(); }, 20000));
        EXPECT_EQ(text("text_batch_rate"), "9/9");
        EXPECT_TRUE(SaveScreenshot(frame, "batch-end.png"));
    });
}

} // namespace
