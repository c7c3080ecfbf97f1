#pragma once
// The fixture of the tests both real backends run on real windows (see BackendWindowCases.h).

#include "support/HundredThousandRows.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"
#include "toolkit/UIlib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class BackendWindowTest : public ::testing::Test {
protected:
    enum class Key { Tab, Backtab, Space, Return };
    // Serves the window system's events until done() holds; false when the time runs out.
    virtual bool WaitFor(const std::function<bool()>& done, int milliseconds = 2000) = 0;
    // Serves the pending events and runs the tree's pending updates.
    virtual void Settle() = 0;

    // The main window's skin, with a backend's own controls at the end.
    void WriteWindowSkin(const std::string& extra)
    {
        std::ofstream(m_temp.path / "Window.xml", std::ios::binary)
            << R"(<Window size="400,300" caption="0,0,0,30" focuscolor="#FFFF0000">
  <Font id="0" name="WenQuanYi Micro Hei" size="14"/>
  <VerticalLayout name="RootLayoutUI" bkcolor="#FFF0F0F0">
    <HorizontalLayout name="CaptionLayoutUI" height="30" bkcolor="#FF203040">
      <Label name="label_title" text="标题" font="0" textcolor="#FFFFFFFF"/>
      <Button name="btn_ok" text="确定" width="60"/>
      <Button name="btn_off" text="关" width="40" enabled="false"/>
    </HorizontalLayout>
    <Edit name="edit_name" height="26" text="old"/>
    <Option name="opt_a" height="24" text="A" group="g" selected="true"/>
    <Option name="opt_b" height="24" text="B" group="g"/>
    <Container name="ListHostLayoutUI"/>)"
            << extra << "</VerticalLayout></Window>";
    }
    void TearDown() override
    {
        if (m_window != nullptr && m_record.finalMessages == 0) {
            m_window->Close(0);
            EXPECT_TRUE(WaitFor([&] { return m_record.finalMessages > 0; }));
        }
    }
    RecordingWindow& Open(const char* skin = "Window.xml")
    {
        m_window = new RecordingWindow(skin, m_record, "main");
        EXPECT_NE(m_window->Create(nullptr, "Test", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        Settle();
        return *m_window;
    }
    RecordingWindow* OpenOwned(WindowRecord& record, const std::string& name)
    {
        auto* box = new RecordingWindow("Window.xml", record, name);
        EXPECT_NE(
            box->Create(m_window->GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        return box;
    }
    // The control of that name and type in the main window.
    template <class T = CControlUI>
    T& Control(const char* name)
    {
        T* control = m_window->Manager().FindControl<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    std::size_t Count(const std::string& note) const { return std::ranges::count(m_record.notes, note); }

    TempFolder m_temp;
    WindowRecord m_record;
    RecordingWindow* m_window = nullptr;
};
