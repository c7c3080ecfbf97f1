#include "cli/JsonWriter.h"

#include "platform/HexText.h"
#include "platform/Utf8.h"

void AppendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u00";
                    out += HexDigit(c >> 4);
                    out += HexDigit(c);
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        const std::size_t length = ValidUtf8SequenceLength(utf8.substr(i));
        if (length == 0) {
            out += "\\ufffd";
            ++i;
        } else {
            out.append(utf8, i, length);
            i += length;
        }
    }
    out += '"';
}

void JsonWriter::BeforeValue()
{
    if (!m_first) {
        m_text += ',';
    }
    m_first = false;
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_text += '{';
    m_first = true;
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_text += '}';
    m_first = false;
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_text += '[';
    m_first = true;
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_text += ']';
    m_first = false;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    BeforeValue();
    AppendJsonString(m_text, key);
    m_text += ':';
    m_first = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8)
{
    BeforeValue();
    AppendJsonString(m_text, utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t number)
{
    BeforeValue();
    m_text += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
    return *this;
}
