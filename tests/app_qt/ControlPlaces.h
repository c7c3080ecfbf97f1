#pragma once

// Where controls sit in the program's main window, from its own skins laid out on the headless
// backend at 800 x 600: what a real-window test clicks, relative to the window's top-left corner.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>

// Centres of the named controls with the page of tabOption shown (none: the start-up page).
// A name missing from the skins is missing from the map.
inline std::map<std::string, UIPoint> ControlCentres(const char* tabOption, std::initializer_list<const char*> names)
{
    std::map<std::string, UIPoint> centres;
    CHeadlessBackend backend;
    CPaintManagerUI::SetBackend(&backend);
    SetUpToolkit(nullptr, CDuiString((std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string()));
    if (CMainFrameWnd* frame = CreateMainFrame()) {
        CPaintManagerUI& manager = *frame->GetPaintManager();
        if (tabOption == nullptr || CHeadlessBackend::Click(manager, tabOption)) {
            manager.UpdateLayout();
            for (const char* name : names) {
                if (CControlUI* control = manager.FindControl(name)) {
                    const UIRect r = control->GetPos();
                    centres[name] = UIPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                }
            }
        }
        frame->Close(0);
        backend.FlushClosedWindows();
    }
    CPaintManagerUI::SetBackend(nullptr);
    return centres;
}
