#include "bencode/CBEncode.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "bencode/DecodeLimits.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

// Values come from BEncodePool (their operator new), whose blocks are only so strictly aligned.
static_assert(alignof(CBEncodeInt) <= BEncodePool::kAlignment && alignof(CBEncodeString) <= BEncodePool::kAlignment
    && alignof(CBEncodeList) <= BEncodePool::kAlignment && alignof(CBEncodeDict) <= BEncodePool::kAlignment);

namespace {

// Holds a place at the end of a list for the value about to be parsed, so that the value's
// list node is allocated ahead of the value and its children: a tree then lies in memory in
// the order every later walk (analysis, encoding, freeing) visits it. Complete fills the place;
// should parsing throw, the place is given up again.
class PlaceInList {
public:
    explicit PlaceInList(BEncodeItems& list) : m_list(list) { m_list.push_back(nullptr); }
    ~PlaceInList()
    {
        if (m_list.back() == nullptr)
            m_list.pop_back();
    }
    PlaceInList(const PlaceInList&) = delete;
    PlaceInList& operator=(const PlaceInList&) = delete;

private:
    BEncodeItems& m_list;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A run of decimal digits from `pos`, stopping at the end of the buffer.
struct DigitRun {
    const char* stop = nullptr; // first byte after the digits taken
    uint64_t value = 0;         // the digits taken, read as a decimal number
    bool tooLong = false;       // more than DecodeLimits::maxDigits digits: `stop` is the first extra one
};

DigitRun ReadDigits(const char* pos, const char* end)
{
    DigitRun run;
    const char* p = pos;
    // 19 digits never overflow 64 unsigned bits (10^19 - 1 < 2^64).
    while (p < end && IsDigit(*p)) {
        if (p - pos == DecodeLimits::maxDigits) {
            run.tooLong = true;
            break;
        }
        run.value = run.value * 10 + static_cast<uint64_t>(*p - '0');
        ++p;
    }
    run.stop = p;
    return run;
}

} // namespace

CBEncode::~CBEncode()
{
    Clear();
}

void CBEncode::Clear()
{
    DeleteItems(values);
    lastValue = nullptr;
}

bool CBEncode::Decode(const char* buffer, std::size_t length)
{
    if (buffer == nullptr || length == 0 || buffer[0] == '\0')
        return false;
    if (length > DecodeLimits::maxBufferLength)
        return false;
    Clear();
    m_end = buffer + length;
    m_depth = 0;
    m_valuesLeft = valueBudget;
    const char* pos = buffer;
    // Every clean value consumes at least one byte, so this loop always advances.
    while (pos < m_end && *pos != '\0') {
        int32_t consumed = 0;
        if (!Dispatch(pos, values, consumed))
            return false;
        pos += consumed;
    }
    return true;
}

template <class Value>
std::unique_ptr<Value> CBEncode::NewValue(const char* pos)
{
    auto value = std::make_unique<Value>();
    value->rawStart = pos;
    if (m_valuesLeft == 0)
        value->errorCode = value->type;
    else
        --m_valuesLeft;
    return value;
}

bool CBEncode::Complete(std::unique_ptr<CBEncodeObjectBase> value, const char* stop, ValueList& into, int32_t& consumed)
{
    consumed = static_cast<int32_t>(stop - value->rawStart);
    value->rawLength = consumed;
    // The place the parse operation holds at the end of `into` (children go to lists of their own).
    CBEncodeObjectBase* completed = value.release();
    into.back() = completed;
    lastValue = completed;
    return completed->errorCode == 0;
}

bool CBEncode::Dispatch(const char* pos, ValueList& into, int32_t& consumed)
{
    if (pos < m_end) {
        switch (*pos) {
        case 'i':
            return ParseInt(pos, into, consumed);
        case 'l':
            return ParseList(pos, into, consumed);
        case 'd':
            return ParseDict(pos, into, consumed);
        default:
            break;
        }
    }
    return ParseString(pos, into, consumed);
}

// "i<digits>e" or "i-<digits>e". An empty run is 0 and leading zeros are allowed after no
// sign; after a "-" at least one digit must follow and the first may not be "0" (so "-0" and
// "-007" fail), which keeps a negative number's spelling canonical: it encodes back to the
// same bytes. A failed integer keeps number 0 (so it encodes as "i0e") and consumes the "i",
// the sign and the digits taken, stopping at the offending byte: any other byte, the end of
// the buffer, a 20th digit, or the "e" of a number beyond the signed 64-bit range.
bool CBEncode::ParseInt(const char* pos, ValueList& into, int32_t& consumed)
{
    const PlaceInList place(into);
    auto value = NewValue<CBEncodeInt>(pos);
    const char* p = pos;
    if (value->errorCode != 0 || p >= m_end || *p != 'i') {
        value->errorCode = kBEncodeInt;
        return Complete(std::move(value), p, into, consumed);
    }
    ++p;
    const bool negative = p < m_end && *p == '-';
    if (negative) {
        ++p;
        if (p >= m_end || !IsDigit(*p) || *p == '0') {
            value->errorCode = kBEncodeInt;
            return Complete(std::move(value), p, into, consumed);
        }
    }
    const DigitRun run = ReadDigits(p, m_end);
    p = run.stop;
    // The magnitude of INT64_MIN is one more than INT64_MAX.
    const uint64_t limit = static_cast<uint64_t>(INT64_MAX) + (negative ? 1u : 0u);
    if (!run.tooLong && p < m_end && *p == 'e' && run.value <= limit) {
        // Unsigned negation, then the conversion, which C++20 defines as modular.
        value->number = static_cast<int64_t>(negative ? 0u - run.value : run.value);
        ++p;
    } else {
        value->errorCode = kBEncodeInt;
    }
    return Complete(std::move(value), p, into, consumed);
}

// "<digits>:<bytes>". An empty run is length 0, so a lone ":" is the empty string. Fails
// (errorCode 1) when the value budget is spent (consuming nothing), when there is no colon
// after the digits (also when there are no digits at all, consuming nothing), when the run is
// longer than 19 digits or the length is beyond the signed 32-bit range (consuming the
// digits), and when the bytes would run past the end of the buffer (consuming the digits and
// the colon).
bool CBEncode::ParseString(const char* pos, ValueList& into, int32_t& consumed)
{
    const PlaceInList place(into);
    auto value = NewValue<CBEncodeString>(pos);
    if (value->errorCode != 0)
        return Complete(std::move(value), pos, into, consumed);
    const DigitRun run = ReadDigits(pos, m_end);
    const char* p = run.stop;
    if (run.tooLong || p >= m_end || *p != ':' || run.value > static_cast<uint64_t>(INT32_MAX)) {
        value->errorCode = kBEncodeString;
        return Complete(std::move(value), p, into, consumed);
    }
    ++p;
    if (run.value > static_cast<uint64_t>(m_end - p)) {
        value->errorCode = kBEncodeString;
        return Complete(std::move(value), p, into, consumed);
    }
    if (run.value > 0) {
        value->data = p;
        value->dataLength = static_cast<int32_t>(run.value);
        p += run.value;
    }
    return Complete(std::move(value), p, into, consumed);
}

template <class Container, class ReadItem>
bool CBEncode::ParseContainer(const char* pos, char open, ValueList& into, int32_t& consumed, const ReadItem& readItem)
{
    const PlaceInList place(into);
    auto value = NewValue<Container>(pos);
    const char* p = pos;
    if (value->errorCode != 0 || p >= m_end || *p != open || m_depth >= DecodeLimits::maxDepth) {
        value->errorCode = value->type;
        return Complete(std::move(value), p, into, consumed);
    }
    ++p;
    ++m_depth;
    for (;;) {
        if (p < m_end && *p == 'e') {
            ++p;
            break;
        }
        if (!readItem(p, *value)) {
            value->errorCode = value->type;
            break;
        }
    }
    --m_depth;
    return Complete(std::move(value), p, into, consumed);
}

// "l<values>e". A failed element fails the list at that element's first byte; so does a
// list that would open nesting level DecodeLimits::maxDepth + 1 or exceed the value budget
// (consuming nothing).
bool CBEncode::ParseList(const char* pos, ValueList& into, int32_t& consumed)
{
    return ParseContainer<CBEncodeList>(pos, 'l', into, consumed, [this](const char*& p, CBEncodeList& list) {
        int32_t length = 0;
        if (!Dispatch(p, list.items, length))
            return false;
        p += length;
        return true;
    });
}

// "d<key><value>...e". Keys are byte strings in any order; repeats are kept in `items`
// while `keyIndex` keeps the first. A failed key or value fails the dictionary at that
// item's first byte; so does a dictionary that would open nesting level
// DecodeLimits::maxDepth + 1 or exceed the value budget (consuming nothing).
bool CBEncode::ParseDict(const char* pos, ValueList& into, int32_t& consumed)
{
    return ParseContainer<CBEncodeDict>(pos, 'd', into, consumed, [this](const char*& p, CBEncodeDict& dict) {
        int32_t length = 0;
        if (!ParseString(p, dict.items, length))
            return false;
        const auto* key = static_cast<const CBEncodeString*>(lastValue);
        const std::size_t keyLength
            = key->data != nullptr && key->dataLength > 0 ? static_cast<std::size_t>(key->dataLength) : 0;
        p += length;
        if (!Dispatch(p, dict.items, length))
            return false;
        // Keys usually come sorted, so each is tried at the end of the index first; its text
        // is made in the index's own node, straight from the buffer.
        dict.keyIndex.emplace_hint(dict.keyIndex.end(), std::piecewise_construct,
            std::forward_as_tuple(keyLength != 0 ? key->data : "", keyLength), std::forward_as_tuple(lastValue));
        p += length;
        return true;
    });
}
