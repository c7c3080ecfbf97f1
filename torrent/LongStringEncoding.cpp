#include "torrent/LongStringEncoding.h"

#include "bencode/BEncodePool.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"

#include <charconv>

namespace {

// Bytes left out of the text: they belong at `textOffset`.
struct LeftOut {
    std::size_t textOffset = 0;
    const char* data = nullptr;
    std::size_t length = 0;
};

// The rules of the values' own Encode, except for long strings that were not replaced.
void Gather(
    CBEncodeObjectBase& value, std::string& text, std::vector<LeftOut>& leftOut, BEncodePool::ReadAhead& readAhead)
{
    readAhead.From(&value);
    switch (value.type) {
    case kBEncodeList:
    case kBEncodeDict: {
        const bool list = value.type == kBEncodeList;
        text += list ? 'l' : 'd';
        for (CBEncodeObjectBase* item :
            list ? static_cast<CBEncodeList&>(value).items : static_cast<CBEncodeDict&>(value).items) {
            Gather(*item, text, leftOut, readAhead);
        }
        text += 'e';
        return;
    }
    case kBEncodeString: {
        const auto& string = static_cast<const CBEncodeString&>(value);
        if (string.errorCode == 0 && !string.replaced && string.data != nullptr && string.dataLength > 0
            && static_cast<std::size_t>(string.dataLength) >= kLongStringBytes) {
            const auto length = static_cast<std::size_t>(string.dataLength);
            char digits[24];
            text.append(digits, std::to_chars(digits, digits + sizeof digits, length).ptr);
            text += ':';
            leftOut.push_back(LeftOut{text.size(), string.data, length});
            return;
        }
        break;
    }
    default:
        break;
    }
    value.Encode(text);
}

} // namespace

void EncodeAsRanges(CBEncodeObjectBase& value, std::string& text, std::vector<ByteRange>& ranges)
{
    const std::size_t start = text.size();
    std::vector<LeftOut> leftOut;
    BEncodePool::ReadAhead readAhead;
    Gather(value, text, leftOut, readAhead);
    std::size_t done = start;
    for (const LeftOut& bytes : leftOut) {
        ranges.push_back(ByteRange{text.data() + done, bytes.textOffset - done});
        ranges.push_back(ByteRange{bytes.data, bytes.length});
        done = bytes.textOffset;
    }
    ranges.push_back(ByteRange{text.data() + done, text.size() - done});
}
