#include "bencode/CBEncode.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "bencode/DecodeLimits.h"
#include "samples/generator/TorrentBuilder.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// Decodes a copy of `text` held in a block of exactly its size plus the terminating NUL,
// so that AddressSanitizer catches any read beyond it.
class Decoded {
public:
    explicit Decoded(const std::string& text)
        : buffer_(std::make_unique<char[]>(text.size() + 1))
    {
        std::copy(text.begin(), text.end(), buffer_.get());
        buffer_[text.size()] = '\0';
        ok = codec.Decode(buffer_.get(), text.size());
    }

    const char* buffer() const { return buffer_.get(); }
    CBEncodeObjectBase* at(std::size_t i) const { return *std::next(codec.values.begin(), static_cast<long>(i)); }
    CBEncodeObjectBase* first() const { return at(0); }

    CBEncode codec;
    bool ok = false;

private:
    std::unique_ptr<char[]> buffer_;
};

CBEncodeObjectBase* Item(const BEncodeItems& items, std::size_t i)
{
    return *std::next(items.begin(), static_cast<long>(i));
}

std::string Encoded(CBEncodeObjectBase* value)
{
    std::string out;
    value->Encode(out);
    return out;
}

std::string Text(CBEncodeObjectBase* value)
{
    std::string out;
    EXPECT_EQ(value->type, kBEncodeString);
    static_cast<CBEncodeString*>(value)->GetString(out);
    return out;
}

int64_t Number(CBEncodeObjectBase* value)
{
    EXPECT_EQ(value->type, kBEncodeInt);
    return static_cast<CBEncodeInt*>(value)->number;
}

}  // namespace

// ---- clean decoding -----------------------------------------------------------------------

TEST(BencodeDecoding, DictionaryRecordsTheRawSpanOfEveryValue)
{
    Decoded d("d8:announce3:urle");
    ASSERT_TRUE(d.ok);
    auto* dict = static_cast<CBEncodeDict*>(d.first());
    EXPECT_EQ(dict->rawStart, d.buffer());
    EXPECT_EQ(dict->rawLength, 17);
    CBEncodeObjectBase* key = Item(dict->items, 0);
    CBEncodeObjectBase* value = dict->Find("announce");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(key->rawLength, 10);
    EXPECT_EQ(value->rawStart, d.buffer() + 11);
    EXPECT_EQ(value->rawLength, 5);
    EXPECT_EQ(Text(value), "url");
    EXPECT_EQ(static_cast<CBEncodeString*>(value)->data, d.buffer() + 13);
}

TEST(BencodeDecoding, IntegersAcceptLeadingZerosAndAnEmptyRunButComeOutCanonical)
{
    Decoded d("i12ei007eiei0e");
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.codec.values.size(), 4u);
    EXPECT_EQ(Number(d.at(0)), 12);
    EXPECT_EQ(Number(d.at(1)), 7);
    EXPECT_EQ(Encoded(d.at(1)), "i7e");
    EXPECT_EQ(Number(d.at(2)), 0);
    EXPECT_EQ(Encoded(d.at(2)), "i0e");
    EXPECT_EQ(d.at(2)->rawLength, 2);
}

TEST(BencodeDecoding, EmptyStringsComeFromZeroLengthOrALoneColon)
{
    Decoded d("0::");
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.codec.values.size(), 2u);
    EXPECT_EQ(d.at(0)->rawLength, 2);
    EXPECT_EQ(d.at(1)->rawLength, 1);
    EXPECT_EQ(static_cast<CBEncodeString*>(d.at(1))->data, nullptr);
    EXPECT_EQ(Encoded(d.at(0)), "0:");
    EXPECT_EQ(Encoded(d.at(1)), "0:");
}

TEST(BencodeDecoding, StringBytesMayHoldNulBytesAndFramingLetters)
{
    Decoded d(std::string("3:a\0b4:deie", 11));
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.codec.values.size(), 2u);
    EXPECT_EQ(Text(d.at(0)), std::string("a\0b", 3));
    EXPECT_EQ(Text(d.at(1)), "deie");
}

TEST(BencodeDecoding, ANulByteAtTheTopLevelEndsDecoding)
{
    Decoded d(std::string("de\0i1e", 6));
    EXPECT_TRUE(d.ok);
    ASSERT_EQ(d.codec.values.size(), 1u);
    EXPECT_EQ(d.first()->type, kBEncodeDict);
}

TEST(BencodeDecoding, EmptyContainersAreValidAndEncodeUnchanged)
{
    Decoded d("ledeld1:aleee");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(Encoded(d.at(0)), "le");
    EXPECT_EQ(Encoded(d.at(1)), "de");
    EXPECT_EQ(Encoded(d.at(2)), "ld1:aleee");
}

TEST(BencodeDecoding, RepeatedKeysStayInItemsWhileTheIndexKeepsTheFirst)
{
    Decoded d("d1:ai1e1:ai2ee");
    ASSERT_TRUE(d.ok);
    auto* dict = static_cast<CBEncodeDict*>(d.first());
    EXPECT_EQ(dict->items.size(), 4u);
    EXPECT_EQ(dict->keyIndex.size(), 1u);
    EXPECT_EQ(Number(dict->Find("a")), 1);
    EXPECT_EQ(Encoded(dict), "d1:ai1e1:ai2ee");
}

TEST(BencodeDecoding, KeysAreNeitherSortedNorMatchedByPrefix)
{
    Decoded d("d1:bi1e1:ai2e8:announcei3ee");
    ASSERT_TRUE(d.ok);
    auto* dict = static_cast<CBEncodeDict*>(d.first());
    EXPECT_EQ(Number(dict->Find("a")), 2);
    EXPECT_EQ(dict->Find("ann"), nullptr);
    EXPECT_EQ(dict->Find("c"), nullptr);
    EXPECT_EQ(Encoded(dict), "d1:bi1e1:ai2e8:announcei3ee");
}

TEST(BencodeDecoding, TheInfoSpanIsExactlyTheInfoDictionaryBytes)
{
    TorrentDescription description;
    description.announce = "http://t.test/a";
    description.name = "x.bin";
    description.length = 100000;
    description.pieceLength = 16384;
    Decoded d(BuildTorrent(description));
    ASSERT_TRUE(d.ok);
    CBEncodeObjectBase* info = static_cast<CBEncodeDict*>(d.first())->Find("info");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(std::string(info->rawStart, static_cast<std::size_t>(info->rawLength)), BuildInfoDict(description));
}

// ---- failures and the partial tree --------------------------------------------------------

TEST(BencodeFailures, ASignOrAMissingEndFailsTheIntegerAtTheOffendingByte)
{
    Decoded signedInt("i-12e");
    EXPECT_FALSE(signedInt.ok);
    EXPECT_EQ(signedInt.first()->errorCode, kBEncodeInt);
    EXPECT_EQ(signedInt.first()->rawLength, 1);

    Decoded unterminated("i12");
    EXPECT_FALSE(unterminated.ok);
    EXPECT_EQ(unterminated.first()->errorCode, kBEncodeInt);
    EXPECT_EQ(unterminated.first()->rawLength, 3);
}

TEST(BencodeFailures, DigitsWithoutAColonFailTheString)
{
    Decoded d("12x");
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.first()->errorCode, kBEncodeString);
    EXPECT_EQ(d.first()->rawLength, 2);
    std::string out = "previous";
    EXPECT_FALSE(static_cast<CBEncodeString*>(d.first())->GetString(out));
    EXPECT_EQ(out, "");
}

TEST(BencodeFailures, AFailedListHoldsItsCompletedChildrenAndTheFailedOne)
{
    Decoded d("li1ei-2ee");
    EXPECT_FALSE(d.ok);
    auto* list = static_cast<CBEncodeList*>(d.first());
    EXPECT_EQ(list->errorCode, kBEncodeList);
    EXPECT_EQ(list->rawLength, 4);
    ASSERT_EQ(list->items.size(), 2u);
    EXPECT_EQ(Number(Item(list->items, 0)), 1);
    EXPECT_EQ(Item(list->items, 1)->errorCode, kBEncodeInt);
}

TEST(BencodeFailures, AKeyWhoseValueFailedIsNotIndexed)
{
    Decoded d("d1:ai-1ee");
    EXPECT_FALSE(d.ok);
    auto* dict = static_cast<CBEncodeDict*>(d.first());
    EXPECT_EQ(dict->errorCode, kBEncodeDict);
    EXPECT_EQ(dict->items.size(), 2u);
    EXPECT_TRUE(dict->keyIndex.empty());
}

TEST(BencodeFailures, GarbageAfterACompleteDictionaryLeavesTheDictionaryClean)
{
    Decoded d("d1:ai1ee5");
    EXPECT_FALSE(d.ok);
    ASSERT_EQ(d.codec.values.size(), 2u);
    EXPECT_EQ(d.at(0)->errorCode, 0);
    EXPECT_EQ(d.at(1)->errorCode, kBEncodeString);
}

TEST(BencodeFailures, AnEmptyBufferLeavesThePreviousValuesInPlace)
{
    Decoded d("i5e");
    ASSERT_TRUE(d.ok);
    EXPECT_FALSE(d.codec.Decode("", 0));
    EXPECT_FALSE(d.codec.Decode(nullptr, 3));
    ASSERT_EQ(d.codec.values.size(), 1u);
    EXPECT_EQ(Number(d.first()), 5);
}

// Positions where nothing can be consumed fail instead of looping.
TEST(BencodeFailures, PositionsThatConsumeNothingFailAndDecodingEnds)
{
    struct Case {
        const char* text;
        int32_t outerError;
        int32_t outerLength;
    };
    const Case cases[] = {
        {"l", kBEncodeList, 1},               // the end inside an open list
        {"li1e", kBEncodeList, 4},            // truncated after an element
        {"d1:a", kBEncodeDict, 4},            // missing value at the end
        {"dxe", kBEncodeDict, 1},             // a key that starts with neither digit nor colon
        {"d1:aqe", kBEncodeDict, 4},          // a value that is no value
        {"x", kBEncodeString, 0},             // a top-level byte that starts nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Decoded d(c.text);
        EXPECT_FALSE(d.ok);
        ASSERT_FALSE(d.codec.values.empty());
        EXPECT_EQ(d.codec.values.back()->errorCode, c.outerError);
        EXPECT_EQ(d.codec.values.back()->rawLength, c.outerLength);
    }
}

TEST(BencodeFailures, AStringRunningPastTheEndFailsWithoutReadingBeyondTheBuffer)
{
    Decoded d("l5:abc");
    EXPECT_FALSE(d.ok);
    auto* list = static_cast<CBEncodeList*>(d.first());
    ASSERT_EQ(list->items.size(), 1u);
    EXPECT_EQ(Item(list->items, 0)->errorCode, kBEncodeString);
    EXPECT_EQ(Item(list->items, 0)->rawLength, 2);
    EXPECT_EQ(list->rawLength, 1);
}

// Every proper prefix of a torrent is a truncated file: it must fail, inside the buffer.
TEST(BencodeFailures, EveryTruncationOfATorrentFailsWithinItsBuffer)
{
    TorrentDescription description;
    description.announce = "http://t.test/a";
    description.announceList = {{"http://t.test/a", "udp://u.test:1"}};
    description.name = "folder";
    description.files = {{{"a", "b.txt"}, 10}, {{"c.bin"}, 1 << 20}};
    description.creationDate = 1234567;
    const std::string torrent = BuildTorrent(description);
    for (std::size_t length = 1; length < torrent.size(); ++length) {
        Decoded d(torrent.substr(0, length));
        EXPECT_FALSE(d.ok) << length;
        ASSERT_EQ(d.codec.values.size(), 1u);
        EXPECT_EQ(d.first()->errorCode, kBEncodeDict) << length;
        EXPECT_LE(d.first()->rawLength, static_cast<int32_t>(length));
    }
}

// ---- limits -------------------------------------------------------------------------------

TEST(BencodeLimits, IntegersUpToTheSigned64BitMaximumDecodeAndBeyondItFail)
{
    Decoded largest("i9223372036854775807e");
    ASSERT_TRUE(largest.ok);
    EXPECT_EQ(Number(largest.first()), INT64_MAX);

    Decoded beyond("i9223372036854775808e");
    EXPECT_FALSE(beyond.ok);
    EXPECT_EQ(beyond.first()->errorCode, kBEncodeInt);
    EXPECT_EQ(Encoded(beyond.first()), "i0e");  // a failed integer keeps 0
}

TEST(BencodeLimits, DigitRunsLongerThanNineteenDigitsFail)
{
    Decoded nineteen("i0000000000000000042e0000000000000000003:abc");
    ASSERT_TRUE(nineteen.ok);
    EXPECT_EQ(Number(nineteen.at(0)), 42);
    EXPECT_EQ(Text(nineteen.at(1)), "abc");

    Decoded longInteger("i00000000000000000042e");
    EXPECT_FALSE(longInteger.ok);
    EXPECT_EQ(longInteger.first()->errorCode, kBEncodeInt);
    EXPECT_EQ(longInteger.first()->rawLength, 1 + DecodeLimits::maxDigits);

    Decoded longLength("00000000000000000003:abc");
    EXPECT_FALSE(longLength.ok);
    EXPECT_EQ(longLength.first()->errorCode, kBEncodeString);
    EXPECT_EQ(longLength.first()->rawLength, DecodeLimits::maxDigits);
}

TEST(BencodeLimits, LengthsBeyondTheSigned32BitRangeFail)
{
    Decoded d("2147483648:x");
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.first()->errorCode, kBEncodeString);
    EXPECT_EQ(d.first()->rawLength, 10);
}

TEST(BencodeLimits, NestingUpToTheDepthLimitDecodes)
{
    const int depth = DecodeLimits::maxDepth;
    Decoded lists(std::string(depth, 'l') + std::string(depth, 'e'));
    EXPECT_TRUE(lists.ok);
    std::string dicts;
    for (int i = 0; i < depth; ++i)
        dicts += "d1:k";
    dicts += "i0e" + std::string(depth, 'e');
    Decoded d(dicts);
    EXPECT_TRUE(d.ok);
}

TEST(BencodeLimits, TheContainerOneLevelTooDeepFailsAndSoDoAllAbove)
{
    const int depth = DecodeLimits::maxDepth + 1;
    Decoded d(std::string(depth, 'l') + std::string(depth, 'e'));
    EXPECT_FALSE(d.ok);
    CBEncodeObjectBase* value = d.first();
    for (int level = 1; level < depth; ++level) {
        ASSERT_EQ(value->errorCode, kBEncodeList) << level;
        value = static_cast<CBEncodeList*>(value)->items.back();
    }
    EXPECT_EQ(value->errorCode, kBEncodeList);
    EXPECT_EQ(value->rawLength, 0);
    EXPECT_EQ(value->rawStart, d.buffer() + depth - 1);
}

TEST(BencodeLimits, AMillionOpenContainersDoNotExhaustTheStack)
{
    std::string deep;
    for (int i = 0; i < 500000; ++i)
        deep += "ld1:k";
    Decoded d(deep);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.first()->errorCode, kBEncodeList);
}

// ---- encoding and editing -----------------------------------------------------------------

TEST(BencodeEditing, SetStringChangesTheEncodingButNotTheDecodedBytes)
{
    Decoded d("4:spam");
    auto* text = static_cast<CBEncodeString*>(d.first());
    EXPECT_TRUE(text->SetString("eggs!"));
    EXPECT_EQ(Encoded(text), "5:eggs!");
    EXPECT_EQ(Text(text), "spam");
    text->SetString("");
    EXPECT_EQ(Encoded(text), "0:");
}

TEST(BencodeEditing, AFailedStringIsLeftOutOfItsListsEncoding)
{
    Decoded d("li1e3:abcq:");
    auto* list = static_cast<CBEncodeList*>(d.first());
    ASSERT_EQ(list->items.size(), 3u);
    std::string out;
    EXPECT_FALSE(Item(list->items, 2)->Encode(out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(list->Encode(out));
    EXPECT_EQ(out, "li1e3:abce");
}

TEST(BencodeEditing, RemoveDropsEveryPairOfTheKeyAndItsIndexEntry)
{
    Decoded d("d1:ai1e1:bi2e1:ai3e1:cli4eee");
    ASSERT_TRUE(d.ok);
    auto* dict = static_cast<CBEncodeDict*>(d.first());
    EXPECT_TRUE(dict->Remove("a"));
    EXPECT_EQ(Encoded(dict), "d1:bi2e1:cli4eee");
    EXPECT_EQ(dict->Find("a"), nullptr);
    EXPECT_EQ(dict->items.size(), 4u);
    EXPECT_FALSE(dict->Remove("a"));
    EXPECT_FALSE(dict->Remove("zz"));
    EXPECT_TRUE(dict->Remove("c"));
    EXPECT_EQ(Encoded(dict), "d1:bi2ee");
}

TEST(BencodeEditing, RemovingTheVersion2KeysOfAHybridInfoLeavesTheVersion1Info)
{
    TorrentDescription v1;
    v1.announce = "http://t.test/a";
    v1.name = "x.bin";
    v1.length = 5000;
    TorrentDescription hybrid = v1;
    hybrid.extraInfo["file tree"] = BencodeDict({{"x.bin", BencodeDict({{"", BencodeDict({{"length", BencodeInt(5000)}})}})}});
    hybrid.extraInfo["meta version"] = BencodeInt(2);
    hybrid.extraRoot["piece layers"] = BencodeDict({});
    Decoded d(BuildTorrent(hybrid));
    ASSERT_TRUE(d.ok);
    auto* root = static_cast<CBEncodeDict*>(d.first());
    auto* info = static_cast<CBEncodeDict*>(root->Find("info"));
    EXPECT_TRUE(info->Remove("file tree"));
    EXPECT_TRUE(info->Remove("meta version"));
    EXPECT_TRUE(root->Remove("piece layers"));
    EXPECT_EQ(Encoded(root), BuildTorrent(v1));
}
