#pragma once

#include "toolkit/IToolkitBackend.h"

#include <windows.h>

#include <optional>
#include <string>

// The system's file and folder dialogs, modal over owner (may be null). Paths come back in the
// active code page; nullopt when the user cancels.
std::optional<std::string> Win32OpenFileDialog(HWND owner, const FileDialogOptions& options);
std::optional<std::string> Win32SaveFileDialog(HWND owner, const FileDialogOptions& options);
std::optional<std::string> Win32FolderDialog(HWND owner, const CDuiString& title, const CDuiString& initialFolder);
