#include "platform/AnsiCodePage.h"

#include <atomic>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <mutex>
#include <set>
#include <strings.h>

namespace {

constexpr const char* kFallbackCodePage = "UTF-8";

// Names handed out by CurrentAnsiCodePage() must outlive any thread that still holds one, so
// every name ever chosen is kept; there are only ever a handful.
const char* InternName(const std::string& name)
{
    static std::mutex mutex;
    static std::set<std::string> names;
    std::lock_guard lock(mutex);
    return names.insert(name).first->c_str();
}

std::atomic<const char*> g_codePage{kFallbackCodePage};
// Whether g_codePage names UTF-8: asked for every name the document converts.
std::atomic<bool> g_codePageIsUtf8{true};

bool NamesUtf8(const char* name)
{
    return strcasecmp(name, "UTF-8") == 0 || strcasecmp(name, "UTF8") == 0;
}

void Choose(const std::string& name)
{
    const char* interned = InternName(name);
    g_codePageIsUtf8.store(NamesUtf8(interned), std::memory_order_release);
    g_codePage.store(interned, std::memory_order_release);
}

bool IconvKnows(const char* name)
{
    iconv_t cd = iconv_open("WCHAR_T", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

bool IsPlainAscii(const char* codeset)
{
    static const char* const kAsciiNames[] = {"ANSI_X3.4-1968", "ASCII", "US-ASCII", "C", "POSIX", "646"};
    for (const char* ascii : kAsciiNames) {
        if (strcasecmp(codeset, ascii) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string AnsiCodePageForCodeset(const char* codeset)
{
    if (codeset == nullptr || *codeset == '\0' || IsPlainAscii(codeset) || !IconvKnows(codeset)) {
        return kFallbackCodePage;
    }
    return codeset;
}

void UseLocaleAnsiCodePage()
{
    std::setlocale(LC_CTYPE, "");
    Choose(AnsiCodePageForCodeset(nl_langinfo(CODESET)));
}

bool SetAnsiCodePage(const char* name)
{
    if (name == nullptr || *name == '\0' || !IconvKnows(name))
        return false;
    Choose(name);
    return true;
}

std::string AnsiCodePageName()
{
    return CurrentAnsiCodePage();
}

bool AnsiCodePageIsUtf8()
{
    return g_codePageIsUtf8.load(std::memory_order_acquire);
}

const char* CurrentAnsiCodePage()
{
    return g_codePage.load(std::memory_order_acquire);
}
