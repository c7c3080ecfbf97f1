// The packed skin archive: every skin file holds the controls the program looks up in it, with
// the right kind, the names of one window are unique, and the laid-out window keeps every
// control inside its parent.

#include "app/AppTestSupport.h"

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/UIlib.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using apptest::HeadlessTest;

enum class Kind { Container, TabLayout, Option, Button, Edit, Label, WebBrowser };

struct Required {
    const char* name;
    Kind kind;
};

bool IsKind(CControlUI* control, Kind kind)
{
    switch (kind) {
    case Kind::Container: return dynamic_cast<CContainerUI*>(control) != nullptr;
    case Kind::TabLayout: return dynamic_cast<CTabLayoutUI*>(control) != nullptr;
    case Kind::Option: return dynamic_cast<COptionUI*>(control) != nullptr;
    case Kind::Button: return dynamic_cast<CButtonUI*>(control) != nullptr;
    case Kind::Edit: return dynamic_cast<CEditUI*>(control) != nullptr;
    case Kind::Label: return dynamic_cast<CLabelUI*>(control) != nullptr;
    case Kind::WebBrowser: return dynamic_cast<CWebBrowserUI*>(control) != nullptr;
    }
    return false;
}

const std::map<std::string, std::vector<Required>>& RequiredControls()
{
    static const std::map<std::string, std::vector<Required>> required{
        {"MainFrame.xml",
         {{"PageTabLayoutUI", Kind::TabLayout}, {"adOption", Kind::Option}, {"singleOption", Kind::Option},
          {"batchOption", Kind::Option}, {"searchOption", Kind::Option}, {"closebtn", Kind::Button}}},
        {"NoticeBoxSkin.xml", {{"TextUI", Kind::Label}, {"BtnClose", Kind::Button}}},
        {"SingleSkin.xml",
         {{"btn_single_file", Kind::Button}, {"btn_single_save", Kind::Button},
          {"btn_single_onekey_modify", Kind::Button}, {"edit_single_file", Kind::Edit},
          {"FileListLayoutUI", Kind::Container}}},
        {"SingleControlSkin.xml", {{"SingleListLayoutUI", Kind::Container}, {"edit_single_name", Kind::Edit}}},
        {"SingleListSkin.xml",
         {{"SingleElementLayoutUI", Kind::Container}, {"edit_single_file", Kind::Edit},
          {"text_single_size", Kind::Label}, {"label_single_size", Kind::Label}}},
        {"BatchSkin.xml",
         {{"TorrentListLayoutUI", Kind::Container}, {"btn_batch_src", Kind::Button}, {"btn_batch_des", Kind::Button},
          {"btn_batch_conver", Kind::Button}, {"edit_batch_src", Kind::Edit}, {"edit_batch_des", Kind::Edit},
          {"text_batch_rate", Kind::Label}, {"BatchFunLayoutUI", Kind::Container}}},
        {"BatchControlSkin.xml", {{"BatchListLayoutUI", Kind::Container}}},
        {"BatchListSkin.xml",
         {{"BatchElementLayoutUI", Kind::Container}, {"text_conver_src", Kind::Label},
          {"text_conver_des", Kind::Label}, {"text_conver_state", Kind::Label}}},
        {"ADSkin.xml", {{"ad_ie", Kind::WebBrowser}}},
        {"SearchSkin.xml", {{"search_ie", Kind::WebBrowser}}},
    };
    return required;
}

class SkinFilesTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        UsePackedSkins();
    }
    static std::unique_ptr<CControlUI> Build(const std::string& file)
    {
        CDialogBuilder builder;
        return std::unique_ptr<CControlUI>(builder.Create(file.c_str()));
    }
};

TEST_F(SkinFilesTest, EverySkinFileHoldsTheControlsLookedUpInIt)
{
    for (const auto& [file, controls] : RequiredControls()) {
        SCOPED_TRACE(file);
        std::unique_ptr<CControlUI> root = Build(file);
        ASSERT_NE(root, nullptr);
        for (const Required& required : controls) {
            SCOPED_TRACE(required.name);
            CControlUI* control = FindSubControlByName(root.get(), required.name);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(IsKind(control, required.kind));
            // The single list moves these with SetFixedXY, which only floating controls obey.
            if (file == "SingleListSkin.xml" && required.kind != Kind::Container) {
                EXPECT_TRUE(control->IsFloat());
            }
        }
    }
}

TEST_F(SkinFilesTest, NamesAreUniqueAcrossTheMainWindowAndItsPages)
{
    std::map<std::string, int> seen;
    for (const char* file : {"MainFrame.xml", "SingleSkin.xml", "SingleControlSkin.xml", "BatchSkin.xml",
                             "BatchControlSkin.xml", "ADSkin.xml", "SearchSkin.xml"}) {
        std::unique_ptr<CControlUI> root = Build(file);
        ASSERT_NE(root, nullptr) << file;
        root->VisitTree([&](CControlUI& control) {
            if (!control.GetName().IsEmpty())
                ++seen[control.GetName().str()];
            return true;
        });
    }
    for (const auto& [name, count] : seen)
        EXPECT_EQ(count, 1) << name;
}

// Every visible control of the window lies inside the window and inside its parent.
void ExpectNestedInside(CControlUI& root, UIRect window)
{
    root.VisitTree([&](CControlUI& control) {
        if (!control.IsVisible())
            return false;
        const UIRect rect = control.GetPos();
        const UIRect outer = control.GetParent() != nullptr ? control.GetParent()->GetPos() : window;
        EXPECT_TRUE(rect.left >= outer.left && rect.top >= outer.top && rect.right <= outer.right
                    && rect.bottom <= outer.bottom)
            << control.GetClass() << " '" << control.GetName().str() << "' at " << rect.left << "," << rect.top
            << "," << rect.right << "," << rect.bottom;
        return true;
    });
}

TEST_F(SkinFilesTest, EachPageFitsTheEightHundredBySixHundredWindow)
{
    CMainFrameWnd* frame = CreateMainFrame();
    ASSERT_NE(frame, nullptr);
    CPaintManagerUI& manager = *frame->GetPaintManager();
    EXPECT_EQ(manager.GetInitSize(), (UISize{800, 600}));
    EXPECT_GT(manager.GetCaptionRect().bottom, 0);

    for (const char* option : {"adOption", "singleOption", "batchOption", "searchOption"}) {
        SCOPED_TRACE(option);
        ASSERT_TRUE(CHeadlessBackend::Click(manager, option));
        manager.UpdateLayout();
        ExpectNestedInside(*manager.GetRoot(), UIRect{0, 0, 800, 600});
    }

    // The single list runs the full width: rows hold edits from x 80 to 774.
    EXPECT_GE(manager.FindControl("FileListLayoutUI")->GetWidth(), 790);
    // The batch progress bar (647 x 33 at 3, 3) fits its layout.
    CControlUI* progressLayout = manager.FindControl("BatchFunLayoutUI");
    EXPECT_GE(progressLayout->GetWidth(), 653);
    EXPECT_GE(progressLayout->GetHeight(), 39);
    frame->Close(0);
}

} // namespace
