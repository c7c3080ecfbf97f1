#include "toolkit/CDuiString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CDuiString::CDuiString(const char* text) : m_text(text ? text : "") { }
CDuiString::CDuiString(const char* text, std::size_t length) : m_text(text ? std::string(text, length) : std::string())
{
}
CDuiString::CDuiString(std::string text) : m_text(std::move(text)) { }
CDuiString::CDuiString(std::string_view text) : m_text(text) { }
CDuiString::CDuiString(char c) : m_text(1, c) { }

void CDuiString::Assign(const char* text, int length)
{
    if (!text) {
        m_text.clear();
    } else if (length < 0) {
        m_text.assign(text);
    } else {
        m_text.assign(text, strnlen(text, static_cast<std::size_t>(length)));
    }
}

void CDuiString::Append(const char* text)
{
    if (text)
        m_text.append(text);
}

CDuiString& CDuiString::operator=(const char* text)
{
    Assign(text);
    return *this;
}

CDuiString& CDuiString::operator+=(const CDuiString& other)
{
    m_text += other.m_text;
    return *this;
}

CDuiString& CDuiString::operator+=(const char* text)
{
    Append(text);
    return *this;
}

CDuiString& CDuiString::operator+=(char c)
{
    m_text += c;
    return *this;
}

CDuiString operator+(const CDuiString& a, const CDuiString& b)
{
    return CDuiString(a.m_text + b.m_text);
}

CDuiString operator+(const CDuiString& a, const char* b)
{
    CDuiString result(a);
    result.Append(b);
    return result;
}

char CDuiString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return 0;
    return m_text[static_cast<std::size_t>(index)];
}

bool CDuiString::operator==(const char* text) const
{
    return m_text == (text ? text : "");
}

int CDuiString::Compare(const char* text) const
{
    return std::strcmp(m_text.c_str(), text ? text : "");
}

int CDuiString::CompareNoCase(const char* text) const
{
    const char* a = m_text.c_str();
    const char* b = text ? text : "";
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (;; ++a, ++b) {
        const unsigned char ca = static_cast<unsigned char>(fold(*a));
        const unsigned char cb = static_cast<unsigned char>(fold(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int CDuiString::Format(const char* format, ...)
{
    if (!format) {
        m_text.clear();
        return 0;
    }
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        va_end(args);
        m_text.clear();
        return 0;
    }
    std::string buffer(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    buffer.resize(static_cast<std::size_t>(needed));
    m_text = std::move(buffer);
    return needed;
}

CDuiString CDuiString::Left(int count) const
{
    if (count <= 0)
        return {};
    return CDuiString(m_text.substr(0, static_cast<std::size_t>(count)));
}

CDuiString CDuiString::Mid(int start, int count) const
{
    if (start < 0)
        start = 0;
    if (start >= GetLength())
        return {};
    if (count < 0)
        return CDuiString(m_text.substr(static_cast<std::size_t>(start)));
    return CDuiString(m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

CDuiString CDuiString::Right(int count) const
{
    if (count <= 0)
        return {};
    if (count >= GetLength())
        return *this;
    return CDuiString(m_text.substr(m_text.size() - static_cast<std::size_t>(count)));
}

int CDuiString::Find(char c, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const auto at = m_text.find(c, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::Find(const char* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    const auto at = m_text.find(text, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::ReverseFind(char c) const
{
    const auto at = m_text.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::Replace(const char* from, const char* to)
{
    if (!from || !*from)
        return 0;
    const std::string target(from);
    const std::string replacement(to ? to : "");
    int count = 0;
    std::size_t at = 0;
    while ((at = m_text.find(target, at)) != std::string::npos) {
        m_text.replace(at, target.size(), replacement);
        at += replacement.size();
        ++count;
    }
    return count;
}

void CDuiString::MakeUpper()
{
    for (auto& c : m_text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

void CDuiString::MakeLower()
{
    for (auto& c : m_text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}
