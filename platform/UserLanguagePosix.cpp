#include "platform/UserLanguage.h"

#include <cstdlib>

std::string UserLanguageName()
{
    // The order in which the C library picks the locale of character classes.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}
