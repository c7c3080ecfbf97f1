#include "bencode/CBEncode.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "samples/generator/TorrentBuilder.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <tuple>

namespace {

// Decodes a copy of `text` held in a block of exactly its size plus the terminating NUL,
// so that AddressSanitizer catches any read beyond it.
class Decoded {
public:
    explicit Decoded(const std::string& text) : m_buffer(std::make_unique<char[]>(text.size() + 1))
    {
        std::copy(text.begin(), text.end(), m_buffer.get());
        m_buffer[text.size()] = '\0';
        ok = codec.Decode(m_buffer.get(), text.size());
    }
    const char* buffer() const { return m_buffer.get(); }
    CBEncodeObjectBase* first() const { return codec.values.front(); }
    template <class T>
    T* firstAs() const
    {
        return static_cast<T*>(first());
    }

    CBEncode codec;
    bool ok = false;

private:
    std::unique_ptr<char[]> m_buffer;
};

template <class Items>
CBEncodeObjectBase* Item(const Items& items, std::size_t i)
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
    EXPECT_TRUE(value->type == kBEncodeString && static_cast<CBEncodeString*>(value)->GetString(out));
    return out;
}

int64_t Number(CBEncodeObjectBase* value)
{
    EXPECT_EQ(value->type, kBEncodeInt);
    return static_cast<CBEncodeInt*>(value)->number;
}

// A torrent of `files` files in seven folders.
std::string ManyFileTorrent(int files)
{
    TorrentDescription description;
    description.announce = "http://t.test/a";
    description.name = "many";
    for (int i = 0; i < files; ++i)
        description.files.push_back(
            {{"folder " + std::to_string(i % 7), "file " + std::to_string(i) + ".bin"}, 100 + i});
    return BuildTorrent(description);
}

} // namespace

TEST(BencodeDecoding, ValidInputsEncodeBackCanonically)
{
    const std::pair<std::string, std::string> cases[] = {
        {"i12ei007eiei0e", "i12ei7ei0ei0e"},                           // leading zeros and an empty run
        {"i9223372036854775807e", "i9223372036854775807e"},            // the int64 maximum
        {"i0000000000000000042e0000000000000000003:abc", "i42e3:abc"}, // 19-digit runs
        {"0::", "0:0:"},                                               // empty strings, one a lone colon
        {std::string("3:a\0b4:deie", 11), std::string("3:a\0b4:deie", 11)},
        {std::string("de\0i1e", 6), "de"}, // a top-level NUL ends decoding
        {"ledeld1:aleee", "ledeld1:aleee"},
        {"d1:bi1e1:ai2e1:ai3ee", "d1:bi1e1:ai2e1:ai3ee"},               // key order and repeated keys kept
        {"i-42ei-9223372036854775808e", "i-42ei-9223372036854775808e"}, // negatives, int64 minimum
    };
    for (const auto& [input, output] : cases) {
        SCOPED_TRACE(input);
        Decoded d(input);
        ASSERT_TRUE(d.ok);
        std::string all;
        for (CBEncodeObjectBase* value : d.codec.values)
            all += Encoded(value);
        EXPECT_EQ(all, output);
    }
    EXPECT_EQ(Number(Decoded("i-9223372036854775808e").first()), INT64_MIN); // the rest encode their numbers
    EXPECT_EQ(Text(Decoded(std::string("3:a\0b", 5)).first()), std::string("a\0b", 3));
    Decoded keys("d1:bi1e1:ai2e1:ai3e8:announcei4ee");
    EXPECT_EQ(Number(keys.firstAs<CBEncodeDict>()->Find("a")), 2); // the first of repeated keys
    EXPECT_EQ(keys.firstAs<CBEncodeDict>()->Find("ann"), nullptr); // whole keys only
    // The index orders keys as std::string does: bytes above 0x7F after ASCII, a prefix first.
    Decoded bytes("d1:\xFFi1e2:abi2e1:ai3e0:i4e1:\x7Fi5ee");
    std::string order;
    for (const auto& [key, value] : bytes.firstAs<CBEncodeDict>()->keyIndex)
        order += std::to_string(Number(value));
    EXPECT_EQ(order, "43251");
    EXPECT_EQ(Number(bytes.firstAs<CBEncodeDict>()->Find("\xFF")), 1);
}

// The last value decoded carries the error, and its length stops at the offending byte.
TEST(BencodeFailures, BadInputFailsAtTheOffendingByteWithoutLoopingOrReadingPastTheEnd)
{
    // The text, the error code and the length of the last value (-1: not checked).
    const std::tuple<const char*, int32_t, int32_t> cases[] = {
        {"i-e", kBEncodeInt, 2},                          // a sign without digits
        {"i-", kBEncodeInt, 2}, {"i-0e", kBEncodeInt, 2}, // negative zero
        {"i-007e", kBEncodeInt, 2},                       // a negative with leading zeros
        {"i--1e", kBEncodeInt, 2}, {"i1-e", kBEncodeInt, 2}, {"i-9223372036854775809e", kBEncodeInt, -1}, // below int64
        {"i12", kBEncodeInt, 3}, {"i9223372036854775808e", kBEncodeInt, -1}, // beyond int64
        {"i00000000000000000042e", kBEncodeInt, 20}, {"00000000000000000003:abc", kBEncodeString, 19},
        {"2147483648:x", kBEncodeString, 10}, // beyond int32
        {"12x", kBEncodeString, 2}, {"x", kBEncodeString, 0}, {"l", kBEncodeList, 1}, {"li1e", kBEncodeList, 4},
        {"l5:abc", kBEncodeList, 1}, // a string running past the end
        {"li1ei-0ee", kBEncodeList, 4}, {"d1:a", kBEncodeDict, 4}, {"dxe", kBEncodeDict, 1},
        {"d1:aqe", kBEncodeDict, 4}, {"d1:ai1ee5", kBEncodeString, -1}, // garbage after a clean value
    };
    for (const auto& [text, error, length] : cases) {
        SCOPED_TRACE(text);
        Decoded d(text);
        EXPECT_FALSE(d.ok);
        ASSERT_FALSE(d.codec.values.empty());
        EXPECT_EQ(d.codec.values.back()->errorCode, error);
        if (length >= 0) {
            EXPECT_EQ(d.codec.values.back()->rawLength, length);
        }
    }
}

TEST(BencodeFailures, AFailedDecodeLeavesThePartialTree)
{
    Decoded list("li1ei-0ee");
    auto* items = &list.firstAs<CBEncodeList>()->items;
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ(Number(Item(*items, 0)), 1);
    EXPECT_EQ(Item(*items, 1)->errorCode, kBEncodeInt);

    Decoded dict("d1:ai-0ee");
    EXPECT_EQ(dict.firstAs<CBEncodeDict>()->items.size(), 2u);
    EXPECT_EQ(dict.firstAs<CBEncodeDict>()->Find("a"), nullptr); // a key whose value failed
    EXPECT_EQ(Decoded("d1:ai1ee5").first()->errorCode, 0);       // garbage after it leaves a value clean

    EXPECT_EQ(Encoded(Decoded("i9223372036854775808e").first()), "i0e");
    std::string out = "previous";
    EXPECT_FALSE(Decoded("12x").firstAs<CBEncodeString>()->GetString(out));
    EXPECT_EQ(out, "");

    Decoded kept("i5e");
    EXPECT_FALSE(kept.codec.Decode("", 0));
    EXPECT_FALSE(kept.codec.Decode(nullptr, 3));
    ASSERT_EQ(kept.codec.values.size(), 1u);
    EXPECT_EQ(Number(kept.first()), 5);
}

TEST(BencodeFailures, EveryTruncationOfATorrentFailsWithinItsBuffer)
{
    const std::string torrent = ManyFileTorrent(3);
    for (std::size_t length = 1; length < torrent.size(); ++length) {
        SCOPED_TRACE(length);
        Decoded d(torrent.substr(0, length));
        EXPECT_FALSE(d.ok);
        ASSERT_EQ(d.codec.values.size(), 1u);
        EXPECT_EQ(d.first()->errorCode, kBEncodeDict);
        EXPECT_LE(d.first()->rawLength, static_cast<int32_t>(length));
    }
}

TEST(BencodeLimits, NestingDecodesUpToTheDepthLimitAndFailsOneLevelBeyondIt)
{
    const int depth = 512;
    const std::tuple<std::string, int32_t, std::string> kinds[]
        = {{"l", kBEncodeList, ""}, {"d1:k", kBEncodeDict, "i0e"}};
    for (const auto& [open, type, leaf] : kinds) {
        SCOPED_TRACE(open);
        std::string opens;
        for (int i = 0; i < depth; ++i)
            opens += open;
        EXPECT_TRUE(Decoded(opens + leaf + std::string(depth, 'e')).ok);

        Decoded d(opens + open + leaf + std::string(depth + 1, 'e'));
        EXPECT_FALSE(d.ok);
        CBEncodeObjectBase* value = d.first();
        for (int level = 1; level <= depth; ++level) {
            ASSERT_EQ(value->errorCode, type) << level;
            value = (type == kBEncodeList ? static_cast<CBEncodeList*>(value)->items
                                          : static_cast<CBEncodeDict*>(value)->items)
                        .back();
        }
        EXPECT_EQ(value->errorCode, type);
        EXPECT_EQ(value->rawLength, 0);
        EXPECT_EQ(value->rawStart, d.buffer() + open.size() * depth);
    }

    std::string deep;
    for (int i = 0; i < 500000; ++i)
        deep += "ld1:k";
    EXPECT_FALSE(Decoded(deep).ok); // without exhausting the stack
}

TEST(BencodeLimits, ADecodeCreatesAtMostTheValueBudgetAndFailsCleanlyAtTheFirstValueBeyondIt)
{
    EXPECT_EQ(CBEncode().valueBudget, 12'000'000u);
    const std::string text = "ld1:ki1ee0:leei7e"; // 7 values: list, dict, key, integer, string, list, integer
    const std::string withString = "ld1:ki1eel0:ee";
    for (std::size_t budget = 0; budget <= 7; ++budget) {
        SCOPED_TRACE(budget);
        CBEncode codec;
        codec.valueBudget = budget;
        const bool ok = codec.Decode(text.data(), text.size());
        EXPECT_EQ(ok, budget == 7);
        if (ok)
            continue;
        // Down the path of failed values to the one beyond the budget, which consumed nothing.
        CBEncodeObjectBase* failed = codec.values.back();
        while (failed->type == kBEncodeList || failed->type == kBEncodeDict) {
            const BEncodeItems& items = failed->type == kBEncodeList ? static_cast<CBEncodeList*>(failed)->items
                                                                     : static_cast<CBEncodeDict*>(failed)->items;
            if (items.empty() || items.back()->errorCode == 0)
                break;
            failed = items.back();
        }
        EXPECT_EQ(failed->errorCode, failed->type);
        EXPECT_EQ(failed->rawLength, 0);
    }
    CBEncode codec;
    codec.valueBudget = 5;
    ASSERT_FALSE(codec.Decode(withString.data(), withString.size()));
    auto* list = static_cast<CBEncodeList*>(codec.values.front());
    EXPECT_EQ(list->errorCode, kBEncodeList);
    EXPECT_EQ(Item(list->items, 1)->errorCode, kBEncodeList); // the inner list holds the failed string
    EXPECT_EQ(static_cast<CBEncodeList*>(Item(list->items, 1))->items.back()->errorCode, kBEncodeString);
    // Every decode starts with the whole budget again: a codec reused for many documents (as in a
    // batch run) decodes each of them, however many values they add up to.
    codec.valueBudget = 10;
    for (int round = 0; round < 3; ++round)
        EXPECT_TRUE(codec.Decode(withString.data(), withString.size())) << round;
}

TEST(BencodeEditing, SetStringChangesTheEncodingButNotTheDecodedBytes)
{
    Decoded d("4:spam");
    auto* text = d.firstAs<CBEncodeString>();
    EXPECT_TRUE(text->SetString("eggs!"));
    EXPECT_EQ(Encoded(text), "5:eggs!");
    EXPECT_EQ(Text(text), "spam");
    text->SetString("");
    EXPECT_EQ(Encoded(text), "0:");

    Decoded list("li1e3:abcq:"); // a failed string is left out of its list's encoding
    std::string out;
    EXPECT_FALSE(Item(list.firstAs<CBEncodeList>()->items, 2)->Encode(out));
    EXPECT_TRUE(list.first()->Encode(out));
    EXPECT_EQ(out, "li1e3:abce");
}

TEST(BencodeEditing, RemovingAKeyOrItsRepeatsDropsThosePairs)
{
    Decoded dictionary("d1:ai1e1:bi2e1:ai3e1:cli4eee"); // Remove drops every pair of the key
    auto* dict = dictionary.firstAs<CBEncodeDict>();
    EXPECT_TRUE(dict->Remove("a"));
    EXPECT_EQ(Encoded(dict), "d1:bi2e1:cli4eee");
    EXPECT_EQ(dict->Find("a"), nullptr);
    EXPECT_FALSE(dict->Remove("a"));
    EXPECT_FALSE(dict->Remove("zz"));
    EXPECT_TRUE(dict->Remove("c"));
    EXPECT_EQ(Encoded(dict), "d1:bi2ee");

    // Repeats go and the first pair of each key, the one Find gives, stays.
    Decoded repeated("d1:ai1e1:bi2e1:ai3e1:bi4e1:ci5e1:bi6ee");
    dict = repeated.firstAs<CBEncodeDict>();
    EXPECT_TRUE(dict->RemoveRepeatsOf("b"));
    EXPECT_EQ(Encoded(dict), "d1:ai1e1:bi2e1:ai3e1:ci5ee");
    EXPECT_FALSE(dict->RemoveRepeatsOf("b"));
    EXPECT_TRUE(dict->RemoveRepeatedKeys());
    EXPECT_EQ(Encoded(dict), "d1:ai1e1:bi2e1:ci5ee");
    EXPECT_FALSE(dict->RemoveRepeatedKeys());
    EXPECT_EQ(Number(dict->Find("a")), 1);
    Decoded failed("d1:ai1e1:ai2e1:bi-0e"); // a dictionary that failed keeps its failed last pair
    ASSERT_FALSE(failed.ok);
    EXPECT_TRUE(failed.firstAs<CBEncodeDict>()->RemoveRepeatedKeys());
    EXPECT_EQ(Encoded(failed.first()), "d1:ai1e1:bi0ee");
}

// A value taken out of its tree outlives it, and trees freed on another thread leave both
// threads' trees intact while later trees reuse the memory.
TEST(BencodeMemory, FreedTreesLeaveSurvivingValuesAndOtherThreadsTreesIntact)
{
    const std::string torrent = ManyFileTorrent(3000);
    Decoded first("i42e" + torrent);
    ASSERT_TRUE(first.ok);
    std::unique_ptr<CBEncodeObjectBase> survivor(first.codec.values.front());
    first.codec.values.pop_front();
    first.codec.Clear();

    auto handedOver = std::make_unique<Decoded>(torrent);
    ASSERT_TRUE(handedOver->ok);
    std::string encodedThere;
    std::thread other([&] {
        Decoded own(torrent);
        handedOver.reset(); // made on the main thread, freed here
        Decoded again(torrent);
        encodedThere = Encoded(own.first()) + Encoded(again.first());
    });
    other.join();
    EXPECT_EQ(encodedThere, torrent + torrent);
    for (int round = 0; round < 3; ++round) {
        Decoded here(torrent);
        ASSERT_TRUE(here.ok);
        EXPECT_EQ(Encoded(here.first()), torrent);
    }
    ASSERT_EQ(survivor->type, kBEncodeInt);
    EXPECT_EQ(static_cast<CBEncodeInt*>(survivor.get())->number, 42);
    EXPECT_EQ(survivor->rawLength, 4);
}
