// The web panes on the headless backend: the advertisement page file, the configured addresses,
// and what each pane builds and where it sends its browser.

#include "AppTestSupport.h"
#include "shell/StartDirectory.h"
#include "support/WorkingFolder.h"
#include "toolkit/CDialogBuilder.h"
#include "toolkit/CWebBrowserUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/AdPage.h"
#include "ui/web/RerWebBrowserEventHandler.h"
#include "ui/web/SearchControlUI.h"
#include "ui/web/WebAddresses.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Sets address variables for one test; all of them are unset before and after.
struct ConfiguredAddresses {
    ConfiguredAddresses() { Clear(); }
    ~ConfiguredAddresses() { Clear(); }
    void Set(const char* name, const std::string& value)
    {
#ifdef _WIN32
        ::_putenv_s(name, value.c_str());
#else
        ::setenv(name, value.c_str(), 1);
#endif
    }
    static void Clear()
    {
        for (const char* name :
            {"KELPMERE_AD_CLICK_URL_1", "KELPMERE_AD_CLICK_URL_2", "KELPMERE_AD_CLICK_URL_3", "KELPMERE_AD_CLICK_URL_4",
                "KELPMERE_AD_IMAGE_URL_1", "KELPMERE_AD_IMAGE_URL_2", "KELPMERE_SEARCH_HOST"})
#ifdef _WIN32
            ::_putenv_s(name, "");
#else
            ::unsetenv(name);
#endif
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

// The page goes where it is asked, also below a deep folder, with a long address written whole; a
// failed write is reported.
TEST(AdPageFileTest, ThePageReplacesAnOldFileWithTwentyTwoPiecesCarryingTheAddressesWhole)
{
    ConfiguredAddresses addresses;
    WorkingFolder work;
    const std::string longAddress = "http://click.test/" + std::string(20000, 'a');
    for (int i = 1; i <= 3; ++i)
        addresses.Set(("KELPMERE_AD_CLICK_URL_" + std::to_string(i)).c_str(), "http://click.test/" + std::to_string(i));
    addresses.Set("KELPMERE_AD_CLICK_URL_1", "http://click.test/1?a=1&b=2");
    addresses.Set("KELPMERE_AD_CLICK_URL_4", longAddress);
    addresses.Set("KELPMERE_AD_IMAGE_URL_1", "http://image.test/banner.png");
    addresses.Set("KELPMERE_AD_IMAGE_URL_2", "images/square.jpg");
    const fs::path page = work.path / std::string(200, 'd') / std::string(200, 'e') / "Ad" / "ad.html";
    WriteFile(page, std::string(50000, 'x'));
    ASSERT_TRUE(WriteAdPage(TextOf(page).c_str()));
    // Pieces ending in '*' here only start so (and end an element); the others are whole.
    const std::vector<std::string> pieces = SplitAtTabRuns(ReadFile(page));
    const std::vector<std::string> wanted = {"<html style=*", "<head>", "<style type='text/css'>", ".Clear", "{",
        "clear:both;", "}", "</style>", "</head>", "<body scroll='no'*", "<div style='height:100px*",
        "<a href='http://click.test/1?a=1&b=2' target='_blank'><IMG SRC='http://image.test/banner.png' width='795'*",
        "</div>", "<div style='height: 310px*",
        "<a href='http://click.test/2' target='_blank'><IMG SRC='images/square.jpg' width='300'*",
        "<a href='http://click.test/3' target='_blank'>", "<img src='images/400x300.jpg'*",
        "<a href='" + longAddress + "' target='_blank'>", "<img src='images/100x300.jpg'*", "</div>", "</body>",
        "</html>"};
    ASSERT_EQ(pieces.size(), 22u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const bool start = wanted[i].ends_with('*');
        const std::string_view want(wanted[i].data(), wanted[i].size() - (start ? 1 : 0));
        EXPECT_TRUE(start ? pieces[i].starts_with(want) && pieces[i].ends_with('>') : pieces[i] == want)
            << pieces[i].substr(0, 200);
        EXPECT_EQ(pieces[i].find_first_of("\t\r\n"), std::string::npos) << i;
    }
#ifndef _WIN32
    // A write that fails on the way is reported (no device on Windows refuses writes once opened).
    EXPECT_FALSE(WriteAdPage("/dev/full"));
#endif
}

TEST(WebAddressesTest, AVariableOverridesItsBuiltInAddressUnlessEmptyAndTheSearchPathTakesOneSlash)
{
    ConfiguredAddresses addresses;
    const AdAddresses builtIn = ConfiguredAdAddresses();
    const std::string builtInSearch = ConfiguredSearchAddress();
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
    // The search address is the host with one slash before "search".
    for (const char* host : {"http://127.0.0.1:8080", "http://127.0.0.1:8080/", "http://127.0.0.1:8080//"}) {
        addresses.Set("KELPMERE_SEARCH_HOST", host);
        EXPECT_EQ(ConfiguredSearchAddress(), "http://127.0.0.1:8080/search") << host;
    }
}

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

TEST_F(WebPaneTest, EachPaneSendsItsBorderlessBrowserToItsPage)
{
    auto* ad = new AdControlUI;
    auto* search = new SearchControlUI;
    ASSERT_TRUE(ad->CreatePage(*tabs) && search->CreatePage(*tabs) && tabs->GetCount() == 2);
    EXPECT_EQ(tabs->GetItemAt(0), ad);
    EXPECT_EQ(AdControlUI::PagePath(), work.AdPageFile().string());
    EXPECT_EQ(ReadFile(work.AdPageFile()), AdPageText(ConfiguredAdAddresses()));
    for (CWebBrowserUI* browser : {ad->GetBrowser(), search->GetBrowser()}) {
        SCOPED_TRACE(browser == ad->GetBrowser() ? "ad" : "search");
        ASSERT_NE(browser, nullptr);
        auto* handler = dynamic_cast<RerWebBrowserEventHandler*>(browser->GetWebBrowserEventHandler());
        ASSERT_NE(handler, nullptr);
        // The host info gains the no-border flag beside its own. (The context menu the handler
        // refuses is checked on the running program.)
        DocHostUIInfo info;
        info.flags = kDocHostUIFlagDialog;
        EXPECT_EQ(handler->GetHostInfo(browser, &info), kUIResultOk);
        EXPECT_EQ(info.flags, kDocHostUIFlagDialog | kDocHostUIFlagNo3DBorder);
        EXPECT_EQ(handler->GetHostInfo(browser, nullptr), kUIResultOk);
    }
    std::vector<std::string> sent;
    for (const CHeadlessBackend::Navigation& navigation : Navigations())
        sent.push_back(navigation.browserName + " " + navigation.url);
    EXPECT_EQ(
        sent, (std::vector<std::string>{"ad_ie " + work.AdPageFile().string(), "search_ie http://127.0.0.1:9/search"}));
}

TEST_F(WebPaneTest, WithoutAnAdFolderOrAStartDirectoryNoAdvertisementPaneIsBuilt)
{
    fs::remove_all(work.path / "Ad");
    auto* pane = new AdControlUI;
    EXPECT_FALSE(pane->CreatePage(*tabs));
    EXPECT_TRUE(tabs->GetCount() == 0 && pane->GetParent() == nullptr && Navigations().empty());
    EXPECT_FALSE(fs::exists(work.path / "Ad"));

    // With the folder back but no start directory recorded, nothing lands in the root folder.
    fs::create_directories(work.path / "Ad");
    startDirectory[0] = '\0';
    EXPECT_FALSE(pane->CreatePage(*tabs));
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
    EXPECT_TRUE(ad->CreatePage(*tabs) && search->CreatePage(*tabs) && tabs->GetCount() == 2);
    EXPECT_TRUE(ad->GetBrowser() == nullptr && search->GetBrowser() == nullptr && Navigations().empty());
}

} // namespace
