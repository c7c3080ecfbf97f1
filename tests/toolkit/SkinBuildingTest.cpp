// Building control trees from skin files, from the folder or from the zip archive.

#include "ToolkitTestSupport.h"

#include <zip.h>

#include <memory>

using namespace toolkittest;

namespace {

class SkinBuilding : public HeadlessTest {
protected:
    std::unique_ptr<CControlUI> Build(
        const char* file, IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr)
    {
        return std::unique_ptr<CControlUI>(CDialogBuilder().Create(file, nullptr, callback, manager));
    }
};

constexpr const char* kPageSkin = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="640,480" caption="0,0,0,30">
  <Font id="0" name="WenQuanYi Micro Hei" size="14" bold="true"/>
  <VerticalLayout name="PageLayoutUI" bkcolor="#FF102030" inset="1,2,3,4">
    <Label name="label_title" text="标题" textcolor="#80FF0000" align="center" sparkle="yes" height="20"/>
    <Button name="btn_go" hotbkcolor="0xFFFF2D2D" padding="5,6,7,8" glow="9" x:y="1"/>
    <Text name="text_body" float="true" pos="10,20,110,70"/>
  </VerticalLayout>
</Window>)";

} // namespace

TEST_F(SkinBuilding, ElementsBecomeControlsWithTheirAttributes)
{
    Write("PageSkin.xml", kPageSkin);
    CPaintManagerUI manager;
    const auto root = Build("PageSkin.xml", nullptr, &manager);
    auto* layout = dynamic_cast<CVerticalLayoutUI*>(root.get());
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetBkColor(), 0xFF102030u);
    auto& label = Find<CLabelUI>(root.get(), "label_title");
    EXPECT_EQ(label.GetText(), "标题");
    EXPECT_EQ(label.GetTextColor(), 0x80FF0000u);
    EXPECT_EQ(label.GetTextStyle() & (kAlignCenter | kAlignRight), kAlignCenter);
    EXPECT_EQ(Find<CButtonUI>(root.get(), "btn_go").GetHotBkColor(), 0xFFFF2D2Du);
    auto& text = Find<CTextUI>(root.get(), "text_body");
    EXPECT_EQ(text.GetFixedXY(), (UISize{10, 20}));
    EXPECT_EQ(text.GetFixedWidth(), 100);

    // The window element fills the manager, but only while the manager has no tree.
    EXPECT_EQ(manager.GetInitSize(), (UISize{640, 480}));
    EXPECT_EQ(manager.GetFont(0), (UIFont{"WenQuanYi Micro Hei", 14, true, false, false}));
    manager.AttachDialog(new CVerticalLayoutUI());
    Write("Other.xml", R"(<Window size="10,10"><Font id="5" name="Other" size="9"/><Label/></Window>)");
    const auto other = Build("Other.xml", nullptr, &manager);
    EXPECT_EQ(manager.GetInitSize(), (UISize{640, 480}));
    EXPECT_EQ(manager.GetFont(5).family, "Other");
}

TEST_F(SkinBuilding, AMissingMalformedOrEmptySkinIsRefusedWithAReason)
{
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create("Nowhere.xml"), nullptr);
    EXPECT_NE(builder.GetLastErrorMessage().Find("Nowhere.xml"), -1);
    Write("Broken.xml", "<VerticalLayout><Button></VerticalLayout>");
    EXPECT_EQ(builder.Create("Broken.xml"), nullptr);
    EXPECT_FALSE(builder.GetLastErrorMessage().IsEmpty());
    Write("Empty.xml", R"(<Window size="10,10"><Font id="0" name="x" size="9"/></Window>)");
    EXPECT_EQ(builder.Create("Empty.xml"), nullptr);
}

TEST_F(SkinBuilding, UnknownClassesAreAskedOfTheCallbackOrSkippedWithTheirChildren)
{
    struct Callback : IDialogBuilderCallback {
        CControlUI* CreateControl(const char* className) override
        {
            return std::string_view(className) == "FileList" ? new CContainerUI() : nullptr;
        }
    } callback;
    Write("Custom.xml", R"(<VerticalLayout><FileList name="files"><Label name="inside"/></FileList>
        <Gadget name="gadget"><Label name="lost"/></Gadget><Label name="after"/></VerticalLayout>)");
    const auto root = Build("Custom.xml", &callback);
    for (const auto& [name, built] : {std::pair{"inside", true}, {"gadget", false}, {"lost", false}, {"after", true}})
        EXPECT_EQ(FindSubControlByName(root.get(), name) != nullptr, built) << name;
    const auto plain = Build("Custom.xml"); // without a callback
    EXPECT_NE(FindSubControlByName(plain.get(), "after"), nullptr);
    EXPECT_EQ(FindSubControlByName(plain.get(), "files"), nullptr);
}

TEST_F(SkinBuilding, ASkinIsParsedOnceUntilTheResourcesChange)
{
    Write("Row.xml", R"(<Label name="first"/>)");
    ASSERT_NE(Build("Row.xml"), nullptr);
    Write("Row.xml", R"(<Label name="second"/>)");
    EXPECT_EQ(Build("Row.xml")->GetName(), "first");
    CPaintManagerUI::SetResourcePath(folder.path.string().c_str());
    CVerticalLayoutUI parent;
    CControlUI* built = CDialogBuilder().Create("Row.xml", nullptr, nullptr, nullptr, &parent);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->GetName(), "second");
    EXPECT_EQ(parent.GetItemAt(0), built);
}

TEST_F(SkinBuilding, SkinsAndPicturesAreReadFromTheArchiveBeforeTheFolder)
{
    constexpr char kPng[] = "\x89PNG\r\n\x1a\n\0\0binary";
    const std::string picture(kPng, sizeof kPng - 1);
    int error = 0;
    zip_t* archive = zip_open((folder.path / "skins.zip").string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    const std::string skin = R"(<Label name="from_zip"/>)";
    zip_file_add(archive, "MainFrame.xml", zip_source_buffer(archive, skin.data(), skin.size(), 0), 0);
    zip_file_add(archive, "images/Process.png", zip_source_buffer(archive, picture.data(), picture.size(), 0), 0);
    ASSERT_EQ(zip_close(archive), 0);
    Write("MainFrame.xml", R"(<Label name="from_folder"/>)");

    CPaintManagerUI::SetResourceZip("skins.zip", true);
    EXPECT_EQ(Build("MainFrame.xml")->GetName(), "from_zip");
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("images\\Process.png"), picture);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("Process.png"), picture);
    EXPECT_EQ(CPaintManagerUI::LoadResourceFile("Missing.png"), std::nullopt);
    CPaintManagerUI::SetResourceZip("");
    EXPECT_EQ(Build("MainFrame.xml")->GetName(), "from_folder");
    // A missing or damaged archive gives no skin, not the folder's.
    Write("damaged.zip", "PK\x03\x04 not really a zip");
    for (const char* bad : {"absent.zip", "damaged.zip"}) {
        CPaintManagerUI::SetResourceZip(bad);
        EXPECT_EQ(Build("MainFrame.xml"), nullptr) << bad;
    }
}
