#include "platform/AnsiCodePage.h"
#include "platform/WindowsCodePage.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include <windows.h>

// On Windows the code page is a number; names are the ones the rest of the program (and the
// Linux build) uses, mapped to numbers here. The system's own is GetACP().

namespace {

constexpr unsigned kUtf8 = CP_UTF8;
constexpr const char* kUtf8Name = "UTF-8";

// Names handed out by CurrentAnsiCodePage() must outlive any thread that still holds one, so
// every name ever chosen is kept; there are only ever a handful.
const char* InternName(const std::string& name)
{
    static std::mutex mutex;
    static std::set<std::string> names;
    std::lock_guard lock(mutex);
    return names.insert(name).first->c_str();
}

std::atomic<const char*> g_codePageName{kUtf8Name};
std::atomic<unsigned> g_codePage{kUtf8};

bool Equals(const char* a, const char* b)
{
    return _stricmp(a, b) == 0;
}

// The number after `prefix` ("CP936" with "CP"), or 0.
unsigned NumberAfter(const char* name, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    if (_strnicmp(name, prefix, length) != 0 || name[length] < '0' || name[length] > '9')
        return 0;
    char* end = nullptr;
    const unsigned long number = std::strtoul(name + length, &end, 10);
    return *end == '\0' && number <= 65535 ? static_cast<unsigned>(number) : 0;
}

// The code page a character-set name stands for, or 0 when there is none.
unsigned CodePageNumber(const char* name)
{
    struct Named {
        const char* name;
        unsigned codePage;
    };
    static const Named kNames[] = {
        {"UTF-8", kUtf8},
        {"UTF8", kUtf8},
        {"GBK", 936},
        {"GB2312", 936},
        {"GB18030", 54936},
        {"BIG5", 950},
        {"BIG5-HKSCS", 950},
        {"SHIFT_JIS", 932},
        {"SJIS", 932},
        {"EUC-JP", 20932},
        {"EUC-KR", 949},
        {"UHC", 949},
        {"KOI8-R", 20866},
        {"KOI8-U", 21866},
        {"US-ASCII", 20127},
        {"ASCII", 20127},
        {"ANSI_X3.4-1968", 20127},
        {"LATIN1", 28591},
    };
    if (name == nullptr || *name == '\0')
        return 0;
    unsigned number = 0;
    for (const Named& named : kNames) {
        if (Equals(name, named.name))
            number = named.codePage;
    }
    for (const char* prefix : {"CP", "WINDOWS-", "IBM", "MS"}) {
        if (number == 0)
            number = NumberAfter(name, prefix);
    }
    if (number == 0) {
        const unsigned part = NumberAfter(name, "ISO-8859-");
        number = part >= 1 && part <= 16 ? 28590 + part : 0;
    }
    return number != 0 && IsValidCodePage(number) != 0 ? number : 0;
}

bool IsPlainAscii(const char* name)
{
    for (const char* ascii : {"ANSI_X3.4-1968", "ASCII", "US-ASCII", "C", "POSIX", "646"}) {
        if (Equals(name, ascii))
            return true;
    }
    return false;
}

void Choose(const std::string& name, unsigned codePage)
{
    g_codePage.store(codePage, std::memory_order_release);
    g_codePageName.store(InternName(name), std::memory_order_release);
}

} // namespace

unsigned CurrentWindowsCodePage()
{
    return g_codePage.load(std::memory_order_acquire);
}

std::string AnsiCodePageForCodeset(const char* codeset)
{
    if (codeset == nullptr || *codeset == '\0' || IsPlainAscii(codeset) || CodePageNumber(codeset) == 0) {
        return kUtf8Name;
    }
    return codeset;
}

void UseLocaleAnsiCodePage()
{
    const unsigned system = GetACP();
    Choose(system == kUtf8 ? kUtf8Name : "CP" + std::to_string(system), system);
}

bool SetAnsiCodePage(const char* name)
{
    const unsigned number = CodePageNumber(name);
    if (number == 0)
        return false;
    Choose(name, number);
    return true;
}

std::string AnsiCodePageName()
{
    return CurrentAnsiCodePage();
}

bool AnsiCodePageIsUtf8()
{
    return CurrentWindowsCodePage() == kUtf8;
}

const char* CurrentAnsiCodePage()
{
    return g_codePageName.load(std::memory_order_acquire);
}
