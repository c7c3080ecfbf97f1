// The single-torrent page in the real main window on Qt's offscreen platform: a Chinese torrent
// with folders is opened through the file dialog, a name typed into a row's edit is saved, and
// the tab is photographed with the torrent open and after one-key modify
// (<build>/screenshots/single-open.png, single-onekey.png).

#include "app_qt/QtProgram.h"
#include "support/ReloadedTorrent.h"

#include "toolkit/CEditUI.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using namespace qtprogram;

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

} // namespace
