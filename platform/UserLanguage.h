#pragma once

#include <string>

// The user's language as a locale name: on Linux the first of LC_ALL, LC_CTYPE and LANG that
// is set and not empty ("zh_CN.UTF-8"); on Windows the user's interface language ("zh-CN").
// Empty when there is none.
std::string UserLanguageName();
