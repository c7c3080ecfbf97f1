// What each control tells assistive technology, decided from the skin and the control's state.

#include "ToolkitTestSupport.h"

#include "toolkit/AccessibleDescription.h"
#include "toolkit/AccessibleElements.h"

#include <memory>

using namespace toolkittest;

namespace {

constexpr const char* kSkin = R"(<?xml version="1.0" encoding="utf-8"?>
<VerticalLayout name="root">
  <HorizontalLayout height="30">
    <Option name="tab_a" text="单个种子" accessiblerole="pagetab" group="g" selected="true"/>
    <Option name="tab_b" text="批量转换" accessiblerole="pagetab" group="g"/>
    <Option name="plain_option" text="选项" group="h"/>
    <Button name="closebtn" text="×" accessiblename="关闭"/>
    <Button name="btn_off" text="保存种子" enabled="false"/>
  </HorizontalLayout>
  <HorizontalLayout height="30">
    <Label name="label_name" text="种子名称"/>
    <Edit name="edit_name" text="movie" labelledby="label_name"/>
    <Edit name="edit_secret" text="hunter2" password="true" readonly="true"/>
    <Edit name="edit_orphan" text="x" labelledby="no_such_label"/>
    <Progress name="progress" min="1" max="100" value="42"/>
    <Control name="hidden" visible="false"/>
  </HorizontalLayout>
  <List name="list">
    <ListContainerElement name="row" height="30">
      <Label name="caption" text="文件" width="40"/>
      <Edit name="file" text="a.mkv" labelledby="caption"/>
    </ListContainerElement>
    <ListContainerElement name="row" height="30">
      <Label name="caption" text="文件" width="40"/>
      <Edit name="file" text="b.mkv" labelledby="caption" visible="false"/>
    </ListContainerElement>
    <ListContainerElement name="row_gone" height="30" visible="false"/>
  </List>
</VerticalLayout>)";

class AccessibleDescription : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        Write("a11y.xml", kSkin);
        root.reset(CDialogBuilder().Create("a11y.xml"));
        ASSERT_NE(root, nullptr);
        root->SetPos(UIRect{0, 0, 800, 600});
    }
    UIAccessibleInfo Describe(const char* name) { return DescribeForAccessibility(Find(name)); }
    CControlUI& Find(const char* name) { return toolkittest::Find(root.get(), name); }
    std::unique_ptr<CControlUI> root;
};

TEST_F(AccessibleDescription, RolesNamesValuesAndStatesComeFromTheSkinAndTheControl)
{
    using enum UIAccessibleRole;
    struct Case {
        const char* control;
        UIAccessibleRole role;
        const char* name;
        const char* value;
        std::uint32_t states;
    };
    const Case cases[] = {
        {"tab_a", PageTab, "单个种子", "", kAccessibleFocusable | kAccessibleSelected},
        {"tab_b", PageTab, "批量转换", "", kAccessibleFocusable},
        {"plain_option", RadioButton, "选项", "", kAccessibleFocusable},
        {"closebtn", PushButton, "关闭", "", kAccessibleFocusable},
        {"btn_off", PushButton, "保存种子", "", kAccessibleFocusable | kAccessibleDisabled},
        {"label_name", StaticText, "种子名称", "", 0},
        {"edit_name", EditableText, "种子名称", "movie", kAccessibleFocusable},
        {"edit_secret", EditableText, "", "", kAccessibleFocusable | kAccessibleReadOnly | kAccessiblePassword},
        {"edit_orphan", EditableText, "", "x", kAccessibleFocusable},
        {"progress", ProgressBar, "", "42", 0},
        {"hidden", Pane, "", "", kAccessibleInvisible},
        {"list", List, "", "", 0},
        {"root", Pane, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const UIAccessibleInfo info = Describe(c.control);
        EXPECT_EQ(info.role, c.role);
        EXPECT_EQ(info.name.str(), c.name);
        EXPECT_EQ(info.value.str(), c.value);
        EXPECT_EQ(info.states, c.states);
    }
}

TEST_F(AccessibleDescription, ListRowsAreNamedByWhatTheyShowFindTheirOwnCaptionsAndOnlyShownOnesCount)
{
    auto& list = dynamic_cast<CListUI&>(Find("list"));
    EXPECT_EQ(Describe("list").rowCount, 2) << "a hidden row is no row";
    EXPECT_EQ(DescribeForAccessibility(*list.GetItemAt(0)).role, UIAccessibleRole::ListItem);
    EXPECT_EQ(DescribeForAccessibility(*list.GetItemAt(0)).name.str(), "文件 a.mkv");
    EXPECT_EQ(DescribeForAccessibility(*list.GetItemAt(1)).name.str(), "文件") << "a hidden edit says nothing";
    EXPECT_EQ(
        AccessibleLabelOf(*list.GetItemAt(1)->FindSubControl("file")), list.GetItemAt(1)->FindSubControl("caption"));

    // The elements a screen reader walks: reading order, no panes, nothing hidden.
    std::vector<std::string> names;
    for (const UIAccessibleElement& element : CollectAccessibleElements(*root))
        names.push_back(element.control->GetName().str());
    EXPECT_EQ(names,
        (std::vector<std::string>{"tab_a", "tab_b", "plain_option", "closebtn", "btn_off", "label_name", "edit_name",
            "edit_secret", "edit_orphan", "progress", "list", "row", "caption", "file", "row", "caption"}));
}

TEST_F(AccessibleDescription, ChangesReachTheDescriptionAndBumpTheRevision)
{
    CControlUI& edit = Find("edit_name");
    const std::uint32_t before = edit.GetRevision();
    edit.SetAccessibleName("名字");
    edit.SetText("other");
    EXPECT_GT(edit.GetRevision(), before);
    EXPECT_EQ(Describe("edit_name").name.str(), "名字");
    EXPECT_EQ(Describe("edit_name").value.str(), "other");
    dynamic_cast<COptionUI&>(Find("tab_b")).Selected(true);
    EXPECT_TRUE(Describe("tab_b").Has(kAccessibleSelected));
    Find("closebtn").SetAttribute("accessiblerole", "nonsense");
    EXPECT_EQ(Describe("closebtn").role, UIAccessibleRole::PushButton);
}

} // namespace
