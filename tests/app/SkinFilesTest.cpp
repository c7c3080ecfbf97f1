// The packed skin archive: the controls the program looks up, unique names, and a layout that
// keeps every control inside its parent.

#include "AppTestSupport.h"
#include "toolkit/UIlib.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

template <class T>
bool Is(CControlUI* control)
{
    return dynamic_cast<T*>(control) != nullptr;
}
const auto Container = &Is<CContainerUI>, TabLayout = &Is<CTabLayoutUI>, Option = &Is<COptionUI>,
           Button = &Is<CButtonUI>, Edit = &Is<CEditUI>, Label = &Is<CLabelUI>, WebBrowser = &Is<CWebBrowserUI>;

struct Required {
    const char* name;
    bool (*isKind)(CControlUI*);
};

const std::map<std::string, std::vector<Required>> kRequired{
    {"MainFrame.xml",
        {{"PageTabLayoutUI", TabLayout}, {"adOption", Option}, {"singleOption", Option}, {"batchOption", Option},
            {"searchOption", Option}, {"closebtn", Button}}},
    {"NoticeBoxSkin.xml", {{"TextUI", Label}, {"BtnClose", Button}}},
    {"SingleSkin.xml",
        {{"btn_single_file", Button}, {"btn_single_save", Button}, {"btn_single_onekey_modify", Button},
            {"edit_single_file", Edit}, {"FileListLayoutUI", Container}}},
    {"SingleControlSkin.xml", {{"SingleListLayoutUI", Container}, {"edit_single_name", Edit}}},
    {"SingleListSkin.xml",
        {{"SingleElementLayoutUI", Container}, {"edit_single_file", Edit}, {"text_single_size", Label},
            {"label_single_size", Label}}},
    {"BatchSkin.xml",
        {{"TorrentListLayoutUI", Container}, {"btn_batch_src", Button}, {"btn_batch_des", Button},
            {"btn_batch_conver", Button}, {"edit_batch_src", Edit}, {"edit_batch_des", Edit},
            {"text_batch_rate", Label}, {"BatchFunLayoutUI", Container}}},
    {"BatchControlSkin.xml", {{"BatchListLayoutUI", Container}}},
    {"BatchListSkin.xml",
        {{"BatchElementLayoutUI", Container}, {"text_conver_src", Label}, {"text_conver_des", Label},
            {"text_conver_state", Label}}},
    {"ADSkin.xml", {{"ad_ie", WebBrowser}}},
    {"SearchSkin.xml", {{"search_ie", WebBrowser}}},
};

class SkinFilesTest : public apptest::HeadlessTest { };

TEST_F(SkinFilesTest, EverySkinFileHoldsTheControlsLookedUpInItAndTheMainWindowsNamesAreUnique)
{
    std::map<std::string, int> mainWindowNames;
    for (const auto& [file, controls] : kRequired) {
        SCOPED_TRACE(file);
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(file.c_str()));
        ASSERT_NE(root, nullptr);
        for (const Required& required : controls) {
            SCOPED_TRACE(required.name);
            CControlUI* control = FindSubControlByName(root.get(), required.name);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(required.isKind(control));
            // The single list moves these with SetFixedXY, which only floating controls obey.
            EXPECT_TRUE(file != "SingleListSkin.xml" || required.isKind == Container || control->IsFloat());
        }
        // List rows and the notice box are separate windows or repeat by design.
        if (file == "NoticeBoxSkin.xml" || file == "SingleListSkin.xml" || file == "BatchListSkin.xml")
            continue;
        root->VisitTree([&](CControlUI& control) {
            if (!control.GetName().IsEmpty())
                ++mainWindowNames[control.GetName().str()];
            return true;
        });
    }
    for (const auto& [name, count] : mainWindowNames)
        EXPECT_EQ(count, 1) << name;
}

TEST_F(SkinFilesTest, EveryVisibleControlOfEachPageLiesInsideItsParentAndTheWindow)
{
    ASSERT_TRUE(OpenFrame());
    CPaintManagerUI& manager = Manager();
    EXPECT_EQ(manager.GetInitSize(), (UISize{800, 600}));
    EXPECT_GT(manager.GetCaptionRect().bottom, 0);

    for (const char* option : {"adOption", "singleOption", "batchOption", "searchOption"}) {
        SCOPED_TRACE(option);
        ASSERT_TRUE(CHeadlessBackend::Click(manager, option));
        manager.UpdateLayout();
        manager.GetRoot()->VisitTree([&](CControlUI& control) {
            if (!control.IsVisible())
                return false;
            const UIRect r = control.GetPos();
            const UIRect outer
                = control.GetParent() != nullptr ? control.GetParent()->GetPos() : UIRect{0, 0, 800, 600};
            EXPECT_TRUE(
                r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom)
                << control.GetClass() << " '" << control.GetName().str() << "' at " << r.left << "," << r.top << ","
                << r.right << "," << r.bottom;
            return true;
        });
    }
    // The single list runs the full width (row edits reach x 774); the batch progress bar
    // (597 x 33 at 3, 3) fits its layout, and the counter beside it holds "100000/100000".
    EXPECT_GE(manager.FindControl("FileListLayoutUI")->GetWidth(), 790);
    EXPECT_GE(manager.FindControl("BatchFunLayoutUI")->GetWidth(), 603);
    EXPECT_GE(manager.FindControl("text_batch_rate")->GetWidth(), 100);
    EXPECT_GE(manager.FindControl("BatchFunLayoutUI")->GetHeight(), 39);
}

} // namespace
