// Kelpmere's entry: the Qt backend, the locale's code page, then the main window until it closes;
// a torrent given as the only argument opens in the single page.

#include "app/KelpmereApp.h"
#include "platform/AnsiCodePage.h"
#include "toolkit/qt/QtBackend.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    UseLocaleAnsiCodePage();
    QtBackend backend(argc, argv); // takes Qt's own options out of argv
    QtBackend::SetDesktopEntryName(KELPMERE_APP_ID);
    return RunKelpmere(backend, nullptr, DefaultSkinFolder(), {}, std::vector<std::string>(argv + 1, argv + argc));
}
