// The web panes on the headless backend: the advertisement page file, the configured addresses,
// the browsers' event handler and what each pane builds and where it sends its browser.

#include "app/AppTestSupport.h"
#include "shell/StartDirectory.h"
#include "support/WorkingFolder.h"
#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/AdPage.h"
#include "ui/web/RerWebBrowserEventHandler.h"
#include "ui/web/SearchControlUI.h"
#include "ui/web/WebAddresses.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Sets address variables for one test; all of them are unset before and after.
struct ConfiguredAddresses {
    ConfiguredAddresses() { Clear(); }
    ~ConfiguredAddresses() { Clear(); }
    void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
    static void Clear()
    {
        for (const char* name :
            {"KELPMERE_AD_CLICK_URL_1", "KELPMERE_AD_CLICK_URL_2", "KELPMERE_AD_CLICK_URL_3", "KELPMERE_AD_CLICK_URL_4",
                "KELPMERE_AD_IMAGE_URL_1", "KELPMERE_AD_IMAGE_URL_2", "KELPMERE_SEARCH_HOST"})
            ::unsetenv(name);
    }
};

std::vector<std::string> SplitAtTabRuns(const std::string& text)
{
    const std::string run(7, '\t');
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(run, from)) != std::string::npos; from = at + run.size())
        pieces.push_back(text.substr(from, at - from));
    pieces.push_back(text.substr(from));
    return pieces;
}

TEST(AdPageFileTest, ThePageReplacesAnyOldFileWithExactlyTheTwentyTwoPiecesAndTheAddressesUncut)
{
    ConfiguredAddresses addresses;
    WorkingFolder work;
    for (const auto& [name, value] :
        std::vector<std::pair<const char*, const char*>>{{"KELPMERE_AD_CLICK_URL_1", "http://click.test/one?a=1&b=2"},
            {"KELPMERE_AD_CLICK_URL_2", "http://click.test/two"},
            {"KELPMERE_AD_CLICK_URL_3", "http://click.test/three"},
            {"KELPMERE_AD_CLICK_URL_4", "http://click.test/four"},
            {"KELPMERE_AD_IMAGE_URL_1", "http://image.test/banner.png"},
            {"KELPMERE_AD_IMAGE_URL_2", "images/square.jpg"}})
        addresses.Set(name, value);
    WriteFile(work.AdPageFile(), std::string(50000, 'x'));
    ASSERT_TRUE(WriteAdPage(work.AdPageFile().c_str()));
    // Twenty-two pieces, none holding a tab or a line break; those ending in '*' here only start
    // so (and end an element), the others are whole. The links and pictures carry the configured
    // addresses whole and in place.
    const std::vector<std::string> pieces = SplitAtTabRuns(ReadFile(work.AdPageFile()));
    const std::vector<std::string> wanted = {"<html style=*", "<head>", "<style type='text/css'>", ".Clear", "{",
        "clear:both;", "}", "</style>", "</head>", "<body scroll='no'*", "<div style='height:100px*",
        "<a href='http://click.test/one?a=1&b=2' target='_blank'><IMG SRC='http://image.test/banner.png' width='795'*",
        "</div>", "<div style='height: 310px*",
        "<a href='http://click.test/two' target='_blank'><IMG SRC='images/square.jpg' width='300'*",
        "<a href='http://click.test/three' target='_blank'>", "<img src='images/400x300.jpg'*",
        "<a href='http://click.test/four' target='_blank'>", "<img src='images/100x300.jpg'*", "</div>", "</body>",
        "</html>"};
    ASSERT_EQ(pieces.size(), 22u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        const bool start = wanted[i].ends_with('*');
        const std::string_view want(wanted[i].data(), wanted[i].size() - (start ? 1 : 0));
        EXPECT_TRUE(start ? piece.starts_with(want) && piece.ends_with('>') : piece == want) << i << ": " << piece;
        EXPECT_EQ(piece.find_first_of("\t\r\n"), std::string::npos) << i;
    }

    // A long address goes in as it is, also below a folder path far beyond 256 bytes.
    const std::string longAddress = "http://click.test/" + std::string(20000, 'a');
    addresses.Set("KELPMERE_AD_CLICK_URL_4", longAddress);
    const fs::path deep = work.path / std::string(200, 'd') / std::string(200, 'e') / "Ad";
    fs::create_directories(deep);
    ASSERT_TRUE(WriteAdPage((deep / "ad.html").c_str()));
    EXPECT_EQ(ReadFile(deep / "ad.html"), AdPageText(ConfiguredAdAddresses()));
    EXPECT_EQ(SplitAtTabRuns(ReadFile(deep / "ad.html")).at(17), "<a href='" + longAddress + "' target='_blank'>");
    // A write that fails on the way (the device is full) is reported.
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(WriteAdPage("/dev/full"));
    }
}

TEST(WebAddressesTest, AVariableOverridesItsBuiltInAddressUnlessEmptyAndTheBuiltInPicturesShipWithTheProgram)
{
    ConfiguredAddresses addresses;
    const AdAddresses builtIn = ConfiguredAdAddresses();
    const std::string builtInSearch = ConfiguredSearchAddress();
    EXPECT_TRUE(builtInSearch.ends_with("/search"));

    addresses.Set("KELPMERE_AD_IMAGE_URL_2", "");
    addresses.Set("KELPMERE_SEARCH_HOST", "");
    EXPECT_EQ(ConfiguredAdAddresses().image[1], builtIn.image[1]);
    EXPECT_EQ(ConfiguredSearchAddress(), builtInSearch);

    addresses.Set("KELPMERE_AD_CLICK_URL_3", "http://elsewhere.test/3");
    addresses.Set("KELPMERE_AD_IMAGE_URL_1", "http://elsewhere.test/banner.png");
    const AdAddresses overridden = ConfiguredAdAddresses();
    EXPECT_EQ(overridden.click[2], "http://elsewhere.test/3");
    EXPECT_EQ(overridden.image[0], "http://elsewhere.test/banner.png");
    EXPECT_EQ(overridden.click[0], builtIn.click[0]);
    EXPECT_EQ(overridden.image[1], builtIn.image[1]);

    for (const char* host : {"http://127.0.0.1:8080", "http://127.0.0.1:8080/", "http://127.0.0.1:8080//"}) {
        addresses.Set("KELPMERE_SEARCH_HOST", host);
        EXPECT_EQ(ConfiguredSearchAddress(), "http://127.0.0.1:8080/search") << host;
    }

    // When the build keeps its default pictures, they ship with the program.
    if (builtIn.image[0] == "images/795x100.jpg" && builtIn.image[1] == "images/300x300.jpg") {
        for (const char* picture : {"795x100.jpg", "300x300.jpg", "400x300.jpg", "100x300.jpg"})
            EXPECT_TRUE(fs::exists(fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Ad" / "images" / picture)) << picture;
    }
}

// ---- the event handler ----

TEST(RerWebBrowserEventHandlerTest, TheTwentyTwoOperationsGiveTheirAnswers)
{
    RerWebBrowserEventHandler h;
    CWebBrowserUI b;
    CDuiString text;
    bool cancel = false;
    DocHostUIInfo info;
    // The six events give no answer and must not cancel the navigation.
    h.BeforeNavigate2(&b, "http://a.test/", cancel);
    h.NavigateError(&b, "http://a.test/", 404, cancel);
    h.NavigateComplete2(&b, "http://a.test/");
    h.ProgressChange(&b, 50, 100);
    h.NewWindow3(&b, "http://a.test/", cancel);
    h.CommandStateChange(&b, 1, true);
    EXPECT_FALSE(cancel);
    // The sixteen others, in slot order, with the answer each must give (a braced list is
    // evaluated in order).
    const std::vector<std::pair<UIResult, UIResult>> answers = {{h.ShowContextMenu(&b, 0, UIPoint{3, 4}), kUIResultOk},
        {h.GetHostInfo(&b, &info), kUIResultOk}, {h.ShowUI(&b), kUIResultFalse}, {h.HideUI(&b), kUIResultOk},
        {h.UpdateUI(&b), kUIResultOk}, {h.EnableModeless(&b, true), kUIResultOk},
        {h.OnDocWindowActivate(&b, true), kUIResultOk}, {h.OnFrameWindowActivate(&b, true), kUIResultOk},
        {h.ResizeBorder(&b, UIRect{0, 0, 10, 10}, true), kUIResultOk},
        {h.TranslateAccelerator(&b, 'A', 0), kUIResultFalse}, {h.GetOptionKeyPath(&b, text), kUIResultOk},
        {h.GetDropTarget(&b), kUIResultNotImplemented}, {h.GetExternal(&b), kUIResultNotImplemented},
        {h.TranslateUrl(&b, "http://a.test/", text), kUIResultOk}, {h.FilterDataObject(&b), kUIResultOk},
        {h.Download(&b, "http://a.test/file.torrent"), kUIResultOk}};
    for (std::size_t i = 0; i < answers.size(); ++i)
        EXPECT_EQ(answers[i].first, answers[i].second) << "operation " << i + 7;
    // Host info gains the no-border flag and keeps what was there.
    info.flags = kDocHostUIFlagDialog;
    EXPECT_EQ(h.GetHostInfo(&b, &info), kUIResultOk);
    EXPECT_EQ(info.flags, kDocHostUIFlagDialog | kDocHostUIFlagNo3DBorder);
    EXPECT_EQ(h.GetHostInfo(&b, nullptr), kUIResultOk);
}

// ---- the panes ----

// A tab layout in a manager of its own, as the main window gives the panes.
class WebPaneTest : public apptest::HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        addresses.Set("KELPMERE_SEARCH_HOST", "http://127.0.0.1:9");
        ASSERT_TRUE(RecordStartDirectory());
        CDialogBuilder builder;
        tabs = dynamic_cast<CContainerUI*>(builder.CreateFromXml("<TabLayout/>", nullptr, manager.get()));
        ASSERT_TRUE(tabs != nullptr && manager->AttachDialog(tabs));
    }
    void TearDown() override
    {
        manager.reset();
        HeadlessTest::TearDown();
    }
    const std::vector<CHeadlessBackend::Navigation>& Navigations() const { return backend.Navigations(); }

    ConfiguredAddresses addresses;
    WorkingFolder work;
    std::unique_ptr<CPaintManagerUI> manager = std::make_unique<CPaintManagerUI>();
    CContainerUI* tabs = nullptr;
};

TEST_F(WebPaneTest, EachPaneShowsItsPageInABorderlessBrowserTheAdPaneWritingItsPageFirst)
{
    auto* ad = new AdControlUI;
    auto* search = new SearchControlUI;
    ASSERT_TRUE(ad->CreatePage(tabs) && search->CreatePage(tabs) && tabs->GetCount() == 2);
    EXPECT_EQ(tabs->GetItemAt(0), ad);
    EXPECT_EQ(AdControlUI::PagePath(), work.AdPageFile().string());
    EXPECT_EQ(ReadFile(work.AdPageFile()), AdPageText(ConfiguredAdAddresses()));
    for (CWebBrowserUI* browser : {ad->GetBrowser(), search->GetBrowser()}) {
        ASSERT_TRUE(browser != nullptr && browser->GetWebBrowserEventHandler() != nullptr);
        DocHostUIInfo info;
        browser->GetWebBrowserEventHandler()->GetHostInfo(browser, &info);
        EXPECT_TRUE(info.flags & kDocHostUIFlagNo3DBorder) << browser->GetName().str();
    }
    std::vector<std::string> sent;
    for (const CHeadlessBackend::Navigation& navigation : Navigations())
        sent.push_back(navigation.browserName + " " + navigation.url);
    EXPECT_EQ(
        sent, (std::vector<std::string>{"ad_ie " + work.AdPageFile().string(), "search_ie http://127.0.0.1:9/search"}));
}

TEST_F(WebPaneTest, WithoutAnAdFolderOrAStartDirectoryTheAdvertisementPaneIsNotBuilt)
{
    fs::remove_all(work.path / "Ad");
    auto* pane = new AdControlUI;
    EXPECT_FALSE(pane->CreatePage(tabs));
    EXPECT_TRUE(tabs->GetCount() == 0 && pane->GetParent() == nullptr && Navigations().empty());
    EXPECT_FALSE(fs::exists(work.path / "Ad"));

    // With the folder back but no start directory recorded, nothing lands in the root folder.
    fs::create_directories(work.path / "Ad");
    startDirectory[0] = '\0';
    EXPECT_FALSE(pane->CreatePage(tabs));
    EXPECT_TRUE(tabs->GetCount() == 0 && !fs::exists(work.AdPageFile()));
    delete pane;
}

TEST_F(WebPaneTest, SkinsWithoutABrowserGivePanesThatNavigateNowhere)
{
    apptest::SkinFolder skins;
    skins.Replace("ADSkin.xml", R"(<VerticalLayout><Label name="label_x"/></VerticalLayout>)");
    skins.Replace("SearchSkin.xml", R"(<VerticalLayout/>)");
    UseSkinFolder(skins);
    auto* ad = new AdControlUI;
    auto* search = new SearchControlUI;
    EXPECT_TRUE(ad->CreatePage(tabs) && search->CreatePage(tabs) && tabs->GetCount() == 2);
    EXPECT_TRUE(ad->GetBrowser() == nullptr && search->GetBrowser() == nullptr && Navigations().empty());
}

} // namespace
