// Fuzz target for the bencode decoder, and for the torrent document's in-memory load,
// analysis and washing of the same bytes, with everything `kelpmere-cli show` computes for a
// torrent that analyses (its text and JSON reports, the info hashes).
//
// For every input: decoding ends, reads only the buffer, and every clean value's raw span
// lies inside the buffer and inside its parent's span. A cleanly decoded tree, encoded,
// decodes cleanly again to a tree with the same encoding.

#include "bencode/CBEncode.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "torrent/InfoHash.h"
#include "cli/ShowReport.h"
#include "torrent/CTorrentParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A clean value lies inside [begin, end), its parent's span. A failed child may run past
// its parent's span (the parent stops at the failed child's first byte), but never past the
// buffer, which ends at `bufferEnd`.
void CheckValue(const CBEncodeObjectBase* value, const char* begin, const char* end, const char* bufferEnd)
{
    if (value->errorCode != 0)
        end = bufferEnd;
    Check(value->rawStart != nullptr && value->rawStart >= begin && value->rawStart <= end);
    Check(value->rawLength >= 0 && value->rawLength <= end - value->rawStart);
    const char* spanEnd = value->rawStart + value->rawLength;
    switch (value->type) {
    case kBEncodeString: {
        const auto* text = static_cast<const CBEncodeString*>(value);
        if (text->data != nullptr) {
            Check(text->data > value->rawStart && text->dataLength > 0);
            Check(text->data + text->dataLength == spanEnd);
        }
        break;
    }
    case kBEncodeList:
        for (const CBEncodeObjectBase* item : static_cast<const CBEncodeList*>(value)->items)
            CheckValue(item, value->rawStart, spanEnd, bufferEnd);
        break;
    case kBEncodeDict: {
        const auto* dict = static_cast<const CBEncodeDict*>(value);
        std::size_t index = 0;
        for (const CBEncodeObjectBase* item : dict->items) {
            if (index++ % 2 == 0)
                Check(item->type == kBEncodeString);
            CheckValue(item, value->rawStart, spanEnd, bufferEnd);
        }
        if (value->errorCode == 0)
            Check(dict->items.size() % 2 == 0);
        break;
    }
    default:
        break;
    }
}

std::string EncodeAll(CBEncode& codec)
{
    std::string out;
    for (CBEncodeObjectBase* value : codec.values)
        value->Encode(out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // A block of exactly the input plus its NUL, so that ASan sees any read beyond it.
    auto buffer = std::make_unique<char[]>(size + 1);
    if (size > 0)
        std::memcpy(buffer.get(), data, size);
    buffer[size] = '\0';

    CBEncode codec;
    const bool clean = codec.Decode(buffer.get(), size);
    for (const CBEncodeObjectBase* value : codec.values)
        CheckValue(value, buffer.get(), buffer.get() + size, buffer.get() + size);

    if (clean) {
        for (const CBEncodeObjectBase* value : codec.values)
            Check(value->errorCode == 0);
        const std::string encoded = EncodeAll(codec);
        auto again = std::make_unique<char[]>(encoded.size() + 1);
        std::memcpy(again.get(), encoded.data(), encoded.size());
        again[encoded.size()] = '\0';
        CBEncode second;
        // The encoding of a clean tree without top-level values (input "\0...") is empty.
        if (!encoded.empty()) {
            Check(second.Decode(again.get(), encoded.size()));
            Check(EncodeAll(second) == encoded);
        }
    }

    CTorrentParser document;
    if (size > 0 && document.LoadFromMemory(reinterpret_cast<const char*>(data), size)) {
        if (document.Analyze()) {
            Check(!ShowTextReport("fuzz.torrent", document).empty());
            Check(!ShowJsonReport("fuzz.torrent", document).empty());
            Check(document.totalLength >= 0);
            Check(LoadedInfoHashHex(document).size() == 40);
            document.Wash("fuzz-stem");
            Check(CurrentInfoHashHex(document).size() == 40);
        }
        std::string out;
        document.root->Encode(out);
    }
    return 0;
}
