#pragma once

#include "bencode/BEncodePool.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Type codes of bencode values; also the errorCode a value gets when its decoding fails.
constexpr int32_t kBEncodeString = 1;
constexpr int32_t kBEncodeInt = 2;
constexpr int32_t kBEncodeList = 3;
constexpr int32_t kBEncodeDict = 4;

// Base of every in-memory bencode value. Values are created by the decoder with `new`,
// owned by their containing list or dictionary (or by the codec at the top level) and
// deleted through the virtual destructor.
class CBEncodeObjectBase {
public:
    explicit CBEncodeObjectBase(int32_t valueType) : type(valueType) { }
    virtual ~CBEncodeObjectBase() = default;

    // Values are small and many: `new` and `delete` take them from BEncodePool. Deleting
    // through the virtual destructor passes the size of the actual class.
    static void* operator new(std::size_t size) { return BEncodePool::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept { BEncodePool::Free(block, size); }

    CBEncodeObjectBase(const CBEncodeObjectBase&) = delete;
    CBEncodeObjectBase& operator=(const CBEncodeObjectBase&) = delete;

    // Appends this value's bencode form to `out` (never clears it). The base writes nothing.
    virtual bool Encode(std::string& out);

    // The members are ordered so that the four bytes after the last one are free for the first
    // member of a derived value: a byte string then takes 80 bytes instead of 88 (64-bit GCC and
    // Clang), and every byte of a value counts hundreds of thousands of times.

    // 1 byte string, 2 integer, 3 list, 4 dictionary.
    int32_t type = 0;
    // Bytes the decoder consumed for this value, framing included (up to the failure point
    // for a value that failed).
    int32_t rawLength = 0;
    // First byte of this value's encoding inside the decoded buffer; null until decoded.
    const char* rawStart = nullptr;
    // 0 when the value decoded cleanly, otherwise its own type code.
    int32_t errorCode = 0;
};
