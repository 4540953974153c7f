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

BitrateInput custom(BitrateInput in) {
    in.useCDs = false;
    in.useCustom = true;
    return in;
}

TEST(BitrateMode, WorkedValues) {
    EXPECT_EQ(CalculateBitrateOutputs(defaults(), BitrateMode::Bitrate).targetBitrate, "959");
    EXPECT_EQ(CalculateBitrateOutputs(custom(defaults()), BitrateMode::Bitrate).targetBitrate,
              "882");
    BitrateInput twoCDs = defaults();
    twoCDs.cdCount = 2;
    EXPECT_EQ(CalculateBitrateOutputs(twoCDs, BitrateMode::Bitrate).targetBitrate, "2047");
    twoCDs.videoLength = 120;
    twoCDs.audioBitrateEntry = QStringLiteral("192");
    twoCDs.audioCountPosition = 2;
    EXPECT_EQ(CalculateBitrateOutputs(twoCDs, BitrateMode::Bitrate).targetBitrate, "1247");
}

TEST(BitrateMode, OnlyTheBitrateChangesAndErrorsStayInItsBox) {
    const BitrateOutput ok = CalculateBitrateOutputs(defaults(), BitrateMode::Bitrate);
    EXPECT_FALSE(ok.diskspace.has_value());
    EXPECT_FALSE(ok.neededCDs.has_value());

    for (const auto change :
         {+[](BitrateInput& in) { in.cdCount = 0; }, +[](BitrateInput& in) { in.videoLength = 0; },
          +[](BitrateInput& in) { in.videoLength = -2; },
          +[](BitrateInput& in) { in.useCDs = false; },
          +[](BitrateInput& in) {
              // 1009.739... - 1280 is negative
              in.cdSizeEntry = QStringLiteral("650");
              in.audioBitrateEntry = QStringLiteral("320");
              in.audioCountPosition = 4;
          }}) {
        BitrateInput in = defaults();
        change(in);
        const BitrateOutput out = CalculateBitrateOutputs(in, BitrateMode::Bitrate);
        EXPECT_EQ(out.targetBitrate, "ERROR");
        EXPECT_FALSE(out.diskspace.has_value());
        EXPECT_FALSE(out.neededCDs.has_value());
    }
    BitrateInput in = custom(defaults());
    in.customSpace = 0;
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::Bitrate).targetBitrate, "ERROR");
}

TEST(FileSizeMode, WorkedValues) {
    const BitrateOutput out = CalculateBitrateOutputs(defaults(), BitrateMode::FileSize);
    EXPECT_EQ(out.diskspace, "642");
    EXPECT_EQ(out.neededCDs, QStringLiteral("1 CD à 650 MB"));
    EXPECT_FALSE(out.targetBitrate.has_value());

    BitrateInput in = defaults();
    in.videoBitrate = 4000;
    const BitrateOutput big = CalculateBitrateOutputs(in, BitrateMode::FileSize);
    EXPECT_EQ(big.diskspace, "2657");
    EXPECT_EQ(big.neededCDs, QStringLiteral("4 CDs à 700 MB"));
}

TEST(FileSizeMode, ZeroAndNegativeBitrates) {
    BitrateInput in = defaults();
    in.videoBitrate = 0;
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).diskspace, "82"); // audio alone
    in.videoBitrate = -1000;
    const BitrateOutput negative = CalculateBitrateOutputs(in, BitrateMode::FileSize);
    EXPECT_EQ(negative.diskspace, "-561");
    EXPECT_EQ(negative.neededCDs, QStringLiteral("1 CD à 650 MB"));
}

TEST(FileSizeMode, ShortLengthLeavesTheBitrateBox) {
    BitrateInput in = defaults();
    in.videoLength = 0;
    const BitrateOutput out = CalculateBitrateOutputs(in, BitrateMode::FileSize);
    EXPECT_EQ(out.diskspace, "ERROR");
    EXPECT_EQ(out.neededCDs, QString());
    EXPECT_FALSE(out.targetBitrate.has_value());
}

TEST(BothModes, SecondsBeyond32BitsShowTheErrorDisplay) {
    for (const BitrateMode mode : {BitrateMode::Bitrate, BitrateMode::FileSize}) {
        BitrateInput in = defaults();
        in.videoLength = 35791395;
        const BitrateOutput out = CalculateBitrateOutputs(in, mode);
        EXPECT_EQ(out.targetBitrate, "ERROR");
        EXPECT_EQ(out.diskspace, "ERROR");
        EXPECT_EQ(out.neededCDs, QString());

        in.videoLength = 35791394;
        const BitrateOutput fits = CalculateBitrateOutputs(in, mode);
        EXPECT_NE(fits.diskspace.value_or("") + fits.targetBitrate.value_or(""), "ERRORERROR");
    }
    // A large result is still written in plain digits.
    BitrateInput in = defaults();
    in.videoLength = 35791394;
    in.videoBitrate = 2147483647;
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).diskspace, "549755844352000");
}

TEST(BothModes, UnreadableListEntriesShowTheErrorDisplay) {
    BitrateInput in = defaults();
    in.audioBitrateEntry.clear();
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::FileSize).targetBitrate, "ERROR");
    in = defaults();
    in.cdSizeEntry = QStringLiteral("abc");
    EXPECT_EQ(CalculateBitrateOutputs(in, BitrateMode::Bitrate).diskspace, "ERROR");
    EXPECT_FALSE(CalculateBitrateOutputs(defaults(), BitrateMode::None).targetBitrate);
}

TEST(FileSizeMode, ExactHalvesRoundToEven) {
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
    EXPECT_EQ(SuggestSplitting(GetParam().size), QString::fromUtf16(GetParam().expected))
        << GetParam().size;
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
