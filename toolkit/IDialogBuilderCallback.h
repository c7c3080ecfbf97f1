#pragma once

class CControlUI;

// Creates controls of classes the toolkit doesn't know, by skin element name; null: skip the
// element (and its children).
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const char* className) = 0;
};
