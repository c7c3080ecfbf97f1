#include "platform/TextEncodingSides.h"

#include "platform/AnsiCodePage.h"
#include "platform/LegacyCodePage.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <iconv.h>
#include <string_view>
#include <vector>

namespace {

// wchar_t holds UTF-32 here. Named explicitly rather than as "WCHAR_T" so that iconv checks the
// wide side: values past U+10FFFF and lone surrogates count as unconvertible.
static_assert(sizeof(wchar_t) == 4, "wide text is UTF-32");
constexpr const char* kWideCodeSet = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
constexpr const char* kUtf8CodeSet = "UTF-8";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Opening an iconv descriptor costs far more than converting a short name, and a torrent may
// hold a hundred thousand names, so each thread keeps the descriptors it has opened. A
// descriptor carries conversion state and must not be shared between threads.
class ThreadConverters {
public:
    ThreadConverters() = default;
    ThreadConverters(const ThreadConverters&) = delete;
    ThreadConverters& operator=(const ThreadConverters&) = delete;
    ~ThreadConverters()
    {
        for (const Entry& entry : m_entries)
            iconv_close(entry.cd);
    }

    // A descriptor from `from` to `to`, reset to its initial shift state; kNoConverter when
    // iconv cannot convert between them.
    iconv_t Get(const char* from, const char* to)
    {
        for (const Entry& entry : m_entries) {
            if (entry.from == from && entry.to == to) {
                iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);
                return entry.cd;
            }
        }
        iconv_t cd = iconv_open(to, from);
        if (cd == kNoConverter)
            return kNoConverter;
        if (m_entries.size() >= kMaxEntries) {
            iconv_close(m_entries.front().cd);
            m_entries.erase(m_entries.begin());
        }
        m_entries.push_back(Entry{from, to, cd});
        return cd;
    }

private:
    struct Entry {
        std::string from;
        std::string to;
        iconv_t cd = kNoConverter;
    };
    static constexpr std::size_t kMaxEntries = 8;
    std::vector<Entry> m_entries;
};

thread_local ThreadConverters t_converters;

// Output of one conversion: a growing byte buffer that iconv writes into.
class OutputBuffer {
public:
    explicit OutputBuffer(std::size_t initialBytes) : m_bytes(initialBytes > 0 ? initialBytes : 16) { }

    char** Cursor() { return &m_cursor; }
    std::size_t* Room() { return &m_room; }

    void Grow()
    {
        const std::size_t used = Used();
        m_bytes.resize(m_bytes.size() * 2);
        m_cursor = m_bytes.data() + used;
        m_room = m_bytes.size() - used;
    }

    void Append(const void* data, std::size_t size)
    {
        while (m_room < size)
            Grow();
        std::memcpy(m_cursor, data, size);
        m_cursor += size;
        m_room -= size;
    }

    std::size_t Used() const { return static_cast<std::size_t>(m_cursor - m_bytes.data()); }
    const char* Data() const { return m_bytes.data(); }

private:
    std::vector<char> m_bytes;
    char* m_cursor = m_bytes.data();
    std::size_t m_room = m_bytes.size();
};

// Runs `cd` over the whole input. Where iconv stops at something it cannot convert,
// `substitute` is written and `skip` input bytes are stepped over (one byte of multi-byte
// input, one whole character of wide input); the conversion then carries on.
void RunConversion(iconv_t cd, const char* input, std::size_t inputBytes, OutputBuffer& out,
    std::string_view substitute, std::size_t skip)
{
    char* in = const_cast<char*>(input); // iconv's signature; it only reads the input
    std::size_t inLeft = inputBytes;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, out.Cursor(), out.Room()) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.Grow();
            continue;
        }
        // EILSEQ (invalid or unrepresentable) or EINVAL (incomplete sequence at the end).
        out.Append(substitute.data(), substitute.size());
        const std::size_t step = skip < inLeft ? skip : inLeft;
        in += step;
        inLeft -= step;
    }
    // Return a stateful encoding to its initial shift state at the end of the text.
    while (iconv(cd, nullptr, nullptr, out.Cursor(), out.Room()) == static_cast<std::size_t>(-1) && errno == E2BIG) {
        out.Grow();
    }
}

std::wstring MultiByteToWide(const char* codeSet, const char* text)
{
    if (text == nullptr || *text == '\0')
        return {};
    iconv_t cd = t_converters.Get(codeSet, kWideCodeSet);
    if (cd == kNoConverter)
        return {};
    const std::size_t length = std::strlen(text);
    // Nearly every encoding yields at most one character per input byte.
    OutputBuffer out((length + 1) * sizeof(wchar_t));
    static constexpr wchar_t kReplacement = 0xFFFD;
    RunConversion(
        cd, text, length, out, std::string_view(reinterpret_cast<const char*>(&kReplacement), sizeof kReplacement), 1);
    std::wstring result(out.Used() / sizeof(wchar_t), L'\0');
    std::memcpy(result.data(), out.Data(), result.size() * sizeof(wchar_t));
    return result;
}

std::string WideToMultiByte(const char* codeSet, const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return {};
    iconv_t cd = t_converters.Get(kWideCodeSet, codeSet);
    if (cd == kNoConverter)
        return {};
    const std::size_t length = std::wcslen(text);
    OutputBuffer out(length * 3 + 8);
    RunConversion(cd, reinterpret_cast<const char*>(text), length * sizeof(wchar_t), out, "?", sizeof(wchar_t));
    return std::string(out.Data(), out.Used());
}

} // namespace

std::wstring SideToWide(TextSide side, const char* text)
{
    return MultiByteToWide(side == TextSide::Local ? CurrentAnsiCodePage() : kUtf8CodeSet, text);
}

std::string WideToSide(TextSide side, const wchar_t* text)
{
    return WideToMultiByte(side == TextSide::Local ? CurrentAnsiCodePage() : kUtf8CodeSet, text);
}

bool LegacyTextToUtf8(const LegacyCodePage& page, std::string_view bytes, std::string& utf8)
{
    utf8.clear();
    if (bytes.empty())
        return true;
    iconv_t cd = t_converters.Get(page.iconvName, kUtf8CodeSet);
    if (cd == kNoConverter)
        return false;
    OutputBuffer out(bytes.size() * 3 + 8);
    char* in = const_cast<char*>(bytes.data()); // iconv's signature; it only reads the input
    std::size_t inLeft = bytes.size();
    while (iconv(cd, &in, &inLeft, out.Cursor(), out.Room()) == static_cast<std::size_t>(-1)) {
        if (errno != E2BIG)
            return false; // a byte that is no character of the code page, or a cut one at the end
        out.Grow();
    }
    while (iconv(cd, nullptr, nullptr, out.Cursor(), out.Room()) == static_cast<std::size_t>(-1) && errno == E2BIG)
        out.Grow();
    utf8.assign(out.Data(), out.Used());
    return true;
}
