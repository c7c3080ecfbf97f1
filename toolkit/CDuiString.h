#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The toolkit's text: bytes in the active code page (the same bytes the program keeps
// in its byte strings). Backends convert to Unicode when they show a text.
class CDuiString {
public:
    CDuiString() = default;
    CDuiString(const char* text); // null gives the empty text
    CDuiString(const char* text, std::size_t length);
    CDuiString(std::string text);
    CDuiString(std::string_view text);
    CDuiString(char c);

    // The bytes, NUL-terminated; never null.
    const char* GetData() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    std::string_view view() const { return m_text; }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    void Assign(const char* text, int length = -1); // length -1: up to the NUL
    void Append(const char* text);
    CDuiString& operator=(const char* text);
    CDuiString& operator+=(const CDuiString& other);
    CDuiString& operator+=(const char* text);
    CDuiString& operator+=(char c);
    friend CDuiString operator+(const CDuiString& a, const CDuiString& b);
    friend CDuiString operator+(const CDuiString& a, const char* b);

    char GetAt(int index) const; // 0 outside the text
    char operator[](int index) const { return GetAt(index); }

    // Byte-exact comparison.
    bool operator==(const CDuiString& other) const { return m_text == other.m_text; }
    bool operator==(const char* text) const;
    bool operator==(std::string_view text) const { return m_text == text; }
    std::strong_ordering operator<=>(const CDuiString& other) const { return m_text <=> other.m_text; }
    int Compare(const char* text) const;       // <0, 0, >0 like strcmp
    int CompareNoCase(const char* text) const; // ASCII letters folded

    // printf-style formatting; replaces the text and returns its length.
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    CDuiString Left(int count) const;
    CDuiString Mid(int start, int count = -1) const;
    CDuiString Right(int count) const;
    int Find(char c, int start = 0) const; // -1 when absent
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char c) const;
    int Replace(const char* from, const char* to); // number of replacements
    void MakeUpper();
    void MakeLower();

private:
    std::string m_text;
};

template <>
struct std::hash<CDuiString> {
    std::size_t operator()(const CDuiString& s) const noexcept { return std::hash<std::string>{}(s.str()); }
};
