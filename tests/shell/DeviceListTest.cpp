#include "shell/DeviceList.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ParseDeviceList, AppliesTheLineRules) {
    const DeviceList list = ParseDeviceList("  PIC18F45K22 = PIC18K22 // 8-bit family\r\n"
                                            "// only a comment\n"
                                            "\n"
                                            "   \n"
                                            "-\n"
                                            "- = separator\n"
                                            "A=B=C\n"
                                            "Lonely\n");
    ASSERT_EQ(list.DeviceTypes.size(), 4u);
    EXPECT_EQ(list.DeviceTypes[0].Name, "PIC18F45K22");
    EXPECT_EQ(list.DeviceTypes[0].Diagram, "PIC18K22");
    EXPECT_EQ(list.DeviceTypes[1].Name, "") << "a lone '-' has no '=': empty entry";
    EXPECT_EQ(list.DeviceTypes[2].Name, "A");
    EXPECT_EQ(list.DeviceTypes[2].Diagram, "B=C");
    EXPECT_EQ(list.DeviceTypes[3].Name, "");
    EXPECT_EQ(list.DeviceTypes[3].Diagram, "");
    EXPECT_EQ(list.Items, (std::vector<std::string>{"PIC18F45K22", "", "-", "A", ""}));
    EXPECT_EQ(list.DeviceLines, (std::vector<std::size_t>{1, 5, 7, 8})) << "skipped lines count";
}

TEST(ParseDeviceList, SurvivesAnyBytes) {
    std::string junk;
    for (int i = 0; i < 256; ++i)
        junk += static_cast<char>(i);
    junk += std::string(1 << 20, 'x') + "=" + std::string(1000, '\0');
    const DeviceList list = ParseDeviceList(junk);
    EXPECT_FALSE(list.Items.empty());
}

TEST(ParseDeviceList, HoldsAtMostSixteenBitIndicesOfItems) {
    // Separators count: they take a place in the list box, whose indices are 16-bit too.
    std::string text;
    for (std::size_t i = 0; i < kMaxDeviceListEntries; ++i)
        text += i % 2 ? "-=x\n" : "D=x // comment\n";
    text += "\n// only a comment\n";
    const DeviceList list = ParseDeviceList(text);
    EXPECT_EQ(list.Items.size(), kMaxDeviceListEntries);
    EXPECT_EQ(list.DeviceTypes.size(), kMaxDeviceListEntries / 2);
    try {
        (void)ParseDeviceList(text + "-\n");
        ADD_FAILURE() << "one item more was read";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "Range check error");
    }
}

} // namespace
} // namespace quorvel
