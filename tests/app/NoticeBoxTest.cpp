// The notice box on the headless backend: its fade, its two ways of closing, its text.

#include "AppTestSupport.h"

#include "shell/NoticeBoxUI.h"

#include <cstdint>
#include <vector>

namespace {

const std::vector<int> kFullFade{0, 255, 229, 204, 178, 153, 127, 102, 76, 51, 25};

class NoticeBoxTest : public apptest::HeadlessTest {
protected:
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

TEST_F(NoticeBoxTest, TheBoxClosesAtTheEleventhFadeTickOrAtOnceOnItsCloseButton)
{
    struct Case {
        int steps;
        int clickAt; // none when negative
        int result;
        std::vector<int> opacities;
    };
    const Case cases[] = {{10, -1, 1, kFullFade}, {10, 600, 0, {0, 255, 229, 204}}, {0, 10000, 0, {255}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.steps << " steps, click at " << c.clickAt);
        NoticeBoxUI* box = Make("  您还没有选择需要积存的种子路径 !\n", c.steps);
        CPaintManagerUI* manager = box->GetPaintManager();
        EXPECT_EQ(manager->FindControl("TextUI")->GetText(), "  您还没有选择需要积存的种子路径 !\n");
        bool openUntilClicked = true;
        if (c.clickAt >= 0) {
            backend.QueueAction([&, manager] {
                backend.AdvanceClock(static_cast<std::uint64_t>(c.clickAt));
                openUntilClicked = !Record().closed;
                EXPECT_TRUE(CHeadlessBackend::Click(*manager, "BtnClose"));
            });
        }
        const auto start = backend.Clock();
        EXPECT_EQ(box->ShowModal(), c.result);
        EXPECT_TRUE(openUntilClicked);
        EXPECT_EQ(backend.Clock() - start, c.clickAt >= 0 ? static_cast<std::uint64_t>(c.clickAt) : 11u * 200u);
        backend.AdvanceClock(2000); // no fade tick after the close
        EXPECT_EQ(Record().opacityHistory, c.opacities);
    }
}

TEST_F(NoticeBoxTest, ASkinWithoutTextUIStillShowsTheMessage)
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

} // namespace
