#pragma once

#include "toolkit/IToolkitBackend.h"

#include <optional>
#include <string>

// Modal file and folder dialogs, shown by the backend over owner (null: no owner).
// Each returns the chosen path in the active code page, or nullopt when the user cancelled
// (also when no backend is set).
std::optional<std::string> ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options);
std::optional<std::string> ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options);
// The folder dialog opens in initialFolder (empty: the user's home folder).
std::optional<std::string> ShowFolderDialog(
    UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder = CDuiString());
