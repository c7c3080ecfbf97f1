#pragma once

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "platform/LocalText.h"
#include "support/TempFolder.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace apptest {

inline std::string PackedSkinFolder()
{
    return (std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string();
}

// How many of the list's rows are shown.
inline int VisibleRows(CListUI& list)
{
    int visible = 0;
    for (int i = 0; i < list.GetCount(); ++i)
        visible += list.GetItemAt(i)->IsVisible();
    return visible;
}

// A temporary folder of the program's own loose skin files, some of them replaced.
class SkinFolder {
public:
    SkinFolder()
    {
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(KELPMERE_TEST_SOURCE_DIR) / "skin"))
            if (entry.path().extension() == ".xml")
                std::filesystem::copy_file(entry.path(), m_temp.path / entry.path().filename());
    }
    void Replace(const std::string& file, const std::string& xml) const { WriteFile(m_temp.path / file, xml); }
    std::string Path() const { return m_temp.path.string(); }

private:
    TempFolder m_temp;
};

// A test on the headless backend with the packed skins unless it chooses others; the main window
// it opens is closed after it.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&backend);
        UsePackedSkins();
    }
    void TearDown() override
    {
        CloseFrame();
        CPaintManagerUI::SetBackend(nullptr);
    }
    static void UsePackedSkins()
    {
        CPaintManagerUI::SetResourcePath(PackedSkinFolder().c_str());
        CPaintManagerUI::SetResourceZip("kelpmeres.zip");
    }
    static void UseSkinFolder(const SkinFolder& folder)
    {
        CPaintManagerUI::SetResourcePath(folder.Path().c_str());
        CPaintManagerUI::SetResourceZip("");
    }
    // Creates the main window and shows the page of option (none: the start-up page).
    bool OpenFrame(const char* option = nullptr)
    {
        frame = CreateMainFrame();
        return frame != nullptr && (option == nullptr || CHeadlessBackend::Click(Manager(), option));
    }
    void CloseFrame()
    {
        if (frame != nullptr)
            frame->Close(0);
        frame = nullptr;
        backend.FlushClosedWindows();
    }
    CPaintManagerUI& Manager() { return *frame->GetPaintManager(); }
    template <class T = CControlUI>
    T* Find(const std::string& name)
    {
        return Manager().FindControl<T>(name);
    }
    // Does act; a notice box it opens over the main window is read and closed with its button, as
    // a user would. The notice's text in UTF-8, or nothing when none came up.
    std::optional<std::string> Notice(const std::function<void()>& act)
    {
        std::optional<std::string> notice;
        backend.QueueAction([this, &notice] {
            CWindowWnd* box = backend.LiveWindow("NoticeBoxUI");
            if (box == nullptr)
                return;
            // Shown in the local code page; compared in the source's UTF-8.
            notice = LocalTextToUtf8(box->GetPaintManager()->FindControl("TextUI")->GetText().str());
            EXPECT_EQ(backend.RecordOf(box->GetHWND())->parent, frame->GetHWND());
            EXPECT_TRUE(CHeadlessBackend::Click(*box->GetPaintManager(), "BtnClose"));
        });
        const std::size_t before = backend.PendingActions();
        act();
        // No loop ran the reader when no notice came up: drop it so it can't answer a later one.
        if (backend.PendingActions() == before)
            backend.ClearActions();
        return notice;
    }

    CHeadlessBackend backend;
    CMainFrameWnd* frame = nullptr;
};

} // namespace apptest
