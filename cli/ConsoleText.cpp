#include "cli/ConsoleText.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextEncoding.h"

#include <strings.h>

namespace {

bool LocalIsUtf8() {
    const char* name = CurrentAnsiCodePage();
    return strcasecmp(name, "UTF-8") == 0 || strcasecmp(name, "UTF8") == 0;
}

}  // namespace

std::string Utf8ForConsole(const std::string& utf8) {
    return LocalIsUtf8() ? utf8 : WideToAnsi(Utf8ToWide(utf8.c_str()).c_str());
}

std::string LocalToUtf8(const std::string& local) { return LocalIsUtf8() ? local : AnsiToUtf8(local.c_str()); }
