// The notice box on the headless backend: its fade, its two ways of closing, its text.

#include "AppTestSupport.h"

#include "app/NoticeBoxUI.h"
#include "toolkit/CLabelUI.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::vector<int> kFullFade{0, 255, 229, 204, 178, 153, 127, 102, 76, 51, 25};

class NoticeBoxTest : public apptest::HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        UsePackedSkins();
    }
    // Creates a box as every caller does, without showing it yet.
    NoticeBoxUI* Make(const char* text, int steps)
    {
        auto* box = new NoticeBoxUI(text, steps);
        if (box->Create(nullptr, "", NoticeBoxUI::kStyle, 0, 0, 0, 300, 400) == nullptr)
            throw std::runtime_error("the notice box was not created");
        box->CenterWindow();
        return box;
    }
    const CHeadlessBackend::WindowRecord& Record() { return *backend.FindWindow("NoticeBoxUI"); }
};

TEST_F(NoticeBoxTest, AFadingBoxShowsFallingOpacitiesAndClosesByItselfAtTheEleventhTick)
{
    NoticeBoxUI* box = Make("  保存成功 !\n", 10);
    const auto start = backend.Clock();
    EXPECT_EQ(box->ShowModal(), 1);
    EXPECT_EQ(Record().opacityHistory, kFullFade);
    EXPECT_EQ(backend.Clock() - start, 11u * 200u);
}

TEST_F(NoticeBoxTest, TheCloseButtonEndsTheFadeAtOnceWithResultZero)
{
    NoticeBoxUI* box = Make("  保存失败 !\n", 10);
    CPaintManagerUI* manager = box->GetPaintManager();
    backend.QueueAction([&] {
        backend.AdvanceClock(600);
        EXPECT_TRUE(CHeadlessBackend::Click(*manager, "BtnClose"));
    });
    EXPECT_EQ(box->ShowModal(), 0);
    EXPECT_EQ(Record().opacityHistory, (std::vector<int>{0, 255, 229, 204}));
    backend.AdvanceClock(2000);  // no fade tick after the close
    EXPECT_EQ(Record().opacityHistory.size(), 4u);
}

TEST_F(NoticeBoxTest, ABoxWithoutStepsShowsTheMessageOpaqueUntilTheCloseButton)
{
    NoticeBoxUI* box = Make("  您还没有选择需要积存的种子路径 !\n", 0);
    CPaintManagerUI* manager = box->GetPaintManager();
    auto* text = dynamic_cast<CLabelUI*>(manager->FindControl("TextUI"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), "  您还没有选择需要积存的种子路径 !\n");
    bool stillOpen = false;
    backend.QueueAction([&] {
        backend.AdvanceClock(10000);
        stillOpen = !Record().closed;
        CHeadlessBackend::Click(*manager, "BtnClose");
    });
    EXPECT_EQ(box->ShowModal(), 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Record().opacityHistory, std::vector<int>{255});
}

TEST_F(NoticeBoxTest, ASkinWithoutTextUIStillShowsTheMessageAndFades)
{
    apptest::SkinFolder skins;
    skins.Replace("NoticeBoxSkin.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,400">
  <Font id="0" name="WenQuanYi Micro Hei" size="15"/>
  <VerticalLayout><Button name="BtnClose" text="close" height="40"/></VerticalLayout>
</Window>)");
    UseSkinFolder(skins);
    NoticeBoxUI* box = Make("  种子文件分析错误!\n", 10);
    CControlUI* text = box->GetPaintManager()->FindControl("TextUI");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), "  种子文件分析错误!\n");
    EXPECT_TRUE(text->IsVisibleInTree());
    EXPECT_EQ(box->ShowModal(), 1);
    EXPECT_EQ(Record().opacityHistory, kFullFade);
}

TEST_F(NoticeBoxTest, ShowNoticeBoxOpensAModalCentredBoxOverItsOwner)
{
    auto* owner = new NoticeBoxUI("owner", 0);  // any window will do as owner
    ASSERT_NE(owner->Create(nullptr, "owner", 0x10CF0000u, 0, 0, 0, 800, 600), nullptr);
    EXPECT_EQ(ShowNoticeBox(owner->GetHWND(), "  保存成功 !\n"), 1);
    EXPECT_EQ(Record().parent, owner->GetHWND());
    EXPECT_EQ(Record().rect.Width(), 300);
    EXPECT_EQ(Record().rect.Height(), 400);
    EXPECT_TRUE(Record().centered && Record().modal);
    owner->Close(0);
}

} // namespace
