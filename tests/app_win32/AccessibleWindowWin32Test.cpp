// The main window on the Win32 backend read as a screen reader reads it: its MSAA client object
// from AccessibleObjectFromWindow (what Windows' UI Automation proxy serves to UIA clients too).

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"
#include "toolkit/CEditUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Text.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct MsaaChild {
    long id = 0;
    long role = 0;
    long state = 0;
    std::wstring name;
    std::wstring value;
    std::wstring description;
    std::wstring action;
};

VARIANT Child(long id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text property read with get(&bstr); empty when there is none.
template <class Get>
std::wstring TextOf(const Get& get)
{
    BSTR text = nullptr;
    const HRESULT result = get(&text);
    std::wstring taken = SUCCEEDED(result) && text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

std::vector<MsaaChild> ReadChildren(IAccessible& client)
{
    std::vector<MsaaChild> children;
    long count = 0;
    client.get_accChildCount(&count);
    for (long id = 1; id <= count; ++id) {
        MsaaChild child;
        child.id = id;
        VARIANT role;
        VARIANT state;
        if (SUCCEEDED(client.get_accRole(Child(id), &role)) && role.vt == VT_I4)
            child.role = role.lVal;
        if (SUCCEEDED(client.get_accState(Child(id), &state)) && state.vt == VT_I4)
            child.state = state.lVal;
        child.name = TextOf([&](BSTR* text) { return client.get_accName(Child(id), text); });
        child.value = TextOf([&](BSTR* text) { return client.get_accValue(Child(id), text); });
        child.description = TextOf([&](BSTR* text) { return client.get_accDescription(Child(id), text); });
        child.action = TextOf([&](BSTR* text) { return client.get_accDefaultAction(Child(id), text); });
        children.push_back(child);
    }
    return children;
}

std::vector<MsaaChild> WithRole(const std::vector<MsaaChild>& children, long role)
{
    std::vector<MsaaChild> found;
    std::copy_if(children.begin(), children.end(), std::back_inserter(found),
        [role](const MsaaChild& child) { return child.role == role; });
    return found;
}

const MsaaChild* Named(const std::vector<MsaaChild>& children, long role, const std::wstring& name)
{
    auto found = std::find_if(children.begin(), children.end(),
        [&](const MsaaChild& child) { return child.role == role && child.name == name; });
    return found == children.end() ? nullptr : &*found;
}

class AccessibleWindowWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CPaintManagerUI::SetBackend(&backend);
        work.CopyAdPictures();
        SetUpToolkit(nullptr, CDuiString((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
        frame = CreateMainFrame();
        ASSERT_NE(frame, nullptr);
        hwnd = Win32Backend::WindowHandle(frame->GetHWND());
    }
    void TearDown() override
    {
        if (client)
            client->Release();
        if (frame != nullptr) {
            frame->Close(0);
            CPaintManagerUI::MessageLoop();
        }
        CPaintManagerUI::SetBackend(nullptr);
        CoUninitialize();
    }
    // Serves the window's queue (presses asked for by a client come through it) and mirrors the tree.
    void Settle()
    {
        for (int round = 0; round < 3; ++round) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            backend.FlushUpdates();
        }
    }
    void ShowTab(const char* option)
    {
        frame->GetPaintManager()->FindControl<COptionUI>(option)->Activate();
        Settle();
    }
    // The window's MSAA client object, as a screen reader gets it; null when the window gave none.
    IAccessible* Client()
    {
        if (!client
            && FAILED(AccessibleObjectFromWindow(
                hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&client))))
            client = nullptr;
        Settle();
        return client;
    }

    Win32Backend backend;
    WorkingFolder work;
    CMainFrameWnd* frame = nullptr;
    HWND hwnd = nullptr;
    IAccessible* client = nullptr;
};

TEST_F(AccessibleWindowWin32Test, TheSinglePageTellsItsTabsButtonsLabelledEditAndRowsAndTakesPressesAndTab)
{
    TempFolder temp;
    const fs::path torrent = temp.path / "three.torrent";
    WriteFile(
        torrent, BuildTorrent(MultiFile({{{"alpha.mkv"}, 3 << 20}, {{"beta.srt"}, 40 << 10}, {{"gamma.nfo"}, 900}})));
    ShowTab("singleOption");
    frame->OpenTorrentFile(torrent.string());
    Settle();
    ASSERT_NE(Client(), nullptr);
    std::vector<MsaaChild> children = ReadChildren(*client);

    std::vector<std::wstring> tabs;
    for (const MsaaChild& tab : WithRole(children, ROLE_SYSTEM_PAGETAB)) {
        tabs.push_back(tab.name);
        EXPECT_EQ((tab.state & STATE_SYSTEM_SELECTED) != 0, tab.name == L"单个种子") << tab.name;
    }
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"首页推荐", L"单个种子", L"批量转换", L"种子搜索"}));
    for (const wchar_t* name : {L"打开种子", L"一键修改", L"保存种子", L"最小化", L"关闭"}) {
        const MsaaChild* button = Named(children, ROLE_SYSTEM_PUSHBUTTON, name);
        ASSERT_NE(button, nullptr) << "no push button named " << AnsiOf(name);
        EXPECT_EQ(button->action, L"Press");
    }
    const MsaaChild* nameEdit = Named(children, ROLE_SYSTEM_TEXT, L"种子名称");
    ASSERT_NE(nameEdit, nullptr);
    EXPECT_EQ(nameEdit->value, L"Show");
    const auto lists = WithRole(children, ROLE_SYSTEM_LIST);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists.front().description, L"3");
    const auto rows = WithRole(children, ROLE_SYSTEM_LISTITEM);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NE(rows[i].name.find(std::vector<std::wstring>{L"alpha.mkv", L"beta.srt", L"gamma.nfo"}[i]),
            std::wstring::npos);

    // The native EDIT over the torrent-name edit keeps the system's own object, named by its label
    // where the system takes names given to a window (Windows does; Wine 8 keeps none).
    CEditUI* edit = frame->GetPaintManager()->FindControl<CEditUI>("edit_single_name");
    ASSERT_NE(edit, nullptr);
    if (HWND native = backend.EditOf(*edit)) {
        IAccessible* own = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(
                      native, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&own)),
            S_OK);
        const std::wstring value = TextOf([&](BSTR* text) { return own->get_accValue(Child(CHILDID_SELF), text); });
        const std::wstring ownName = TextOf([&](BSTR* text) { return own->get_accName(Child(CHILDID_SELF), text); });
        own->Release();
        EXPECT_EQ(value, L"Show");
        if (ownName != L"种子名称")
            std::printf("[ NOTE     ] this system keeps no name given to the EDIT window (it says \"%s\")\n",
                AnsiOf(ownName.c_str()).c_str());
    }

    // "一键修改" pressed through its default action gives the torrent and every file new names.
    ASSERT_EQ(client->accDoDefaultAction(Child(Named(children, ROLE_SYSTEM_PUSHBUTTON, L"一键修改")->id)), S_OK);
    Settle();
    children = ReadChildren(*client);
    nameEdit = Named(children, ROLE_SYSTEM_TEXT, L"种子名称");
    ASSERT_NE(nameEdit, nullptr);
    EXPECT_TRUE(std::regex_match(AnsiOf(nameEdit->value.c_str()), std::regex("-?[0-9]+-[0-9]{1,3}")))
        << AnsiOf(nameEdit->value.c_str());
    for (const MsaaChild& row : WithRole(children, ROLE_SYSTEM_LISTITEM))
        EXPECT_TRUE(std::regex_search(AnsiOf(row.name.c_str()), std::regex("[0-9a-f]{32}_[123]")))
            << AnsiOf(row.name.c_str());

    // A value put into the edit is the tree's text, as if typed.
    BSTR renamed = SysAllocString(L"renamed");
    ASSERT_EQ(client->put_accValue(Child(nameEdit->id), renamed), S_OK);
    SysFreeString(renamed);
    EXPECT_EQ(edit->GetText().str(), "renamed");

    // Tab moves the focus from each focusable child to the next in reading order.
    std::vector<long> focusable;
    for (const MsaaChild& child : children)
        if ((child.state & STATE_SYSTEM_FOCUSABLE) != 0 && (child.state & STATE_SYSTEM_UNAVAILABLE) == 0)
            focusable.push_back(child.id);
    ASSERT_GE(focusable.size(), 8u);
    long previous = 0;
    for (int step = 0; step < 8; ++step) {
        SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
        Settle();
        VARIANT focused;
        ASSERT_EQ(client->get_accFocus(&focused), S_OK);
        ASSERT_EQ(focused.vt, VT_I4);
        const auto at = std::find(focusable.begin(), focusable.end(), focused.lVal);
        ASSERT_NE(at, focusable.end()) << "the focus went to child " << focused.lVal;
        if (previous != 0) {
            const auto before = std::find(focusable.begin(), focusable.end(), previous);
            EXPECT_EQ(at, before + 1 == focusable.end() ? focusable.begin() : before + 1) << "at step " << step;
        }
        previous = focused.lVal;
    }
}

TEST_F(AccessibleWindowWin32Test, TheBatchPageTellsItsFoldersStartButtonAndProgress)
{
    ShowTab("batchOption");
    ASSERT_NE(Client(), nullptr);
    const std::vector<MsaaChild> children = ReadChildren(*client);
    EXPECT_NE(Named(children, ROLE_SYSTEM_TEXT, L"源目录"), nullptr);
    EXPECT_NE(Named(children, ROLE_SYSTEM_TEXT, L"目标目录"), nullptr);
    const MsaaChild* start = Named(children, ROLE_SYSTEM_PUSHBUTTON, L"开始转换");
    ASSERT_NE(start, nullptr);
    const auto bars = WithRole(children, ROLE_SYSTEM_PROGRESSBAR);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars.front().value, L"1");
    EXPECT_NE(Named(children, ROLE_SYSTEM_STATICTEXT, L"0/0"), nullptr);
}

TEST_F(AccessibleWindowWin32Test, AClientHoldingTheObjectAfterTheWindowWentIsToldItIsGone)
{
    ASSERT_NE(Client(), nullptr);
    frame->Close(0);
    CPaintManagerUI::MessageLoop();
    frame = nullptr;
    long count = -1;
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

} // namespace
