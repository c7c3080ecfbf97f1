#include "toolkit/win32/Win32FileDialogs.h"

#include "toolkit/win32/Win32Text.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <vector>

namespace {

// Room for the longest path the wide functions take, not just MAX_PATH.
constexpr DWORD kPathCapacity = 32768;

// "description\0patterns\0\0"; all files when the options name no patterns.
std::wstring FilterOf(const FileDialogOptions& options)
{
    std::wstring filter;
    if (options.filter.patterns.IsEmpty()) {
        filter = std::wstring(L"*.*") + L'\0' + L"*.*" + L'\0';
    } else {
        filter = WideOf(options.filter.description.str()) + L'\0' + WideOf(options.filter.patterns.str()) + L'\0';
    }
    return filter + L'\0';
}

struct FileDialogCall {
    explicit FileDialogCall(HWND owner, const FileDialogOptions& options)
            : filter(FilterOf(options)), title(WideOf(options.title.str())),
              initialFolder(WideOf(options.initialFolder.str())), extension(WideOf(options.defaultExtension.str())),
              path(kPathCapacity, L'\0')
    {
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = path.data();
        dialog.nMaxFile = kPathCapacity;
        dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
        dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    }

    std::optional<std::string> Result(BOOL chosen) const
    {
        if (!chosen)
            return std::nullopt;
        return AnsiOf(path.data());
    }

    std::wstring filter;
    std::wstring title;
    std::wstring initialFolder;
    std::wstring extension;
    std::vector<wchar_t> path;
    OPENFILENAMEW dialog{};
};

// Releases a COM interface when it goes out of scope.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released()
    {
        if (p != nullptr)
            p->Release();
    }
};

} // namespace

std::optional<std::string> Win32OpenFileDialog(HWND owner, const FileDialogOptions& options)
{
    FileDialogCall call(owner, options);
    call.dialog.Flags = OFN_EXPLORER | (options.mustExist ? OFN_FILEMUSTEXIST : 0);
    return call.Result(GetOpenFileNameW(&call.dialog));
}

std::optional<std::string> Win32SaveFileDialog(HWND owner, const FileDialogOptions& options)
{
    FileDialogCall call(owner, options);
    // No overwrite prompt: saving over an existing file replaces it.
    call.dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    call.dialog.FlagsEx = OFN_EX_NOPLACESBAR;
    return call.Result(GetSaveFileNameW(&call.dialog));
}

std::optional<std::string> Win32FolderDialog(HWND owner, const CDuiString& title, const CDuiString& initialFolder)
{
    Released<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
            reinterpret_cast<void**>(&dialog.p))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS flags = 0;
    dialog.p->GetOptions(&flags);
    dialog.p->SetOptions(flags | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    if (!title.IsEmpty())
        dialog.p->SetTitle(WideOf(title.str()).c_str());
    if (!initialFolder.IsEmpty()) {
        Released<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(
                WideOf(initialFolder.str()).c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&folder.p))))
            dialog.p->SetFolder(folder.p);
    }
    if (FAILED(dialog.p->Show(owner)))
        return std::nullopt;
    Released<IShellItem> chosen;
    if (FAILED(dialog.p->GetResult(&chosen.p)))
        return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(chosen.p->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr)
        return std::nullopt;
    std::string result = AnsiOf(path);
    CoTaskMemFree(path);
    return result;
}
