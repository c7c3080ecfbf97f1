#include "platform/UserLanguage.h"

#include <windows.h>

std::string UserLanguageName()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) <= 0)
        return {};
    // Locale names are plain ASCII ("zh-CN").
    std::string ascii;
    for (const wchar_t* c = name; *c != L'\0'; ++c)
        ascii += static_cast<char>(*c & 0x7F);
    return ascii;
}
