#include "bencode/BEncodeContainers.h"

#include "bencode/CBEncodeObjectBase.h"

namespace {

// Lists at least this long are freed node by node.
constexpr std::size_t kLongList = 64;

} // namespace

void DeleteItems(BEncodeItems& items) noexcept
{
    BEncodePool::ReadAhead readAhead;
    if (items.size() < kLongList) {
        for (CBEncodeObjectBase* item : items) {
            readAhead.From(item);
            delete item;
        }
        items.clear();
        return;
    }
    // The node goes first: it was allocated before its value, so the pool sees the frees in the
    // order it cut the blocks.
    while (!items.empty()) {
        CBEncodeObjectBase* item = items.front();
        readAhead.From(item);
        items.pop_front();
        delete item;
    }
}
