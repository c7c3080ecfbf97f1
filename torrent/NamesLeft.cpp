#include "torrent/NamesLeft.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "torrent/CTorrentParser.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <unordered_set>
#include <utility>

namespace {

constexpr std::size_t kShortestName = 4;

void AddName(const TextRef& ref, std::unordered_set<std::string_view>& seen, std::vector<std::string_view>& names)
{
    if (ref.value == nullptr || ref.value->errorCode != 0 || ref.value->data == nullptr)
        return;
    const std::string_view bytes(ref.value->data, static_cast<std::size_t>(ref.value->dataLength));
    if (bytes.size() >= kShortestName && seen.insert(bytes).second)
        names.push_back(bytes);
}

// Keys whose strings are hashes, never names.
bool HoldsHashes(std::string_view key)
{
    return key == "pieces" || key == "pieces root" || key == "piece layers";
}

// Keys whose strings are names the wash writes: found there, a loaded name is one it missed.
bool HoldsNames(std::string_view key)
{
    return key == "path" || key == "path.utf-8" || key == "name" || key == "name.utf-8";
}

class NameSearch {
public:
    explicit NameSearch(const std::vector<std::string_view>& names) : m_names(names), m_exact(names.begin(), names.end())
    {
    }

    void Walk(const CBEncodeObjectBase& value, std::string_view key, bool inFileTree)
    {
        if (value.type == kBEncodeString) {
            if (!HoldsHashes(key))
                Check(key, CBEncodeDict::KeyText(value), HoldsNames(key));
        } else if (value.type == kBEncodeList) {
            for (const CBEncodeObjectBase* item : static_cast<const CBEncodeList&>(value).items)
                Walk(*item, key, inFileTree);
        } else if (value.type == kBEncodeDict) {
            const auto& items = static_cast<const CBEncodeDict&>(value).items;
            for (auto it = items.begin(); it != items.end() && std::next(it) != items.end(); std::advance(it, 2)) {
                const std::string_view itemKey = CBEncodeDict::KeyText(**it);
                if (HoldsHashes(itemKey))
                    continue;
                if (inFileTree)
                    Check("file tree", itemKey, true);
                Walk(**std::next(it), itemKey, inFileTree || itemKey == "file tree");
            }
        }
    }

    std::vector<NameLeft> found;

private:
    void Check(std::string_view key, std::string_view text, bool wholeName)
    {
        if (text.size() < kShortestName)
            return;
        if (wholeName) {
            if (m_exact.contains(text))
                Report(key, text);
            return;
        }
        for (const std::string_view name : m_names) {
            if (name.size() <= text.size() && text.find(name) != std::string_view::npos)
                Report(key, name);
        }
    }

    void Report(std::string_view key, std::string_view name)
    {
        if (m_reported.emplace(std::string(key), std::string(name)).second)
            found.push_back(NameLeft{std::string(key), std::string(name)});
    }

    const std::vector<std::string_view>& m_names;
    std::unordered_set<std::string_view> m_exact;
    std::set<std::pair<std::string, std::string>> m_reported;
};

} // namespace

std::vector<std::string_view> LoadedNames(const CTorrentParser& parser)
{
    std::unordered_set<std::string_view> seen;
    std::vector<std::string_view> names;
    AddName(parser.name, seen, names);
    AddName(parser.nameUtf8, seen, names);
    for (const TorrentFileEntry& entry : parser.files) {
        AddName(entry.name, seen, names);
        AddName(entry.nameUtf8, seen, names);
        for (const TextRef& folder : entry.path)
            AddName(folder, seen, names);
        for (const TextRef& folder : entry.pathUtf8)
            AddName(folder, seen, names);
    }
    return names;
}

std::vector<NameLeft> FindNamesLeft(const CBEncodeDict& root, const std::vector<std::string_view>& names)
{
    if (names.empty())
        return {};
    NameSearch search(names);
    search.Walk(root, "", false);
    return std::move(search.found);
}
