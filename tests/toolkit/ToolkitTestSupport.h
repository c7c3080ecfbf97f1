#pragma once
// Shared set-up of the toolkit tests: the headless backend and a folder of skin files.

#include "support/RecordingWindow.h"
#include "support/TempFolder.h"
#include "toolkit/UIlib.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace toolkittest {

// A test on the headless backend with skins read from a temporary folder.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetBackend(&backend);
        CPaintManagerUI::SetResourcePath(folder.path.string().c_str());
        CPaintManagerUI::SetResourceZip("");
    }
    void TearDown() override
    {
        backend.FlushClosedWindows();
        CPaintManagerUI::SetBackend(nullptr);
    }
    void Write(const std::string& file, const std::string& bytes) const { WriteFile(folder.path / file, bytes); }

    TempFolder folder;
    CHeadlessBackend backend;
};

// The control of type T named name under root; throws when there is none.
template <typename T = CControlUI>
T& Find(CControlUI* root, const char* name)
{
    if (auto* control = dynamic_cast<T*>(FindSubControlByName(root, name)))
        return *control;
    throw std::runtime_error(std::string("no control ") + name);
}

// Records every notification a window's manager delivers.
struct NotifyLog : INotifyUI {
    struct Entry {
        std::string type;
        CControlUI* sender = nullptr;
        std::uintptr_t wParam = 0;
        std::uint64_t time = 0;
    };
    void Notify(TNotifyUI& msg) override
    {
        entries.push_back({msg.sType.str(), msg.pSender, msg.wParam, CPaintManagerUI::Now()});
    }
    std::vector<std::string> Types() const
    {
        std::vector<std::string> types;
        for (const auto& e : entries)
            types.push_back(e.type);
        return types;
    }
    std::vector<Entry> entries;
};

} // namespace toolkittest
