// Kelpmere's entry on Windows: COM for the dialogs and the web panes, the Win32 backend, then
// the main window until it closes; a torrent given as the only argument opens in the single page.

#include "app/KelpmereApp.h"
#include "platform/TextEncoding.h"
#include "toolkit/win32/Win32Backend.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The arguments after the program's name, in the active code page.
std::vector<std::string> Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(WideToAnsi(words[i]));
    LocalFree(words);
    return arguments;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Without COM there are neither folder dialogs nor web panes: end at once, as without a window.
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    int exitCode = 0;
    {
        Win32Backend backend;
        exitCode = RunKelpmere(backend, instance, DefaultSkinFolder(), {}, Arguments());
    }
    CoUninitialize();
    return exitCode;
}
