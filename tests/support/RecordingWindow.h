#pragma once

#include "toolkit/UIlib.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a RecordingWindow saw: its notifications ("type:sender") and its last calls.
struct WindowRecord {
    std::vector<std::string> notes;
    std::vector<std::string>* finals = nullptr; // when set: the names of windows at their last call, in order
    int finalMessages = 0;
};

// The window of the toolkit's tests, built from a skin file of the resource folder, that records
// what happens to it. One given a record outside it is made with new and deletes itself at its
// last call; one without keeps its own record and is deleted by its owner.
class RecordingWindow : public WindowImplBase {
public:
    explicit RecordingWindow(std::string skin) : m_skin(std::move(skin)), m_record(record), m_deleteAtEnd(false) { }
    RecordingWindow(std::string skin, WindowRecord& record, std::string name = {})
            : m_skin(std::move(skin)), m_name(std::move(name)), m_record(record)
    {
    }
    const char* GetWindowClassName() const override { return "TestWindow"; }
    CDuiString GetSkinFolder() override { return ""; }
    CDuiString GetSkinFile() override { return CDuiString(m_skin); }
    void Notify(TNotifyUI& msg) override
    {
        m_record.notes.push_back(msg.sType.str() + ":" + (msg.pSender ? msg.pSender->GetName().str() : ""));
        if (onNotify)
            onNotify(msg);
    }
    CPaintManagerUI& Manager() { return m_pm; }
    void OnFinalMessage(UIWindowHandle window) override
    {
        WindowImplBase::OnFinalMessage(window);
        ++m_record.finalMessages;
        if (m_record.finals != nullptr)
            m_record.finals->push_back(m_name);
        if (m_deleteAtEnd)
            delete this;
    }
    std::function<void(TNotifyUI&)> onNotify;
    WindowRecord record; // the window's own, when it was given none

private:
    std::string m_skin;
    std::string m_name;
    WindowRecord& m_record;
    bool m_deleteAtEnd = true;
};
