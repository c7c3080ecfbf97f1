#include "platform/LegacyCodePage.h"

#include "platform/UserLanguage.h"

#include <cctype>
#include <vector>

namespace {

constexpr LegacyCodePage kUtf8{"UTF-8", "UTF-8", 65001};
constexpr LegacyCodePage kGbk{"GBK", "GBK", 936};
constexpr LegacyCodePage kGb18030{"GB18030", "GB18030", 54936};
constexpr LegacyCodePage kBig5{"BIG5", "CP950", 950};
constexpr LegacyCodePage kShiftJis{"Shift_JIS", "CP932", 932};
constexpr LegacyCodePage kEucJp{"EUC-JP", "EUC-JP", 20932};
constexpr LegacyCodePage kEucKr{"EUC-KR", "CP949", 949};
constexpr LegacyCodePage kKoi8R{"KOI8-R", "KOI8-R", 20866};
constexpr LegacyCodePage kKoi8U{"KOI8-U", "KOI8-U", 21866};
constexpr LegacyCodePage kLatin1{"ISO-8859-1", "ISO-8859-1", 28591};
constexpr LegacyCodePage kWindows874{"Windows-874", "CP874", 874};
// Windows-1250 to Windows-1258, in order.
constexpr LegacyCodePage kWindows125x[] = {
    {"Windows-1250", "CP1250", 1250},
    {"Windows-1251", "CP1251", 1251},
    {"Windows-1252", "CP1252", 1252},
    {"Windows-1253", "CP1253", 1253},
    {"Windows-1254", "CP1254", 1254},
    {"Windows-1255", "CP1255", 1255},
    {"Windows-1256", "CP1256", 1256},
    {"Windows-1257", "CP1257", 1257},
    {"Windows-1258", "CP1258", 1258},
};

const LegacyCodePage& Windows(int codePage)
{
    return kWindows125x[codePage - 1250];
}

struct Alias {
    const char* spelled; // upper case, without "-", "_", "." and blanks
    const LegacyCodePage* page;
};

const Alias kAliases[] = {
    {"UTF8", &kUtf8},
    {"GBK", &kGbk},
    {"GB2312", &kGbk}, // torrents that say GB2312 hold GBK characters too
    {"CP936", &kGbk},
    {"MS936", &kGbk},
    {"WINDOWS936", &kGbk},
    {"EUCCN", &kGbk},
    {"XGBK", &kGbk},
    {"GB18030", &kGb18030},
    {"BIG5", &kBig5},
    {"BIG5HKSCS", &kBig5},
    {"CP950", &kBig5},
    {"MS950", &kBig5},
    {"WINDOWS950", &kBig5},
    {"XXBIG5", &kBig5},
    {"SHIFTJIS", &kShiftJis},
    {"SJIS", &kShiftJis},
    {"CP932", &kShiftJis},
    {"MS932", &kShiftJis},
    {"MSKANJI", &kShiftJis},
    {"WINDOWS31J", &kShiftJis},
    {"WINDOWS932", &kShiftJis},
    {"XSJIS", &kShiftJis},
    {"EUCJP", &kEucJp},
    {"XEUCJP", &kEucJp},
    {"EUCKR", &kEucKr},
    {"CP949", &kEucKr},
    {"MS949", &kEucKr},
    {"WINDOWS949", &kEucKr},
    {"UHC", &kEucKr},
    {"KSC56011987", &kEucKr},
    {"KOI8R", &kKoi8R},
    {"KOI8U", &kKoi8U},
    {"ISO88591", &kLatin1},
    {"LATIN1", &kLatin1},
    {"CP874", &kWindows874},
    {"WINDOWS874", &kWindows874},
    {"TIS620", &kWindows874},
};

// The languages whose legacy code page is a Windows one, by the code page.
struct LanguageGroup {
    int codePage;
    const char* languages; // ISO 639-1 codes, each followed by a blank
};

const LanguageGroup kLanguageGroups[] = {
    {1250, "pl cs sk hu hr sl ro sq bs "},
    {1251, "ru uk be bg mk sr kk ky tg tt mn "},
    {1252, "en fr de es it pt nl sv da nb nn no fi is ga ca eu gl af id ms sw "},
    {1253, "el "},
    {1254, "tr az "},
    {1255, "he yi "},
    {1256, "ar fa ur "},
    {1257, "lt lv et "},
    {1258, "vi "},
};

std::string Normalized(std::string_view spelled)
{
    std::string normal;
    for (const char c : spelled) {
        if (c != '-' && c != '_' && c != '.' && c != ' ')
            normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return normal;
}

// "CP1251", "WINDOWS1251", "XCP1251" and the like.
const LegacyCodePage* Windows125x(const std::string& normal)
{
    for (const std::string_view prefix : {"CP125", "WINDOWS125", "XCP125"}) {
        if (normal.size() == prefix.size() + 1 && normal.starts_with(prefix) && normal.back() >= '0'
            && normal.back() <= '8')
            return &Windows(1250 + (normal.back() - '0'));
    }
    return nullptr;
}

// The parts of a locale name before its character set or modifier: "zh_TW.BIG5" gives "zh"
// and "TW", "zh-Hant-TW" gives "zh", "Hant" and "TW"; all in lower case.
std::vector<std::string> LocaleParts(std::string_view locale)
{
    std::vector<std::string> parts(1);
    for (const char c : locale) {
        if (c == '.' || c == '@')
            break;
        if (c == '_' || c == '-')
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return parts;
}

} // namespace

const LegacyCodePage* LegacyCodePageNamed(std::string_view spelled)
{
    const std::string normal = Normalized(spelled);
    for (const Alias& alias : kAliases) {
        if (normal == alias.spelled)
            return alias.page;
    }
    return Windows125x(normal);
}

const LegacyCodePage* LegacyCodePageOfLanguage(std::string_view locale)
{
    const std::vector<std::string> parts = LocaleParts(locale);
    const std::string& language = parts.front();
    if (language == "zh") {
        for (const std::string& part : parts) {
            if (part == "tw" || part == "hk" || part == "mo" || part == "hant")
                return &kBig5;
        }
        return &kGb18030;
    }
    if (language == "ja")
        return &kShiftJis;
    if (language == "ko")
        return &kEucKr;
    if (language == "th")
        return &kWindows874;
    if (language.size() != 2)
        return nullptr;
    for (const LanguageGroup& group : kLanguageGroups) {
        if (std::string_view(group.languages).find(language + " ") != std::string_view::npos)
            return &Windows(group.codePage);
    }
    return nullptr;
}

const LegacyCodePage* UserLanguageLegacyCodePage()
{
    static const LegacyCodePage* const page = LegacyCodePageOfLanguage(UserLanguageName());
    return page;
}
