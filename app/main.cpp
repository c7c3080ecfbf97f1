// Kelpmere's entry: the Qt backend, the locale's code page, then the main window until it closes.

#include "app/KelpmereApp.h"
#include "platform/AnsiCodePage.h"
#include "toolkit/qt/QtBackend.h"

int main(int argc, char** argv)
{
    UseLocaleAnsiCodePage();
    QtBackend backend(argc, argv);
    return RunKelpmere(backend, nullptr, DefaultSkinFolder());
}
