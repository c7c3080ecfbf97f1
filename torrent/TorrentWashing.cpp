// CTorrentParser::Wash: new torrent name, file names and folder names generated from a stem;
// lengths, order, piece length and piece hashes stay as loaded.
#include "torrent/CTorrentParser.h"

#include "bencode/BEncodePool.h"
#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeString.h"
#include "platform/AnsiCodePage.h"
#include "platform/LocalText.h"
#include "platform/ProcessRandom.h"
#include "torrent/GeneratedNames.h"
#include "torrent/NamePair.h"
#include "torrent/RenamedTorrent.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

bool CTorrentParser::Wash(const char* stem)
{
    const char* seed = stem != nullptr ? stem : "";
    WriteNamePair(name, &nameUtf8, LocalTextToUtf8(std::string_view(seed)));
    const std::string digest = StemDigest(seed);

    // The entries renamed before the first one that refuses the wash (a generated name too
    // long); each of them draws once, also one without folders, and the draws are taken in one
    // run.
    std::size_t washable = 0;
    while (washable < files.size()
        && GeneratedFileNameLength(digest, washable + 1, files[washable].name.text, NameLimit::Washing) != 0) {
        ++washable;
    }
    // Folder names are digits and "_": in a UTF-8 local code page they are their UTF-8 already.
    const bool utf8CodePage = AnsiCodePageIsUtf8();
    std::vector<int> draws(washable);
    ProcessRandomRun(draws.data(), draws.size());
    // A v2-only torrent's names are keys of its "file tree", which is built anew at the end.
    std::vector<std::string> treeFileNames;

    // The values renamed lie in the tree in file order: the next files' are fetched early.
    BEncodePool::ReadAhead readAhead(kFileSpan);
    for (std::size_t index = 0; index < washable; ++index) {
        TorrentFileEntry& entry = files[index];
        readAhead.From(entry.name.value);
        const std::size_t number = index + 1;
        const std::string_view extension = Extension(entry.name.text);
        std::string fileName;
        AppendFileName(fileName, digest, number, extension);
        // The generated part is ASCII: when the extension needs no conversion, neither does the
        // name (the extension is checked rather than the name just written).
        std::string fileNameUtf8 = LocalTextIsUtf8(extension) ? std::move(fileName) : LocalTextToUtf8(std::move(fileName));
        if (version2Only) {
            treeFileNames.push_back(std::move(fileNameUtf8));
            continue;
        }
        WriteNamePair(entry.name, &entry.nameUtf8, std::move(fileNameUtf8));

        for (std::size_t i = 0; i < entry.path.size(); ++i) {
            const TextRef* folderUtf8 = i < entry.pathUtf8.size() ? &entry.pathUtf8[i] : nullptr;
            if (utf8CodePage && entry.path[i].value != nullptr) {
                // Written straight into the value rather than built aside and moved in.
                CBEncodeString& folder = *entry.path[i].value;
                folder.SetString(std::string());
                AppendFolderName(folder.replacement, draws[index], number, i);
                WriteName(folderUtf8, folder.replacement);
                continue;
            }
            std::string folderName;
            AppendFolderName(folderName, draws[index], number, i);
            WriteNamePair(entry.path[i], folderUtf8, LocalTextToUtf8(std::move(folderName)));
        }
        // A "path.utf-8" with more folders than "path": each further one gets the folder name of
        // its own position.
        for (std::size_t i = entry.path.size(); i < entry.pathUtf8.size(); ++i) {
            WriteName(&entry.pathUtf8[i], LocalTextToUtf8(GeneratedFolderName(draws[index], number, i)));
        }
    }
    if (washable < files.size()) {
        return false;
    }
    if (version2Only) {
        RebuildFileTree(treeFileNames, draws);
    }

    DropRepeatedKeys();
    FinishRenaming(root);
    return true;
}

void CTorrentParser::RebuildFileTree(const std::vector<std::string>& fileNames, const std::vector<int>& draws)
{
    CBEncodeDict* info = root->FindDict("info");
    CBEncodeDict* loaded = info->FindDict("file tree");
    const auto newKey = [](std::string text) {
        auto key = std::make_unique<CBEncodeString>();
        key->SetString(std::move(text));
        return key;
    };
    auto tree = std::make_unique<CBEncodeDict>();
    for (std::size_t index = 0; index < files.size(); ++index) {
        TorrentFileEntry& entry = files[index];
        CBEncodeDict* at = tree.get();
        for (std::size_t i = 0; i < entry.path.size(); ++i) {
            auto key = newKey(LocalTextToUtf8(GeneratedFolderName(draws[index], index + 1, i)));
            auto folder = std::make_unique<CBEncodeDict>();
            entry.path[i].value = key.get();
            at->Append(key.release(), folder.get());
            at = folder.release();
        }
        auto key = newKey(fileNames[index]);
        entry.name.value = key.get();
        // The node moves to the new tree; its old place is left empty for the old tree's end.
        at->Append(key.release(), std::exchange(*m_treeFileNodes[index], nullptr));
    }
    tree->SortByKeys();
    // The new tree takes the old one's place among the info dictionary's pairs and in its index.
    CBEncodeDict* rebuilt = tree.get();
    for (CBEncodeObjectBase*& value : info->items) {
        if (value == loaded) {
            value = tree.release();
            break;
        }
    }
    info->keyIndex.find(std::string_view("file tree"))->second = rebuilt;
    delete loaded;
}
void CTorrentParser::DropRepeatedKeys()
{
    // The repeats go from the root, the info dictionary and the files' dictionaries that
    // Analyze found holding any.
    if (root != nullptr) {
        root->RemoveRepeatedKeys();
        if (CBEncodeDict* info = root->FindDict("info")) {
            info->RemoveRepeatedKeys();
        }
    }
    for (CBEncodeDict* file : m_filesWithRepeatedKeys) {
        file->RemoveRepeatedKeys();
    }
}
