// Building control trees from skin files: classes, attributes, window element, callbacks,
// the parse cache, unique row names and the zip archive.

#include "ToolkitTestSupport.h"

#include <zip.h>

#include <memory>

using namespace toolkittest;

namespace {

class SkinBuilding : public HeadlessTest {
protected:
    std::unique_ptr<CControlUI> Build(const char* file, IDialogBuilderCallback* callback = nullptr,
                                      CPaintManagerUI* manager = nullptr)
    {
        CDialogBuilder builder;
        return std::unique_ptr<CControlUI>(builder.Create(file, nullptr, callback, manager));
    }
};

constexpr const char* kPageSkin = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="640,480" caption="0,0,0,30" mininfo="320,200">
  <Font id="0" name="WenQuanYi Micro Hei" size="14" bold="true"/>
  <Font id="3" name="DejaVu Sans" size="11"/>
  <VerticalLayout name="PageLayoutUI" bkcolor="#FF102030" inset="1,2,3,4" childpadding="6">
    <Label name="label_title" text="标题" font="3" textcolor="#80FF0000" align="center" sparkle="yes" height="20"/>
    <Button name="btn_go" text="Go" hotbkcolor="0xFFFF2D2D" bordersize="1" width="80" height="30" padding="5,6,7,8"/>
    <Option name="opt_a" group="g" selected="true"/>
    <Edit name="edit_path" enabled="false" readonly="true" maxchar="10"/>
    <Progress name="progress" horizontal="false" min="1" max="50" value="7" foreimage="Process.png" bkimage="Procss_bg.png"/>
    <TabLayout name="TabLayoutUI" selectedid="1"><Container name="p0"/><Container name="p1"/></TabLayout>
    <List name="ListUI" header="hidden" vscrollbar="true" rowheight="40"/>
    <WebBrowser name="web_ie" url="https://example.org/search" visible="false"/>
    <Text name="text_body" text="long" float="true" pos="10,20,110,70"/>
  </VerticalLayout>
</Window>)";

}  // namespace

TEST_F(SkinBuilding, ElementNamesChooseTheControlClassesAndAttributesSetTheirProperties)
{
    folder.Write("PageSkin.xml", kPageSkin);
    const auto root = Build("PageSkin.xml");
    ASSERT_NE(root, nullptr);
    auto* layout = dynamic_cast<CVerticalLayoutUI*>(root.get());
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetBkColor(), 0xFF102030u);
    EXPECT_EQ(layout->GetInset(), (UIRect{1, 2, 3, 4}));
    EXPECT_EQ(layout->GetChildPadding(), 6);

    auto* label = dynamic_cast<CLabelUI*>(FindSubControlByName(root.get(), "label_title"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "标题");
    EXPECT_EQ(label->GetFont(), 3);
    EXPECT_EQ(label->GetTextColor(), 0x80FF0000u);
    EXPECT_EQ(label->GetTextStyle() & (kAlignCenter | kAlignRight), kAlignCenter);
    EXPECT_EQ(label->GetFixedHeight(), 20);

    auto* button = dynamic_cast<CButtonUI*>(FindSubControlByName(root.get(), "btn_go"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetHotBkColor(), 0xFFFF2D2Du);
    EXPECT_EQ(button->GetBorderSize(), 1);
    EXPECT_EQ(button->GetPadding(), (UIRect{5, 6, 7, 8}));

    auto* option = dynamic_cast<COptionUI*>(FindSubControlByName(root.get(), "opt_a"));
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->GetGroup(), "g");
    EXPECT_TRUE(option->IsSelected());

    auto* edit = dynamic_cast<CEditUI*>(FindSubControlByName(root.get(), "edit_path"));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->IsEnabled());
    EXPECT_TRUE(edit->IsReadOnly());
    EXPECT_EQ(edit->GetMaxChar(), 10);

    auto* progress = dynamic_cast<CProgressUI*>(FindSubControlByName(root.get(), "progress"));
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->IsHorizontal());
    EXPECT_EQ(progress->GetMinValue(), 1);
    EXPECT_EQ(progress->GetMaxValue(), 50);
    EXPECT_EQ(progress->GetValue(), 7);
    EXPECT_EQ(progress->GetForeImage(), "Process.png");
    EXPECT_EQ(progress->GetBkImage(), "Procss_bg.png");

    auto* tab = dynamic_cast<CTabLayoutUI*>(FindSubControlByName(root.get(), "TabLayoutUI"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_FALSE(tab->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tab->GetItemAt(1)->IsVisible());

    auto* list = dynamic_cast<CListUI*>(FindSubControlByName(root.get(), "ListUI"));
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->GetHeader()->IsVisible());
    EXPECT_EQ(list->GetDefaultRowHeight(), 40);

    auto* web = dynamic_cast<CWebBrowserUI*>(FindSubControlByName(root.get(), "web_ie"));
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->GetUrl(), "https://example.org/search");
    EXPECT_FALSE(web->IsVisible());

    auto* text = dynamic_cast<CTextUI*>(FindSubControlByName(root.get(), "text_body"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsFloat());
    EXPECT_EQ(text->GetFixedXY(), (UISize{10, 20}));
    EXPECT_EQ(text->GetFixedWidth(), 100);
    EXPECT_EQ(text->GetFixedHeight(), 50);
}

TEST_F(SkinBuilding, UnknownAttributesAreIgnoredAndTheKnownOnesStillApply)
{
    folder.Write("Odd.xml", R"(<Button name="b" glow="9" text="ok" shadow="#FF000000" width="12" x:y="1"/>)");
    const auto root = Build("Odd.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "b");
    EXPECT_EQ(root->GetText(), "ok");
    EXPECT_EQ(root->GetFixedWidth(), 12);
}

TEST_F(SkinBuilding, AMissingOrMalformedSkinGivesNullAndSaysWhy)
{
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create("Nowhere.xml"), nullptr);
    EXPECT_NE(builder.GetLastErrorMessage().Find("Nowhere.xml"), -1);

    folder.Write("Broken.xml", "<VerticalLayout><Button></VerticalLayout>");
    EXPECT_EQ(builder.Create("Broken.xml"), nullptr);
    EXPECT_FALSE(builder.GetLastErrorMessage().IsEmpty());

    folder.Write("Empty.xml", R"(<Window size="10,10"><Font id="0" name="x" size="9"/></Window>)");
    EXPECT_EQ(builder.Create("Empty.xml"), nullptr);
}

TEST_F(SkinBuilding, UnknownClassesAreAskedOfTheCallbackOrSkippedWithTheirChildren)
{
    struct Callback : IDialogBuilderCallback {
        CControlUI* CreateControl(const char* className) override
        {
            asked.push_back(className);
            return std::string_view(className) == "FileList" ? new CContainerUI() : nullptr;
        }
        std::vector<std::string> asked;
    } callback;
    folder.Write("Custom.xml", R"(<VerticalLayout>
        <FileList name="files"><Label name="inside"/></FileList>
        <Gadget name="gadget"><Label name="lost"/></Gadget>
        <Label name="after"/>
      </VerticalLayout>)");

    const auto root = Build("Custom.xml", &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(callback.asked, (std::vector<std::string>{"FileList", "Gadget"}));
    EXPECT_NE(FindSubControlByName(root.get(), "files"), nullptr);
    EXPECT_NE(FindSubControlByName(root.get(), "inside"), nullptr);
    EXPECT_EQ(FindSubControlByName(root.get(), "gadget"), nullptr);
    EXPECT_EQ(FindSubControlByName(root.get(), "lost"), nullptr);
    EXPECT_NE(FindSubControlByName(root.get(), "after"), nullptr);

    // Without a callback the unknown elements are simply left out.
    const auto plain = Build("Custom.xml");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(FindSubControlByName(plain.get(), "files"), nullptr);
    EXPECT_NE(FindSubControlByName(plain.get(), "after"), nullptr);
}

TEST_F(SkinBuilding, TheWindowElementFillsTheManagerOnlyWhileItHasNoTree)
{
    folder.Write("PageSkin.xml", kPageSkin);
    CPaintManagerUI manager;
    const auto first = Build("PageSkin.xml", nullptr, &manager);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetManager(), &manager);
    EXPECT_EQ(manager.GetInitSize(), (UISize{640, 480}));
    EXPECT_EQ(manager.GetCaptionRect(), (UIRect{0, 0, 0, 30}));
    EXPECT_EQ(manager.GetMinInfo(), (UISize{320, 200}));
    EXPECT_EQ(manager.GetFont(0), (UIFont{"WenQuanYi Micro Hei", 14, true, false, false}));
    EXPECT_EQ(manager.GetFont(3).family, "DejaVu Sans");
    EXPECT_EQ(manager.GetFont(7), manager.GetDefaultFont());

    manager.AttachDialog(new CVerticalLayoutUI());
    folder.Write("Other.xml", R"(<Window size="10,10"><Font id="5" name="Other" size="9"/><Label/></Window>)");
    const auto page = Build("Other.xml", nullptr, &manager);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(manager.GetInitSize(), (UISize{640, 480}));
    EXPECT_EQ(manager.GetFont(5).family, "Other");
}

TEST_F(SkinBuilding, AGivenParentReceivesTheBuiltControl)
{
    folder.Write("Row.xml", R"(<HorizontalLayout name="row"><Label name="cell"/></HorizontalLayout>)");
    CVerticalLayoutUI parent;
    CDialogBuilder builder;
    CControlUI* built = builder.Create("Row.xml", nullptr, nullptr, nullptr, &parent);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(parent.GetCount(), 1);
    EXPECT_EQ(parent.GetItemAt(0), built);
    EXPECT_EQ(built->GetParent(), &parent);
}

TEST_F(SkinBuilding, ASkinIsParsedOnceUntilTheResourcesChange)
{
    folder.Write("Row.xml", R"(<Label name="first"/>)");
    ASSERT_NE(Build("Row.xml"), nullptr);
    folder.Write("Row.xml", R"(<Label name="second"/>)");
    EXPECT_EQ(Build("Row.xml")->GetName(), "first");

    CPaintManagerUI::SetResourcePath(folder.Path().c_str());
    EXPECT_EQ(Build("Row.xml")->GetName(), "second");
}

TEST_F(SkinBuilding, RowNamesStayUniqueAfterAppendingTheRowIndex)
{
    folder.Write("Frame.xml", R"(<Window size="300,200"><List name="ListUI"/></Window>)");
    folder.Write("RowSkin.xml", R"(<HorizontalLayout name="RowLayoutUI">
        <Label name="text_state"/><Edit name="edit_name"/></HorizontalLayout>)");
    TestWindow window("Frame.xml");
    ASSERT_NE(window.Create(nullptr, "", 0, 0, 0, 0, 300, 200), nullptr);
    auto* list = dynamic_cast<CListUI*>(window.Manager().FindControl("ListUI"));
    ASSERT_NE(list, nullptr);

    for (int index = 1; index <= 25; ++index) {
        auto* row = new CListContainerElementUI();
        CDuiString name;
        name.Format("%s%d", "rowElement", index);
        row->SetName(name);
        CDialogBuilder builder;
        CControlUI* root = builder.Create("RowSkin.xml");
        ASSERT_NE(root, nullptr);
        row->Add(root);
        list->Add(row);
        for (const char* child : {"RowLayoutUI", "text_state", "edit_name"}) {
            CControlUI* control = FindSubControlByName(root, child);
            ASSERT_NE(control, nullptr);
            name.Format("%s%d", child, index);
            control->SetName(name);
        }
    }
    EXPECT_EQ(list->GetCount(), 25);
    for (int index : {1, 3, 20, 25}) {
        CDuiString name;
        name.Format("text_state%d", index);
        CControlUI* found = window.Manager().FindControl(name.view());
        ASSERT_NE(found, nullptr) << name.GetData();
        EXPECT_EQ(found->GetParent()->GetParent(), list->GetItemAt(index - 1));
    }
    EXPECT_EQ(window.Manager().FindControl("text_state"), nullptr);
    EXPECT_EQ(window.Manager().FindControl("text_state26"), nullptr);
}

// ---------------- the skin archive ----------------

namespace {

// Writes a zip with the given entries through libzip.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

}  // namespace

TEST_F(SkinBuilding, SkinsAndPicturesAreReadFromTheArchiveInTheResourceFolder)
{
    constexpr char kPng[] = "\x89PNG\r\n\x1a\n\0\0binary";
    const std::string picture(kPng, sizeof kPng - 1);
    WriteZip(folder.Path() + "/skins.zip", {{"MainFrame.xml", R"(<Label name="from_zip"/>)"},
                                            {"images/Process.png", picture}});
    folder.Write("MainFrame.xml", R"(<Label name="from_folder"/>)");

    CPaintManagerUI::SetResourceZip("skins.zip", true);
    const auto root = Build("MainFrame.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "from_zip");
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("images/Process.png"), picture);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("images\\Process.png"), picture);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("Process.png"), picture);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("Missing.png"), std::nullopt);
    EXPECT_EQ(Build("Missing.xml"), nullptr);

    CPaintManagerUI::SetResourceZip("");
    EXPECT_EQ(Build("MainFrame.xml")->GetName(), "from_folder");
}

TEST_F(SkinBuilding, AMissingOrDamagedArchiveGivesNoSkins)
{
    CPaintManagerUI::SetResourceZip("absent.zip");
    EXPECT_EQ(Build("MainFrame.xml"), nullptr);
    folder.Write("damaged.zip", "PK\x03\x04 not really a zip");
    CPaintManagerUI::SetResourceZip("damaged.zip");
    EXPECT_EQ(Build("MainFrame.xml"), nullptr);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("MainFrame.xml"), std::nullopt);
}
