// The single-torrent page on the headless backend, driven through the real main window and its
// buttons: scripted dialogs answer, notice boxes are read and closed like a user would.

#include "AppTestSupport.h"
#include "samples/generator/LegacyNames.h"
#include "support/ReloadedTorrent.h"
#include "support/TestTorrents.h"

#include "platform/AnsiCodePage.h"
#include "platform/LegacyCodePage.h"
#include "platform/ProcessRandom.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "torrent/NamesLeft.h"
#include "ui/list/RerListBaseUI.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"
#include "ui/single/SingleListElementUI.h"

#include <regex>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kNotFound = "  选择的种子文件不存在,请检查文件路径 !\n";
constexpr const char* kAnalysisFailed = "  种子文件分析错误!\n";
constexpr const char* kSaved = "  保存成功 !\n";
constexpr const char* kSaveFailed = "  保存失败 !\n";

class SinglePageTest : public apptest::HeadlessTest {
protected:
    // Every test starts on the single page with the file dialogs in UTF-8.
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetAnsiCodePage("UTF-8");
        ASSERT_TRUE(OpenFrame("singleOption"));
        page = frame->GetSinglePage();
        ASSERT_NE(page, nullptr);
        list = page->GetFileList();
        ASSERT_TRUE(list != nullptr && list->GetList() != nullptr);
    }
    fs::path Write(const std::string& file, const TorrentDescription& torrent)
    {
        WriteFile(temp.path / file, BuildTorrent(torrent));
        return temp.path / file;
    }

    // Clicks a page button; the text of the notice box it opens, or nothing.
    std::optional<std::string> ClickWithNotice(const char* button)
    {
        return Notice([&] { EXPECT_TRUE(CHeadlessBackend::Click(Manager(), button)) << button; });
    }
    std::optional<std::string> Open(const fs::path& path)
    {
        backend.QueueOpenFileAnswer(path.string());
        return ClickWithNotice("btn_single_file");
    }
    std::optional<std::string> Save(const fs::path& path)
    {
        backend.QueueSaveFileAnswer(path.string());
        return ClickWithNotice("btn_single_save");
    }
    SingleListElementUI* Row(int position) { return list->RowAt(position); }
    std::string Hint() { return Manager().FindControl("label_single_hint")->GetText().str(); }
    int VisibleRows() { return apptest::VisibleRows(*list->GetList()); }
    bool ButtonsEnabled()
    {
        return Find<CButtonUI>("btn_single_save")->IsEnabled()
            && Find<CButtonUI>("btn_single_onekey_modify")->IsEnabled();
    }

    TempFolder temp;
    SingleControlUI* page = nullptr;
    SingleListControl* list = nullptr;
};

// The seed one-key modify is given in these tests, and its MD5 digest.
const char* const kSeed = "1400000000-517";
const std::string kSeedDigest = "79df1b50c7ab8d2f8922ae4e8ba6fab1";

TorrentDescription ThreeFilesInFolders()
{
    TorrentDescription torrent = MultiFile(
        {{{"第一季", "第01集.mkv"}, 2000000}, {{"readme.txt"}, 1025}, {{"附件", "字幕", "简体.srt"}, 40000}});
    torrent.name = "海底森林";
    torrent.comment = "comment";
    return torrent;
}

// Twenty hidden rows wait at start-up. A torrent shows a row per file with its folders and size,
// in rows made for a larger torrent before, which stay, hidden, for the next one.
TEST_F(SinglePageTest, OpeningATorrentShowsARowPerFileWithItsFoldersAndSizeInTheRowsKept)
{
    EXPECT_FALSE(Find("btn_single_save")->IsEnabled() || Find("btn_single_onekey_modify")->IsEnabled());
    ASSERT_EQ(list->GetList()->GetCount(), 20);
    EXPECT_EQ(VisibleRows(), 0);
    for (int index = 1; index <= 20; ++index)
        EXPECT_EQ(Manager().FindControl("singleListElement" + std::to_string(index)), Row(index - 1)) << index;
    EXPECT_FALSE(list->CollectEdits());
    EXPECT_FALSE(list->OneKeyModify("1-2"));

    std::vector<FileDescription> files;
    for (int i = 1; i <= 25; ++i)
        files.push_back({{"f" + std::to_string(i) + ".bin"}, 1000});
    ASSERT_EQ(Open(Write("25.torrent", MultiFile(files))), std::nullopt);
    ASSERT_EQ(list->GetList()->GetCount(), 25);
    EXPECT_EQ(VisibleRows(), 25);
    EXPECT_EQ(Row(24)->GetName(), "singleListElement25");
    const fs::path path = Write("three.torrent", ThreeFilesInFolders());
    EXPECT_EQ(Open(path), std::nullopt);
    EXPECT_EQ(list->GetList()->GetCount(), 25);
    const auto& dialog = backend.Dialogs().back();
    EXPECT_EQ(dialog.filterDescription, "torrent文件(*.torrent)");
    EXPECT_EQ(dialog.filterPatterns, "*.torrent*");
    EXPECT_EQ(Find<CEditUI>("edit_single_file")->GetText(), CDuiString(path.string()));
    EXPECT_EQ(Find<CEditUI>("edit_single_name")->GetText(), "海底森林");
    EXPECT_TRUE(Find<CEditUI>("edit_single_name")->IsEnabled()); // a single file's name is its file's
    EXPECT_TRUE(ButtonsEnabled());
    EXPECT_EQ(VisibleRows(), 3);

    struct Expected {
        std::vector<std::string> folders;
        std::string name;
        std::string size;
    };
    const Expected rows[] = {{{"第一季"}, "第01集.mkv", "1.91M\n"}, {{}, "readme.txt", "1.00K\n"},
        {{"附件", "字幕"}, "简体.srt", "39.06K\n"}};
    for (int position = 0; position < 3; ++position) {
        SCOPED_TRACE(position);
        SingleListElementUI* row = Row(position);
        const Expected& want = rows[position];
        const int n = static_cast<int>(want.folders.size());
        EXPECT_EQ(row->GetFixedHeight(), 70 + 33 * n);
        EXPECT_EQ(row->PathEditsInUse(), want.folders.size());
        EXPECT_EQ(row->GetNameEdit()->GetText(), CDuiString(want.name));
        EXPECT_EQ(row->GetNameEdit()->GetFixedXY().cy, 3 + 33 * n);
        const std::string index = std::to_string(position + 1);
        auto* size = Manager().FindControl("text_single_size" + index);
        ASSERT_NE(size, nullptr);
        EXPECT_EQ(size->GetText(), CDuiString(want.size));
        EXPECT_EQ(size->GetFixedXY(), (UISize{80, 3 + 33 * (n + 1)}));
        EXPECT_EQ(Manager().FindControl("label_single_size" + index)->GetFixedXY(), (UISize{6, 3 + 33 * (n + 1)}));
        for (int k = 0; k < n; ++k) {
            CEditUI* folder = row->PathEditAt(static_cast<std::size_t>(k));
            EXPECT_EQ(folder->GetText(), CDuiString(want.folders[static_cast<std::size_t>(k)]));
            EXPECT_EQ(folder->GetFixedXY(), (UISize{80, 3 + 33 * k}));
            EXPECT_TRUE(folder->IsVisible());
        }
    }
    // Laid out, the second row starts below the first one's 103 pixels and the list's spacing.
    Manager().UpdateLayout();
    EXPECT_EQ(Row(1)->GetPos().top - Row(0)->GetPos().bottom, 5);
    // Tab follows the tree's order: a row's folder edits from the first, then its file name.
    std::vector<std::string> edits;
    Row(2)->VisitTree([&edits](CControlUI& control) {
        if (dynamic_cast<CEditUI*>(&control) != nullptr && control.IsVisible())
            edits.push_back(control.GetName().str() + "=" + control.GetText().str());
        return true;
    });
    EXPECT_EQ(edits,
        (std::vector<std::string>{"edit_single_path3=附件", "edit_single_path3=字幕", "edit_single_file3=简体.srt"}));
}

TEST_F(SinglePageTest, AFailedOpenEmptiesThePageSayingWhy)
{
    TorrentDescription noPieces = ThreeFilesInFolders();
    noPieces.pieces = "";
    WriteFile(temp.path / "text.torrent", "just some text");
    const std::pair<fs::path, const char*> failures[] = {
        {temp.path / "missing.torrent", kNotFound}, {temp.path / "text.torrent", kNotFound},
        {Write("nopieces.torrent", noPieces), kNotFound},                                      // no client loads it
        {Write("pads.torrent", MultiFile({{{"_____padding_file_0_"}, 10}})), kAnalysisFailed}, // nothing to list
    };
    for (const auto& [path, notice] : failures) {
        SCOPED_TRACE(path.filename().string());
        ASSERT_EQ(Open(Write("good.torrent", ThreeFilesInFolders())), std::nullopt);
        EXPECT_EQ(Open(path), notice);
        EXPECT_EQ(Find<CEditUI>("edit_single_file")->GetText(), CDuiString(path.string()));
        EXPECT_EQ(VisibleRows(), 0);
        EXPECT_EQ(Find<CEditUI>("edit_single_name")->GetText(), "");
        EXPECT_FALSE(ButtonsEnabled());
        // Nothing can reach the entries of the torrent that is gone.
        EXPECT_FALSE(list->CollectEdits());
        EXPECT_FALSE(list->OneKeyModify("1-2"));
    }
    // A cancelled open changes nothing.
    ASSERT_EQ(Open(Write("good.torrent", ThreeFilesInFolders())), std::nullopt);
    backend.QueueOpenFileAnswer(std::nullopt);
    EXPECT_EQ(ClickWithNotice("btn_single_file"), std::nullopt);
    EXPECT_EQ(VisibleRows(), 3);
    EXPECT_TRUE(ButtonsEnabled());
}

TEST_F(SinglePageTest, OneKeyModifyRenamesEveryRowWithOneDrawPerRow)
{
    std::vector<FileDescription> files = {{{"a", "b", "movie.mkv"}, 10}, {{"a.b.c.txt"}, 10}, {{"x", ".hidden"}, 10}};
    ASSERT_EQ(Open(Write("names.torrent", MultiFile(files))), std::nullopt);
    // The run-time library's sequence after srand(1): 41, 18467, 6334; the second row's goes unused.
    SeedProcessRandom(1);
    ASSERT_TRUE(list->OneKeyModify(kSeed));
    EXPECT_EQ(Find<CEditUI>("edit_single_name")->GetText(), CDuiString(kSeed));
    EXPECT_EQ(Row(0)->GetNameEdit()->GetText(), CDuiString(kSeedDigest + "_1.mkv"));
    EXPECT_EQ(Row(0)->PathEditAt(0)->GetText(), "41_10");
    EXPECT_EQ(Row(0)->PathEditAt(1)->GetText(), "41_11");
    EXPECT_EQ(Row(1)->GetNameEdit()->GetText(), CDuiString(kSeedDigest + "_2.txt"));
    EXPECT_EQ(Row(2)->GetNameEdit()->GetText(), CDuiString(kSeedDigest + "_3.hidden"));
    EXPECT_EQ(Row(2)->PathEditAt(0)->GetText(), "6334_30");

    // Through the button: the seed is the time and the milliseconds.
    ASSERT_EQ(ClickWithNotice("btn_single_onekey_modify"), std::nullopt);
    EXPECT_TRUE(
        std::regex_match(Find<CEditUI>("edit_single_name")->GetText().str(), std::regex("-?[0-9]+-[0-9]{1,3}")));

    // A single file without a dot is renamed too, without an extension.
    ASSERT_EQ(Open(Write("single.torrent", SingleFile("README", 100))), std::nullopt);
    EXPECT_FALSE(Find<CEditUI>("edit_single_name")->IsEnabled());
    SeedProcessRandom(1);
    ASSERT_TRUE(list->OneKeyModify(kSeed));
    EXPECT_EQ(Row(0)->GetNameEdit()->GetText(), CDuiString(kSeedDigest + "_1"));
    EXPECT_EQ(ProcessRandom(), 18467);
}

// The typed names are saved with the torrent's pieces; each dialog opens in the folder last
// chosen in it.
TEST_F(SinglePageTest, SavingWritesTheTypedNamesWithTheSamePiecesAndEachDialogRemembersItsFolder)
{
    const fs::path source = Write("in/three.torrent", ThreeFilesInFolders());
    const ReloadedTorrent original(source);
    ASSERT_TRUE(original.loaded);
    ASSERT_EQ(Open(source), std::nullopt);
    EXPECT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_single_name", "新名字"));
    EXPECT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_single_file2", "说明.txt"));
    EXPECT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_single_path3", "资料")); // the first folder edit of row 3
    EXPECT_EQ(Save(temp.path / "no-such-folder" / "x.torrent"), kSaveFailed);        // the edits stay for another try
    EXPECT_EQ(Find<CEditUI>("edit_single_name")->GetText(), "新名字");
    WriteFile(temp.path / "typed.torrent", "an older file, replaced without asking");
    EXPECT_EQ(Save(temp.path / "typed.torrent"), kSaved);
    const auto& dialog = backend.Dialogs().back();
    EXPECT_EQ(dialog.title, "保存种子");
    EXPECT_EQ(dialog.filterPatterns, "*.torrent");
    EXPECT_EQ(dialog.defaultExtension, "torrent");
    const ReloadedTorrent typed(temp.path / "typed.torrent");
    ASSERT_TRUE(typed.loaded);
    EXPECT_EQ(typed.name, "新名字");
    EXPECT_EQ(typed.filePaths, (std::vector<std::string>{"第一季/第01集.mkv", "说明.txt", "资料/字幕/简体.srt"}));
    EXPECT_EQ(typed.pieces, original.pieces);
    EXPECT_NE(typed.infoHashPrefix, original.infoHashPrefix);

    ASSERT_EQ(Open(source), std::nullopt);
    std::vector<std::string> folders;
    for (const auto& dialog : backend.Dialogs())
        folders.push_back(dialog.initialFolder);
    // Empty the first time: the backend opens the user's home folder.
    EXPECT_EQ(folders,
        (std::vector<std::string>{"", "", (temp.path / "no-such-folder").string(), (temp.path / "in").string()}));
}

TEST_F(SinglePageTest, AnEditedNameNoClientAcceptsIsRefusedSayingWhereAndWhy)
{
    TorrentDescription torrent = ThreeFilesInFolders();
    torrent.files.push_back({{"", ".", "left alone.txt"}, 5}); // names the user didn't touch aren't judged
    ASSERT_EQ(Open(Write("three.torrent", torrent)), std::nullopt);
    const auto folderEdit = [&](int position, std::size_t k) { return Row(position)->PathEditAt(k); };
    struct Case {
        CEditUI* edit;
        const char* typed;
        const char* notice;
    };
    const Case cases[] = {
        {Find<CEditUI>("edit_single_name"), "", "  种子名称不能为空,请修改后再保存 !\n"},
        {Find<CEditUI>("edit_single_file2"), "", "  第2个文件的文件名不能为空,请修改后再保存 !\n"},
        {Find<CEditUI>("edit_single_file1"), "a/b.mkv", "  第1个文件的文件名不能含有“/”或“\\”,请修改后再保存 !\n"},
        {Find<CEditUI>("edit_single_file3"), "a\\b.srt", "  第3个文件的文件名不能含有“/”或“\\”,请修改后再保存 !\n"},
        {folderEdit(0, 0), "..", "  第1个文件的第1层目录名不能是“.”或“..”,请修改后再保存 !\n"},
        {folderEdit(2, 1), ".", "  第3个文件的第2层目录名不能是“.”或“..”,请修改后再保存 !\n"},
        {folderEdit(2, 0), "", "  第3个文件的第1层目录名不能为空,请修改后再保存 !\n"},
    };
    const std::size_t dialogs = backend.Dialogs().size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice);
        ASSERT_NE(c.edit, nullptr);
        const CDuiString shown = c.edit->GetText();
        c.edit->SetText(c.typed);
        EXPECT_EQ(ClickWithNotice("btn_single_save"), c.notice);
        c.edit->SetText(shown);
    }
    EXPECT_EQ(backend.Dialogs().size(), dialogs);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), {}), 1) << "nothing but the source";

    // In GBK the second byte of 乗 is a backslash: the name is judged as text, not as bytes.
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    Find<CEditUI>("edit_single_file2")->SetText("\x81\x5C.txt");
    EXPECT_EQ(Save(temp.path / "saved.torrent"), kSaved);
    const ReloadedTorrent saved(temp.path / "saved.torrent");
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.filePaths[1], "\x81\x5C.txt");
    EXPECT_EQ(saved.filePaths[3], "/./left alone.txt");
}

TEST_F(SinglePageTest, NamesTheUserLeftAloneKeepTheirBytesEvenWhenTheCodePageCannotHoldThem)
{
    struct Case {
        const char* codePage;
        std::string first; // stored bytes of the first file's name
        std::string second;
    };
    // GBK bytes in a torrent read with UTF-8; half-width katakana read with GBK.
    const Case cases[] = {{"UTF-8", "\xB5\xDA\xD2\xBB.mkv", "\xB6\xFE.srt"},
        {"GBK", "\xEF\xBD\xB1\xEF\xBE\x86\xEF\xBE\x92.mkv", "\xEF\xBD\xB6\xEF\xBE\x9E.srt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        ASSERT_TRUE(SetAnsiCodePage(c.codePage));
        const fs::path source = Write("legacy.torrent", MultiFile({{{c.first}, 100}, {{c.second}, 200}}));
        ASSERT_EQ(Open(source), std::nullopt);
        EXPECT_EQ(Save(temp.path / "same.torrent"), kSaved);
        EXPECT_EQ(ReadFile(temp.path / "same.torrent"), ReadFile(source));

        EXPECT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_single_file2", "new.srt"));
        EXPECT_EQ(Save(temp.path / "one.torrent"), kSaved);
        const std::string edited = ReadFile(temp.path / "one.torrent");
        EXPECT_NE(edited.find("4:pathl" + std::to_string(c.first.size()) + ":" + c.first + "e"), std::string::npos);
        EXPECT_NE(edited.find("4:pathl7:new.srte"), std::string::npos);
        EXPECT_EQ(edited.find(c.second), std::string::npos);
    }
}

// Names in the code page a torrent declares are shown decoded, the hint line says which code page
// that is, and saving without an edit writes the loaded bytes.
TEST_F(SinglePageTest, LegacyNamesAreShownDecodedAndSavedAsTheyWere)
{
    const std::string usualHint = Hint();
    page->GetDocument()->languageCodePage = nullptr;
    const fs::path source = Write("gbk.torrent", LegacyTorrent(GbkNames(), "GBK", false));
    ASSERT_EQ(Open(source), std::nullopt);
    EXPECT_EQ(Find<CEditUI>("edit_single_name")->GetText(), "海底森林纪录片");
    EXPECT_EQ(Row(0)->PathEditAt(0)->GetText(), "第一季");
    EXPECT_EQ(Row(2)->GetNameEdit()->GetText(), "简体中文.srt");
    EXPECT_EQ(Hint(), "名称按 GBK 编码显示；未修改的名称保存时原样保留。");
    EXPECT_EQ(Save(temp.path / "same.torrent"), kSaved);
    EXPECT_EQ(ReadFile(temp.path / "same.torrent"), ReadFile(source));

    ASSERT_EQ(Open(Write("utf8.torrent", ThreeFilesInFolders())), std::nullopt);
    EXPECT_EQ(Hint(), usualHint);
}

// Neither a repeated key nor the version 2 file tree of a hybrid torrent may keep an old name
// behind the one the user gave.
TEST_F(SinglePageTest, ARenamedTorrentKeepsNoOldNameBehindTheNewOne)
{
    const fs::path repeated = temp.path / "repeated.torrent";
    WriteFile(repeated,
        "d8:announce3:url4:infod5:filesld6:lengthi5e4:pathl5:a.mkve4:pathl8:Hidden.xeee4:name3:Old4:name6:Hidden"
        "12:piece lengthi16384e6:pieces20:ppppppppppppppppppppee");
    ASSERT_EQ(Open(repeated), std::nullopt);
    ASSERT_EQ(ClickWithNotice("btn_single_onekey_modify"), std::nullopt);
    EXPECT_EQ(Save(temp.path / "generated.torrent"), kSaved);
    EXPECT_EQ(ReadFile(temp.path / "generated.torrent").find("Hidden"), std::string::npos);

    TorrentDescription hybrid = MultiFile({{{"a.mkv"}, 100}, {{"b.srt"}, 200}});
    hybrid.extraInfo = {{"file tree", "d5:a.mkvd0:d6:lengthi100eeee"}, {"meta version", "i2e"}};
    hybrid.extraRoot = {{"piece layers", "de"}};
    ASSERT_EQ(Open(Write("hybrid.torrent", hybrid)), std::nullopt);
    EXPECT_TRUE(CHeadlessBackend::TypeText(Manager(), "edit_single_file1", "c.mkv"));
    EXPECT_EQ(Save(temp.path / "renamed.torrent"), kSaved);
    const std::string renamed = ReadFile(temp.path / "renamed.torrent");
    for (const char* key : {"9:file tree", "12:meta version", "12:piece layers"})
        EXPECT_EQ(renamed.find(key), std::string::npos) << key;
    EXPECT_TRUE(ReloadedTorrent(temp.path / "renamed.torrent").loaded);
}

// The shapes people share open with every file under its real folders; one-key modify renames
// every name and the saved torrent keeps its data and none of the loaded names.
TEST_F(SinglePageTest, OneKeyModifyRenamesEverySharedShapeWhole)
{
    const fs::path samples = fs::path(KELPMERE_TEST_SOURCE_DIR) / "samples";
    for (const char* sample : {"scene-release.torrent", "source-tree.torrent", "padding-files.torrent",
             "trackerless.torrent", "v2-only.torrent"}) {
        SCOPED_TRACE(sample);
        CTorrentParser loaded;
        ASSERT_TRUE(loaded.LoadFromFile((samples / sample).string().c_str()) && loaded.Analyze());
        ASSERT_EQ(Open(samples / sample), std::nullopt);
        EXPECT_EQ(VisibleRows(), static_cast<int>(loaded.files.size()));
        ASSERT_EQ(ClickWithNotice("btn_single_onekey_modify"), std::nullopt);
        const fs::path saved = temp.path / sample;
        ASSERT_EQ(Save(saved), kSaved);
        CTorrentParser reloaded;
        ASSERT_TRUE(reloaded.LoadFromFile(saved.string().c_str()) && reloaded.Analyze());
        EXPECT_EQ(FindNamesLeft(*reloaded.root, LoadedNames(loaded)), std::vector<NameLeft>{});
        EXPECT_EQ(reloaded.files.size(), loaded.files.size());
        EXPECT_EQ(reloaded.paddingFiles, loaded.paddingFiles);
        EXPECT_EQ(reloaded.totalLength, loaded.totalLength);
    }
    ASSERT_EQ(Open(samples / "scene-release.torrent"), std::nullopt);
    EXPECT_EQ(Row(3)->PathEditAt(0)->GetText(), "Show.S01.Extras.1080p");
    EXPECT_EQ(Row(3)->GetNameEdit()->GetText(), "Show.S01.Featurette.mkv");
    EXPECT_EQ(Row(5)->GetNameEdit()->GetText(), "README");
}

} // namespace
