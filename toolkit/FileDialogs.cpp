#include "toolkit/FileDialogs.h"

#include "toolkit/CPaintManagerUI.h"

std::optional<std::string> ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    return backend ? backend->ShowOpenFileDialog(owner, options) : std::nullopt;
}

std::optional<std::string> ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    return backend ? backend->ShowSaveFileDialog(owner, options) : std::nullopt;
}

std::optional<std::string> ShowFolderDialog(
    UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder)
{
    IToolkitBackend* backend = CPaintManagerUI::GetBackend();
    return backend ? backend->ShowFolderDialog(owner, title, initialFolder) : std::nullopt;
}
