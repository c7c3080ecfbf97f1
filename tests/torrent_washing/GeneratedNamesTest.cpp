#include "torrent/GeneratedNames.h"
#include "torrent/BatchConversion.h"
#include "torrent/SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The generated texts of washing and of the single list side by side, with the rules in which
// the two differ: the length limit of a file name, the stem's item index and the size's end.
TEST(GeneratedNamesTest, OneTableForWashingTheSingleListAndTheCommandLine)
{
    const std::string d = StemDigest("1400000000-517");
    const std::string longExtension = "." + std::string(1023 - 35, 'e'); // "_1": 1023 bytes in all
    const std::string refused = "(refused)";
    const auto file = [&](std::size_t number, const std::string& loaded, NameLimit limit) {
        return GeneratedFileName(d, number, loaded, limit).value_or(refused);
    };
    const struct {
        std::string got;
        std::string want;
    } rows[] = {
        {StemText(1400000000, 1517), "1400000000-517"},
        {FormatBatchStem(1400000000, 1517, 0), "1400000000-517-0"},
        {FormatBatchStem(1400000000, 999, 42), "1400000000-999-42"},
        {FormatBatchStem(int64_t{1} << 31, 0, 1), "-2147483648-0-1"},
        {StemDigest(""), "d41d8cd98f00b204e9800998ecf8427e"},
        {file(3, "a.b.c.txt", NameLimit::Washing), d + "_3.txt"},
        {file(3, ".hidden", NameLimit::None), d + "_3.hidden"},
        {file(1, "readme", NameLimit::None), d + "_1"}, // no dot: no extension
        {file(1, "x" + longExtension, NameLimit::Washing), d + "_1" + longExtension},
        {file(10, "x" + longExtension, NameLimit::Washing), refused},
        {file(10, "x" + longExtension, NameLimit::None), d + "_10" + longExtension},
        {GeneratedFolderName(777, 3, 0), "777_30"},
        {GeneratedFolderName(41, 1, 12), "41_112"},
        {GeneratedFolderName(0, 11, 2), "0_112"},
        {SizeText(0, SizeTextEnd::LineFeed), "0.00B\n"},
        {SizeText(1024, SizeTextEnd::LineFeed), "1024.00B\n"},
        {SizeText(1025, SizeTextEnd::LineFeed), "1.00K\n"},
        {SizeText(1048576, SizeTextEnd::LineFeed), "1024.00K\n"},
        {SizeText(1048577, SizeTextEnd::LineFeed), "1.00M\n"},
        {SizeText(1073741824, SizeTextEnd::LineFeed), "1024.00M\n"},
        {SizeText(1610612736, SizeTextEnd::LineFeed), "1.50G\n"},
        {SizeText(1610612736, SizeTextEnd::Bare), "1.50G"},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row)
        EXPECT_EQ(rows[row].got, rows[row].want) << "row " << row;
}

} // namespace
