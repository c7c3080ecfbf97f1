#pragma once

#include "toolkit/CDuiString.h"

#include <string_view>

class CControlUI;
class CPaintManagerUI;
class IDialogBuilderCallback;

// Builds a control tree from one XML skin file. The file is read from the skin archive (or the
// resource folder when no archive is set) and parsed once per process; later builds reuse the
// parsed form, so building a row skin many times costs only the controls themselves.
//
// Skin format: the root element is <Window ...> (window attributes and <Font> elements) holding
// one control element, or a control element itself. Element names are control classes
// ("VerticalLayout", "Button", ...); attributes set properties; unknown attributes are ignored;
// unknown classes go to the callback.
class CDialogBuilder {
public:
    // Builds the skin file's control. With a manager: the skin's fonts join the manager's table,
    // its window attributes (size, caption, ...) are applied while the manager has no root yet,
    // and the tree gets that manager. With a parent container: the control is added to it.
    // Returns the root control (owned by the caller unless added to parent) or null when the file
    // is missing, is not well-formed, or holds no control. type is accepted and ignored.
    CControlUI* Create(const CDuiString& skinFile, const char* type = nullptr,
        IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // The same from XML text (not cached).
    CControlUI* CreateFromXml(std::string_view xml, IDialogBuilderCallback* callback = nullptr,
        CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Why the last Create gave null (empty after success).
    const CDuiString& GetLastErrorMessage() const { return m_lastError; }

private:
    CDuiString m_lastError;
};

// The control named name in the tree below root (root included), depth first; null if none or
// root is null.
CControlUI* FindSubControlByName(CControlUI* root, std::string_view name);
