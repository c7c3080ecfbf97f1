// The web panes on the headless backend: the advertisement page file, the configured addresses,
// the browsers' event handler and what each pane builds and where it sends its browser.

#include "app/StartDirectory.h"
#include "support/WorkingFolder.h"
#include "toolkit/CDialogBuilder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/headless/CHeadlessBackend.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/AdPage.h"
#include "ui/web/RerWebBrowserEventHandler.h"
#include "ui/web/SearchControlUI.h"
#include "ui/web/WebAddresses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kAddressVariables[] = {
    "KELPMERE_AD_CLICK_URL_1", "KELPMERE_AD_CLICK_URL_2", "KELPMERE_AD_CLICK_URL_3", "KELPMERE_AD_CLICK_URL_4",
    "KELPMERE_AD_IMAGE_URL_1", "KELPMERE_AD_IMAGE_URL_2", "KELPMERE_SEARCH_HOST",
};

// Sets the address variables for one test and removes them again afterwards.
class ConfiguredAddresses {
public:
    ConfiguredAddresses() { Clear(); }
    ~ConfiguredAddresses() { Clear(); }
    void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

private:
    static void Clear()
    {
        for (const char* name : kAddressVariables)
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

// ---- the page file ----

class AdPageFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addresses.Set("KELPMERE_AD_CLICK_URL_1", "http://click.test/one?a=1&b=2");
        addresses.Set("KELPMERE_AD_CLICK_URL_2", "http://click.test/two");
        addresses.Set("KELPMERE_AD_CLICK_URL_3", "http://click.test/three");
        addresses.Set("KELPMERE_AD_CLICK_URL_4", "http://click.test/four");
        addresses.Set("KELPMERE_AD_IMAGE_URL_1", "http://image.test/banner.png");
        addresses.Set("KELPMERE_AD_IMAGE_URL_2", "images/square.jpg");
    }
    ConfiguredAddresses addresses;
    WorkingFolder work;
};

TEST_F(AdPageFileTest, ThePageIsExactlyTheTwentyTwoPiecesJoinedByRunsOfSevenTabsWithTheAddressesInPlace)
{
    ASSERT_TRUE(WriteAdPage(work.AdPageFile().c_str()));
    const std::string text = ReadFile(work.AdPageFile());
    const std::vector<std::string> expected = {
        "<html style='height: 410px; width: 780px'>",
        "<head>",
        "<style type='text/css'>",
        ".Clear",
        "{",
        "clear:both;",
        "}",
        "</style>",
        "</head>",
        "<body scroll='no' style='padding-top:5px;padding-left:5px;background-color:#ffffff; margin:0; border=0;'>",
        "<div style='height:100px;width:800px;margin:0;'>",
        "<a href='http://click.test/one?a=1&b=2' target='_blank'><IMG SRC='http://image.test/banner.png' "
        "width='795' height='100' border='0'></a>",
        "</div>",
        "<div style='height: 310px; width: 800px;margin:0;'>",
        "<a href='http://click.test/two' target='_blank'><IMG SRC='images/square.jpg' width='300' height='300' "
        "border='0' style='margin-top: 5px;' =></a>",
        "<a href='http://click.test/three' target='_blank'>",
        "<img src='images/400x300.jpg' style='width: 400px; height: 300px; margin-top: 5px'>",
        "<a href='http://click.test/four' target='_blank'>",
        "<img src='images/100x300.jpg' style='width: 75px; height: 300px; margin-top: 5px'>",
        "</div>",
        "</body>",
        "</html>",
    };
    EXPECT_EQ(SplitAtTabRuns(text), expected);
    // No other tab, no line break, nothing after the last piece.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 21 * 7);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(text.back(), '>');
}

TEST_F(AdPageFileTest, AnExistingPageIsReplacedWholeAndLongAddressesAndPathsGoInUncut)
{
    WriteFile(work.AdPageFile(), std::string(50000, 'x'));
    const std::string longAddress = "http://click.test/" + std::string(20000, 'a');
    addresses.Set("KELPMERE_AD_CLICK_URL_4", longAddress);
    ASSERT_TRUE(WriteAdPage(work.AdPageFile().c_str()));
    const std::string text = ReadFile(work.AdPageFile());
    EXPECT_EQ(text, AdPageText(ConfiguredAdAddresses()));
    EXPECT_EQ(SplitAtTabRuns(text).at(17), "<a href='" + longAddress + "' target='_blank'>");

    // A folder path far beyond 256 bytes.
    const fs::path deep = work.path / std::string(200, 'd') / std::string(200, 'e') / "Ad";
    fs::create_directories(deep);
    ASSERT_TRUE(WriteAdPage((deep / "ad.html").c_str()));
    EXPECT_EQ(ReadFile(deep / "ad.html"), text);
}

TEST_F(AdPageFileTest, AWriteThatFailsOnTheWayIsReportedAsAFailure)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(WriteAdPage("/dev/full"));
}

// ---- configured addresses ----

TEST(WebAddressesTest, AnEnvironmentVariableOverridesItsBuiltInAddressUnlessItIsEmpty)
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
}

TEST(WebAddressesTest, TheBuiltInPicturesAreOurOwnBesideThePage)
{
    ConfiguredAddresses addresses;
    const AdAddresses builtIn = ConfiguredAdAddresses();
    // Only when the build keeps its defaults: the pictures then ship with the program.
    if (builtIn.image[0] != "images/795x100.jpg" || builtIn.image[1] != "images/300x300.jpg")
        GTEST_SKIP() << "this build configures its own advertisement pictures";
    for (const char* picture : {"795x100.jpg", "300x300.jpg", "400x300.jpg", "100x300.jpg"})
        EXPECT_TRUE(fs::exists(fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Ad" / "images" / picture)) << picture;
}

// ---- the event handler ----

TEST(RerWebBrowserEventHandlerTest, TheTwentyTwoOperationsGiveTheirAnswers)
{
    RerWebBrowserEventHandler handler;
    CWebBrowserUI browser;
    CDuiString text;
    bool cancel = false;
    DocHostUIInfo info;
    const std::vector<std::pair<const char*, std::function<UIResult()>>> answers = {
        {"BeforeNavigate2", [&] { handler.BeforeNavigate2(&browser, "http://a.test/", cancel); return kUIResultOk; }},
        {"NavigateError", [&] { handler.NavigateError(&browser, "http://a.test/", 404, cancel); return kUIResultOk; }},
        {"NavigateComplete2", [&] { handler.NavigateComplete2(&browser, "http://a.test/"); return kUIResultOk; }},
        {"ProgressChange", [&] { handler.ProgressChange(&browser, 50, 100); return kUIResultOk; }},
        {"NewWindow3", [&] { handler.NewWindow3(&browser, "http://a.test/", cancel); return kUIResultOk; }},
        {"CommandStateChange", [&] { handler.CommandStateChange(&browser, 1, true); return kUIResultOk; }},
        {"ShowContextMenu", [&] { return handler.ShowContextMenu(&browser, 0, UIPoint{3, 4}); }},
        {"GetHostInfo", [&] { return handler.GetHostInfo(&browser, &info); }},
        {"ShowUI", [&] { return handler.ShowUI(&browser); }},
        {"HideUI", [&] { return handler.HideUI(&browser); }},
        {"UpdateUI", [&] { return handler.UpdateUI(&browser); }},
        {"EnableModeless", [&] { return handler.EnableModeless(&browser, true); }},
        {"OnDocWindowActivate", [&] { return handler.OnDocWindowActivate(&browser, true); }},
        {"OnFrameWindowActivate", [&] { return handler.OnFrameWindowActivate(&browser, true); }},
        {"ResizeBorder", [&] { return handler.ResizeBorder(&browser, UIRect{0, 0, 10, 10}, true); }},
        {"TranslateAccelerator", [&] { return handler.TranslateAccelerator(&browser, 'A', 0); }},
        {"GetOptionKeyPath", [&] { return handler.GetOptionKeyPath(&browser, text); }},
        {"GetDropTarget", [&] { return handler.GetDropTarget(&browser); }},
        {"GetExternal", [&] { return handler.GetExternal(&browser); }},
        {"TranslateUrl", [&] { return handler.TranslateUrl(&browser, "http://a.test/", text); }},
        {"FilterDataObject", [&] { return handler.FilterDataObject(&browser); }},
        {"Download", [&] { return handler.Download(&browser, "http://a.test/file.torrent"); }},
    };
    const UIResult expected[22] = {
        kUIResultOk, kUIResultOk, kUIResultOk, kUIResultOk, kUIResultOk, kUIResultOk,   // events: no answer
        kUIResultOk, kUIResultOk, kUIResultFalse, kUIResultOk, kUIResultOk, kUIResultOk, kUIResultOk,
        kUIResultOk, kUIResultOk, kUIResultFalse, kUIResultOk, kUIResultNotImplemented, kUIResultNotImplemented,
        kUIResultOk, kUIResultOk, kUIResultOk,
    };
    ASSERT_EQ(answers.size(), 22u);
    for (std::size_t slot = 0; slot < answers.size(); ++slot)
        EXPECT_EQ(answers[slot].second(), expected[slot]) << "slot " << slot << " " << answers[slot].first;
    // The navigation events let the browser go on: nothing is cancelled.
    EXPECT_FALSE(cancel);
    // Host info gains the no-border flag and keeps what was there.
    info.flags = kDocHostUIFlagDialog;
    EXPECT_EQ(handler.GetHostInfo(&browser, &info), kUIResultOk);
    EXPECT_EQ(info.flags, kDocHostUIFlagDialog | kDocHostUIFlagNo3DBorder);
    EXPECT_EQ(handler.GetHostInfo(&browser, nullptr), kUIResultOk);
}



// ---- the panes ----

// A tab layout in a manager of its own, as the main window gives the panes; skins from the packed
// archive or from a folder of loose files.
class WebPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&backend);
        UseSkins((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string(), "kelpmeres.zip");
        addresses.Set("KELPMERE_SEARCH_HOST", "http://127.0.0.1:9");
        ASSERT_TRUE(RecordStartDirectory());
    }
    void TearDown() override
    {
        tabs = nullptr;
        manager.reset();
        CPaintManagerUI::SetBackend(nullptr);
    }
    void UseSkins(const std::string& folder, const char* zip)
    {
        CPaintManagerUI::SetResourcePath(folder.c_str());
        CPaintManagerUI::SetResourceZip(zip);
        manager = std::make_unique<CPaintManagerUI>();
        CDialogBuilder builder;
        tabs = dynamic_cast<CContainerUI*>(builder.CreateFromXml("<TabLayout name=\"tabs\"/>", nullptr, manager.get()));
        ASSERT_NE(tabs, nullptr);
        ASSERT_TRUE(manager->AttachDialog(tabs));
    }
    const std::vector<CHeadlessBackend::Navigation>& Navigations() const { return backend.Navigations(); }

    ConfiguredAddresses addresses;
    WorkingFolder work;
    CHeadlessBackend backend;
    std::unique_ptr<CPaintManagerUI> manager;
    CContainerUI* tabs = nullptr;
};

TEST_F(WebPaneTest, TheAdvertisementPaneWritesItsPageAndShowsItInABorderlessBrowser)
{
    auto* pane = new AdControlUI;
    ASSERT_TRUE(pane->CreatePage(tabs));
    ASSERT_EQ(tabs->GetCount(), 1);
    EXPECT_EQ(tabs->GetItemAt(0), pane);
    EXPECT_EQ(AdControlUI::PagePath(), work.AdPageFile().string());
    EXPECT_EQ(ReadFile(work.AdPageFile()), AdPageText(ConfiguredAdAddresses()));

    CWebBrowserUI* browser = pane->GetBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->GetName(), "ad_ie");
    ASSERT_NE(browser->GetWebBrowserEventHandler(), nullptr);
    DocHostUIInfo info;
    browser->GetWebBrowserEventHandler()->GetHostInfo(browser, &info);
    EXPECT_TRUE(info.flags & kDocHostUIFlagNo3DBorder);
    ASSERT_EQ(Navigations().size(), 1u);
    EXPECT_EQ(Navigations()[0].browserName, "ad_ie");
    EXPECT_EQ(Navigations()[0].url, work.AdPageFile().string());
}

TEST_F(WebPaneTest, WithoutAnAdFolderOrAStartDirectoryTheAdvertisementPaneIsNotBuilt)
{
    fs::remove_all(work.path / "Ad");
    auto* pane = new AdControlUI;
    EXPECT_FALSE(pane->CreatePage(tabs));
    EXPECT_EQ(tabs->GetCount(), 0);
    EXPECT_EQ(pane->GetParent(), nullptr);
    EXPECT_FALSE(fs::exists(work.path / "Ad"));
    EXPECT_TRUE(Navigations().empty());

    // With the folder back but no start directory recorded, nothing lands in the root folder.
    fs::create_directories(work.path / "Ad");
    startDirectory[0] = '\0';
    EXPECT_FALSE(pane->CreatePage(tabs));
    EXPECT_EQ(tabs->GetCount(), 0);
    EXPECT_FALSE(fs::exists(work.AdPageFile()));
    delete pane;
}

TEST_F(WebPaneTest, TheSearchPaneSendsItsBorderlessBrowserToTheSearchAddressOfTheConfiguredHost)
{
    auto* pane = new SearchControlUI;
    ASSERT_TRUE(pane->CreatePage(tabs));
    ASSERT_EQ(tabs->GetCount(), 1);
    CWebBrowserUI* browser = pane->GetBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->GetName(), "search_ie");
    DocHostUIInfo info;
    ASSERT_NE(browser->GetWebBrowserEventHandler(), nullptr);
    browser->GetWebBrowserEventHandler()->GetHostInfo(browser, &info);
    EXPECT_TRUE(info.flags & kDocHostUIFlagNo3DBorder);
    ASSERT_EQ(Navigations().size(), 1u);
    EXPECT_EQ(Navigations()[0].browserName, "search_ie");
    EXPECT_EQ(Navigations()[0].url, "http://127.0.0.1:9/search");
}

TEST_F(WebPaneTest, SkinsWithoutABrowserGivePanesThatNavigateNowhere)
{
    TempFolder skins;
    WriteFile(skins.path / "ADSkin.xml", R"(<VerticalLayout><Label name="label_x"/></VerticalLayout>)");
    WriteFile(skins.path / "SearchSkin.xml", R"(<VerticalLayout/>)");
    UseSkins(skins.path.string(), "");
    auto* ad = new AdControlUI;
    auto* search = new SearchControlUI;
    EXPECT_TRUE(ad->CreatePage(tabs));
    EXPECT_TRUE(search->CreatePage(tabs));
    EXPECT_EQ(tabs->GetCount(), 2);
    EXPECT_EQ(ad->GetBrowser(), nullptr);
    EXPECT_EQ(search->GetBrowser(), nullptr);
    EXPECT_TRUE(Navigations().empty());
}

} // namespace
