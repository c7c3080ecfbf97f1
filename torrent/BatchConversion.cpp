#include "torrent/BatchConversion.h"

#include "platform/Clock.h"
#include "platform/PathText.h"
#include "torrent/CTorrentParser.h"
#include "torrent/GeneratedNames.h"
#include "torrent/TorrentFolderScan.h"

namespace {

// Saves with the encoded text's room reserved up front, so that the text never grows by copies;
// the "pieces" string goes to the file from the loaded bytes, never through the text.
bool SaveWithRoom(CTorrentParser& parser, const std::string& path, std::string& encoded)
{
    encoded.clear();
    const auto loaded = static_cast<std::size_t>(parser.bufferLength);
    encoded.reserve(loaded + loaded / 8 + 65536);
    return parser.WriteToFile(encoded, path.c_str());
}

// The steps of one item in order; `result.outcome` names the step under way until the last
// one succeeds, so that it tells which step failed, by a false result or by an exception.
void RunConversionSteps(CTorrentParser& parser, const BatchItem& item, const BatchRun& run, const char* stem,
    std::string* encodedBuffer, ConversionResult& result)
{
    // Earlier output is not converted, so it has no output path of its own.
    result.outcome = ConversionOutcome::InDestination;
    if (run.LiesInDestination(item)) {
        return;
    }
    const std::string sub = item.relativeDir + kPathSeparator;
    result.outputPath = run.DestDir() + sub + item.fileName;
    result.outcome = ConversionOutcome::LoadFailed;
    const std::string sourcePath = item.sourceRoot + sub + item.fileName;
    if (!parser.LoadFromFile(sourcePath.c_str())) {
        result.refusal = parser.refusal;
        return;
    }
    result.outcome = ConversionOutcome::AnalyzeFailed;
    // The info hash of the loaded torrent plays no part in washing it.
    if (!parser.Analyze(false)) {
        return;
    }
    const std::vector<std::string_view> loadedNames = LoadedNames(parser);
    result.outcome = ConversionOutcome::WashFailed;
    if (!parser.Wash(stem)) {
        return;
    }
    result.outcome = ConversionOutcome::OutputFolderFailed;
    if (std::string folder = run.DestDir() + sub; !CreateFolderChain(folder)) {
        return;
    }
    // Looked at right before the save: an earlier item's output can't have taken a source's
    // place, since none is ever written over one.
    result.outcome = ConversionOutcome::OutputIsSource;
    if (run.WouldReplaceSource(result.outputPath)) {
        return;
    }
    result.outcome = ConversionOutcome::SaveFailed;
    std::string local;
    if (!SaveWithRoom(parser, result.outputPath, encodedBuffer != nullptr ? *encodedBuffer : local)) {
        return;
    }
    result.outcome = ConversionOutcome::Converted;
    result.namesLeft = FindNamesLeft(*parser.root, loadedNames);
}

} // namespace

ConversionResult ConvertBatchItem(
    CTorrentParser& parser, const BatchItem& item, const BatchRun& run, const char* stem, std::string* encodedBuffer)
{
    ConversionResult result;
    RunConversionSteps(parser, item, run, stem, encodedBuffer, result);
    return result;
}

ConversionResult ConvertBatchItemContained(CTorrentParser& parser, const BatchItem& item, const BatchRun& run,
    const char* stem, std::string* encodedBuffer) noexcept
{
    ConversionResult result;
    try {
        RunConversionSteps(parser, item, run, stem, encodedBuffer, result);
    } catch (...) {
        // The step named by result.outcome threw; whatever it left half done goes with the
        // document's contents.
        parser.Reset();
    }
    return result;
}

std::string FormatBatchStem(int64_t unixSeconds, uint32_t tickCountMs, uint32_t index)
{
    return StemText(unixSeconds, tickCountMs, index);
}

std::string MakeBatchStem(uint32_t index)
{
    return FormatBatchStem(UnixTimeSeconds(), TickCountMs(), index);
}

const char* ConversionStateText(ConversionOutcome outcome)
{
    switch (outcome) {
    case ConversionOutcome::Converted:
        return "保存转换的种子成功!";
    case ConversionOutcome::LoadFailed:
        return "种子文件分析失败 请检查种子文件!";
    case ConversionOutcome::AnalyzeFailed:
        return "获取种子信息失败 请检查种子文件!";
    case ConversionOutcome::WashFailed:
        return "清洗种子文件失败 请检查种子文件!";
    case ConversionOutcome::OutputFolderFailed:
        return "保存种子文件的目录有误 请检查目录!";
    case ConversionOutcome::SaveFailed:
        return "保存转换的种子失败 请检查存储路径!";
    case ConversionOutcome::InDestination:
        return "种子文件位于保存路径中 不再转换!";
    case ConversionOutcome::OutputIsSource:
        return "保存路径上是本次转换的原种子 不能覆盖!";
    }
    return "";
}
