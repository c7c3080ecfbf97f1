#pragma once

#include "bencode/BEncodeContainers.h"
#include "bencode/CBEncodeObjectBase.h"
#include "bencode/DecodeLimits.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The bencode decoder: one forward pass of recursive descent over a byte buffer, building
// values whose byte strings point into that buffer (nothing is copied but dictionary key
// texts). The codec owns the top-level values; the buffer must stay allocated and unchanged
// while they exist.
//
// The decoder reads only the `length` bytes it is given. A NUL byte at the top level, or the
// end of the buffer, ends decoding. Inside a list or dictionary the end of the buffer is a
// failure. A failure never throws: the value that failed gets its errorCode, every container
// on the path up to the top level fails too, and Decode returns false with the partial tree
// (every value completed so far plus the failed ones) left in `values`.
class CBEncode {
public:
    CBEncode() = default;
    virtual ~CBEncode();

    CBEncode(const CBEncode&) = delete;
    CBEncode& operator=(const CBEncode&) = delete;

    // Decodes `length` bytes from `buffer`. False for a null or empty buffer (the previous
    // values then stay), for a buffer longer than DecodeLimits::maxBufferLength, and when any
    // top-level value failed (a value beyond DecodeLimits::maxValues fails too). Callers
    // usually keep a NUL byte after the data, but the decoder never reads it.
    bool Decode(const char* buffer, std::size_t length);

    // Deletes every top-level value (and with it the whole tree).
    void Clear();

    // Top-level values in buffer order; owned.
    BEncodeItems values;
    // The value most recently completed by a parse operation; borrowed.
    CBEncodeObjectBase* lastValue = nullptr;
    // How many values one Decode may create (see DecodeLimits::maxValues); lowered by tests.
    std::size_t valueBudget = DecodeLimits::maxValues;

private:
    using ValueList = BEncodeItems;

    // Each parse operation creates a value at `pos`, parses it, appends it to `into` (also
    // when it failed), makes it `lastValue`, stores the bytes consumed in `consumed` and
    // returns true exactly when the value decoded cleanly.
    bool Dispatch(const char* pos, ValueList& into, int32_t& consumed);
    bool ParseInt(const char* pos, ValueList& into, int32_t& consumed);
    bool ParseString(const char* pos, ValueList& into, int32_t& consumed);
    bool ParseList(const char* pos, ValueList& into, int32_t& consumed);
    bool ParseDict(const char* pos, ValueList& into, int32_t& consumed);
    // The frame lists and dictionaries share: the opening byte `open`, items read by
    // `readItem(p, container)` (false when the item failed, `p` then at its first byte, else
    // `p` past it) up to the closing "e", the nesting depth and the value budget.
    template <class Container, class ReadItem>
    bool ParseContainer(const char* pos, char open, ValueList& into, int32_t& consumed, const ReadItem& readItem);

    // A new value of type `Value` starting at `pos`, counted against the value budget; when
    // the budget is spent it already carries its errorCode.
    template <class Value>
    std::unique_ptr<Value> NewValue(const char* pos);

    // Stores the consumed length in the value and the caller's counter, appends the value,
    // makes it lastValue and returns whether it is clean.
    bool Complete(std::unique_ptr<CBEncodeObjectBase> value, const char* stop, ValueList& into, int32_t& consumed);

    const char* m_end = nullptr;  // one past the last byte of the buffer being decoded
    int m_depth = 0;              // containers currently open
    std::size_t m_valuesLeft = 0; // values this decode may still create
};
