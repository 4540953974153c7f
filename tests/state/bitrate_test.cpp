// The window tests go through the worked values and the failures the user can reach; these
// cover the boundaries of the arithmetic itself.
#include "bitrate.h"

#include <gtest/gtest.h>

namespace {

// The calculator's defaults: 90 minutes, 1 CD of 700 MB, custom 650 MB, one 128 kbit/s stream.
BitrateInput defaults() {
    BitrateInput in;
    in.videoLength = 90;
    in.cdCount = 1;
    in.customSpace = 650;
    in.videoBitrate = 870;
    in.audioBitrateEntry = QStringLiteral("128");
    in.audioCountPosition = 1;
    in.cdSizeEntry = QStringLiteral("700");
    return in;
}

TEST(Bitrate, SecondsBeyond32BitsShowTheErrorDisplayInBothModes) {
    for (const BitrateMode mode : {BitrateMode::Bitrate, BitrateMode::FileSize}) {
        BitrateInput in = defaults();
        in.videoLength = 35791395;
        const BitrateOutput out = CalculateBitrateOutputs(in, mode);
        EXPECT_EQ(out.targetBitrate, "ERROR");
        EXPECT_EQ(out.diskspace, "ERROR");
        EXPECT_EQ(out.neededCDs, QString());
    }
    // One minute less still works, and its large size is written in plain digits.
    BitrateInput in = defaults();
    in.videoLength = 35791394;
    in.videoBitrate = 2147483647;
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).diskspace, "549755844352000");
}

TEST(Bitrate, UnreadableListEntriesShowTheErrorDisplay) {
    BitrateInput in = defaults();
    in.audioBitrateEntry.clear();
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).targetBitrate, "ERROR");
    in = defaults();
    in.cdSizeEntry = QStringLiteral("abc");
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::Bitrate).diskspace, "ERROR");
    // Neither mode chosen: nothing changes.
    const BitrateOutput none = CalculateBitrateOutputs(defaults(), BitrateMode::None);
    EXPECT_FALSE(none.targetBitrate || none.diskspace || none.neededCDs);
    // Neither kind of target chosen: the target is 0.
    in = defaults();
    in.useCDs = false;
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::Bitrate).targetBitrate, "ERROR");
}

TEST(Bitrate, ExactHalvesRoundToEven) {
    BitrateInput in = defaults();
    in.audioCountPosition = 0;
    in.videoBitrate = 4096;
    in.videoLength = 32; // 937.5 MB
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).diskspace, "938");
    in.videoLength = 96; // 2812.5 MB
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).diskspace, "2812");
}

struct SplitCase {
    double size;
    const char16_t* expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.size << " MB";
}

class SuggestSplittingTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SuggestSplittingTest, Boundaries) {
    EXPECT_EQ(SuggestSplitting(GetParam().size), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SuggestSplittingTest,
    testing::Values(SplitCase{-5, u"1 CD à 650 MB"}, SplitCase{0, u"1 CD à 650 MB"},
                    SplitCase{650, u"1 CD à 650 MB"}, SplitCase{650.3, u"1 CD à 700 MB"},
                    SplitCase{700, u"1 CD à 700 MB"}, SplitCase{700.01, u"2 CDs à 650 MB"},
                    SplitCase{1300, u"2 CDs à 650 MB"}, SplitCase{1400, u"2 CDs à 700 MB"},
                    SplitCase{1950, u"3 CDs à 650 MB"}, SplitCase{2100, u"3 CDs à 700 MB"},
                    SplitCase{8450, u"13 CDs à 650 MB"}, SplitCase{8450.5, u"13 CDs à 700 MB"},
                    SplitCase{9100, u"13 CDs à 700 MB"}, SplitCase{9100.5, u"14 CDs à 700 MB"},
                    SplitCase{64351, u"92 CDs à 700 MB"}, SplitCase{69300, u"99 CDs à 700 MB"},
                    SplitCase{69300.01, u""}, SplitCase{1e12, u""}));

} // namespace
