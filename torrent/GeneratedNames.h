#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// The names that washing and the single list's one-key modify give a torrent: the stem (the
// torrent name), file names "<digest>_<number><extension>" with the digest of the stem, and
// folder names "<draw>_<number><position>". Numbers count files from 1, positions folders from 0;
// number and position follow each other without a separator.

// The longest generated file name a caller takes, in bytes.
enum class NameLimit : std::size_t {
    // Washing builds each name for a 1024-byte buffer and refuses a torrent whose name would not
    // fit (a huge extension) rather than store a cut name.
    Washing = 1023,
    // One-key modify on the single page names a file whatever the length of its extension.
    None = std::numeric_limits<std::size_t>::max(),
};

// "<seconds>-<milliseconds>", with "-<item index>" when one is given: the time in seconds since
// 1970 as a signed 32-bit number and the tick count's milliseconds modulo 1000. One-key modify
// takes it without an index; the batch run gives each item its index.
std::string StemText(
    std::int64_t unixSeconds, std::uint32_t tickCountMs, std::optional<std::uint32_t> itemIndex = std::nullopt);

// The MD5 digest of the stem's bytes as 32 lower-case hexadecimal digits.
std::string StemDigest(std::string_view stem);

// How many decimal digits `number` has.
inline std::size_t DecimalDigits(std::size_t number)
{
    std::size_t digits = 1;
    for (; number >= 10; number /= 10) {
        ++digits;
    }
    return digits;
}

// Appends `number` in decimal, written in place at the end of `text`.
inline void AppendDecimal(std::string& text, std::size_t number)
{
    const std::size_t start = text.size();
    text.resize(start + DecimalDigits(number));
    for (std::size_t at = text.size(); at > start; number /= 10) {
        text[--at] = static_cast<char>('0' + number % 10);
    }
}

// The extension a generated file name keeps: the loaded name from its last dot to its end, dot
// included; nothing for a name without a dot.
inline std::string_view Extension(std::string_view loaded)
{
    const std::size_t dot = loaded.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : loaded.substr(dot);
}

// The length of the file name generated for the file numbered `number` whose loaded name is
// `loaded`: the digest, "_", the number and the extension. 0 when it would be longer than
// `limit`.
inline std::size_t GeneratedFileNameLength(
    std::string_view digest, std::size_t number, std::string_view loaded, NameLimit limit)
{
    const std::size_t length = digest.size() + 1 + DecimalDigits(number) + Extension(loaded).size();
    return length > static_cast<std::size_t>(limit) ? 0 : length;
}

// Appends "<digest>_<number><extension>"; `extension` is Extension of the loaded name.
inline void AppendFileName(std::string& text, std::string_view digest, std::size_t number, std::string_view extension)
{
    text.reserve(text.size() + digest.size() + 1 + DecimalDigits(number) + extension.size());
    text += digest;
    text += '_';
    AppendDecimal(text, number);
    text += extension;
}

// The generated file name for the loaded name `loaded`, or nothing when GeneratedFileNameLength
// is 0 for it.
std::optional<std::string> GeneratedFileName(
    std::string_view digest, std::size_t number, std::string_view loaded, NameLimit limit);

// Appends "<draw>_<number><position>", the name of a file's folder at `position`. Each folder
// name is written whole: copying a prefix just written costs more than writing it again.
inline void AppendFolderName(std::string& text, int draw, std::size_t number, std::size_t position)
{
    AppendDecimal(text, static_cast<std::size_t>(draw));
    text += '_';
    AppendDecimal(text, number);
    AppendDecimal(text, position);
}

// "<draw>_<number><position>" as a text of its own.
std::string GeneratedFolderName(int draw, std::size_t number, std::size_t position);
