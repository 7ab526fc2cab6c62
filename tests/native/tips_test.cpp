#include "statmon/ui/tips.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using statmon::kTipCount;
using statmon::kTips;
using statmon::NextTip;
using statmon::NextTipForShow;
using statmon::nTipIndex;

namespace {

class TipRotation : public ::testing::Test {
protected:
    void SetUp() override { nTipIndex = 0; }
};

TEST(TipTable, HasElevenTipsInTableOrder) {
    ASSERT_EQ(kTipCount, 11);
    EXPECT_STREQ(kTips[0],
                 "In case of \"Printer Fonts\" set font size as 10 for better throughput and "
                 "speed.");
    EXPECT_STREQ(kTips[4],
                 "If the printer is printing slow, try Bidirectional setting in Printer Menu "
                 "mode.");
    EXPECT_STREQ(kTips[10], "Use KLR Ink bank to recharge your ribbon cassette.");
}

TEST(TipTable, CautionTipsCarryTheWindows1252EnDash) {
    const std::string tip5 = kTips[5];
    const std::string tip6 = kTips[6];
    const std::string dash5 = std::string("Caution ") + char(0x96) +
                              " Do not rotate the platen knob while printer is switched ON.";
    const std::string dash6 = std::string("Caution ") + char(0x96) +
                              " Do not connect the parallel port cable while the printer is "
                              "switched ON.";
    EXPECT_EQ(tip5, dash5);
    EXPECT_EQ(tip6, dash6);
    EXPECT_EQ(static_cast<unsigned char>(tip5[8]), 0x96);
    EXPECT_EQ(tip5.size(), 69u);
}

TEST(TipTable, EveryOtherTipIsPlainAscii) {
    for (int i = 0; i < kTipCount; ++i) {
        if (i == 5 || i == 6) continue;
        for (const char* p = kTips[i]; *p; ++p)
            EXPECT_LT(static_cast<unsigned char>(*p), 0x80) << "tip " << i;
    }
}

TEST_F(TipRotation, InitialisationShowsTipZeroThenShowsCycleAndWrap) {
    std::vector<const char*> shown;
    shown.push_back(NextTip());  // initialisation
    for (int show = 0; show < 12; ++show) shown.push_back(NextTipForShow());

    ASSERT_EQ(shown.size(), 13u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(shown[i], kTips[i]) << "show " << i;
    // The eleventh show command wraps to the first tip again.
    EXPECT_EQ(shown[11], kTips[0]);
    EXPECT_EQ(shown[12], kTips[1]);
    EXPECT_EQ(nTipIndex, 2);
}

TEST_F(TipRotation, ShowCommandWrapsAnIndexPastTheTable) {
    nTipIndex = 11;
    EXPECT_EQ(NextTipForShow(), kTips[0]);
    EXPECT_EQ(nTipIndex, 1);
    nTipIndex = 40;
    EXPECT_EQ(NextTipForShow(), kTips[0]);
}

TEST_F(TipRotation, IndexOutsideTheTableNeverReadsPastIt) {
    nTipIndex = -3;
    EXPECT_EQ(NextTip(), kTips[0]);
    nTipIndex = 11;
    EXPECT_EQ(NextTip(), kTips[0]);
}

}  // namespace
