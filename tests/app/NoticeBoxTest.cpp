// The notice box on the headless backend: its fade, its two ways of closing, its text.

#include "AppTestSupport.h"

#include "shell/NoticeBoxUI.h"

#include <cstdint>
#include <vector>

namespace {

const std::vector<int> kFullFade{0, 255, 229, 204, 178, 153, 127, 102, 76, 51, 25};

class NoticeBoxTest : public apptest::HeadlessTest {
protected:
    const CHeadlessBackend::WindowRecord& Record() { return *backend.FindWindow("NoticeBoxUI"); }
};

// A skin without TextUI still shows the message: the box makes the label itself.
TEST_F(NoticeBoxTest, TheBoxShowsItsTextAndClosesAtTheEleventhFadeTickOrAtOnceOnItsCloseButton)
{
    apptest::SkinFolder withoutText;
    withoutText.Replace("NoticeBoxSkin.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,400">
  <Font id="0" name="WenQuanYi Micro Hei" size="15"/>
  <VerticalLayout><Button name="BtnClose" text="close" height="40"/></VerticalLayout>
</Window>)");
    struct Case {
        int steps;
        int clickAt; // none when negative
        int result;
        std::vector<int> opacities;
        bool withoutText = false;
    };
    const Case cases[] = {
        {10, -1, 1, kFullFade}, {10, 600, 0, {0, 255, 229, 204}}, {0, 10000, 0, {255}}, {10, -1, 1, kFullFade, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.steps << " steps, click at " << c.clickAt << ", " << c.withoutText);
        if (c.withoutText)
            UseSkinFolder(withoutText);
        // Made as every caller makes it.
        auto* box = new NoticeBoxUI("  您还没有选择需要积存的种子路径 !\n", c.steps);
        ASSERT_NE(box->Create(nullptr, "", NoticeBoxUI::kStyle, 0, 0, 0, 300, 400), nullptr);
        box->CenterWindow();
        CPaintManagerUI* manager = box->GetPaintManager();
        CControlUI* text = manager->FindControl("TextUI");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->GetText(), "  您还没有选择需要积存的种子路径 !\n");
        EXPECT_TRUE(text->IsVisibleInTree());
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

} // namespace
