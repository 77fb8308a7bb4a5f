#include <gtest/gtest.h>

#include "core/picture_rules.hpp"

using core::PictureFormat;

TEST(PictureRules, TheTypedExtensionDecidesElseTheChosenType) {
    struct Case { const char* typed; unsigned filter; const char* path; PictureFormat format; } cases[] = {
        {"C:\\a\\art", 1, "C:\\a\\art.png", PictureFormat::Png},
        {"C:\\a\\art", 2, "C:\\a\\art.svg", PictureFormat::Svg},
        {"C:\\a\\art.SVG", 1, "C:\\a\\art.SVG", PictureFormat::Svg},
        {"C:\\a\\art.png", 2, "C:\\a\\art.png", PictureFormat::Png},
        {"C:\\a\\art.txt", 2, "C:\\a\\art.txt", PictureFormat::Svg},
        {"C:\\a.b\\art", 1, "C:\\a.b\\art.png", PictureFormat::Png},  // a dot in a folder is no extension
        {"art", 0, "art.png", PictureFormat::Png},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto target = core::ChoosePictureTarget(c.typed, c.filter);
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.format, c.format);
    }
    EXPECT_EQ(core::DefaultPictureName("C:\\x\\art.nfo"), "art.png");
    EXPECT_EQ(core::DefaultPictureName("C:\\x\\readme"), "readme.png");
}

TEST(PictureRules, SizesAreCountedWithoutWrappingAndRefusedPastTheLimit) {
    const core::CellSize cell{8, 16};
    const auto small = core::ScaledPictureExtent(cell, 80, 2000, 3);
    EXPECT_EQ(small.width, 1920);
    EXPECT_EQ(small.height, 96000);
    EXPECT_FALSE(core::PictureSizeRefusal(small));
    EXPECT_FALSE(core::PictureSizeRefusal(core::ScaledPictureExtent(cell, 1, 62500, 1)));  // exactly 1,000,000
    const auto tall = core::ScaledPictureExtent(cell, 80, 62501, 1);
    ASSERT_TRUE(core::PictureSizeRefusal(tall));
    EXPECT_EQ(*core::PictureSizeRefusal(tall),
              "Sorry, cannot save a picture larger than 1,000,000 pixels on a side: this one would be 640 x 1,000,016 "
              "pixels.");
    const auto huge = core::ScaledPictureExtent(cell, std::size_t(-1), 1LL << 40, 3);
    EXPECT_GT(huge.width, core::kPictureMaxSide);
    EXPECT_GT(huge.height, core::kPictureMaxSide);
    EXPECT_TRUE(core::ScaledPictureExtent(cell, 10, 0, 1).empty());

    EXPECT_FALSE(core::ClipboardPictureRefusal({2000, 4000}));
    ASSERT_TRUE(core::ClipboardPictureRefusal({2000, 4001}));
    EXPECT_NE(core::ClipboardPictureRefusal({2000, 4001})->find("8,000,000 pixels"), std::string::npos);
}

TEST(PictureRules, StripsStayWithinTheBudgetAndHoldAtLeastALine) {
    EXPECT_EQ(core::StripLines(640, 16, 4 << 20, 2000), 102);  // 4 MiB / (640 * 16 * 4)
    EXPECT_EQ(core::StripLines(640, 16, 4 << 20, 50), 50);
    EXPECT_EQ(core::StripLines(1'000'000, 16, 4 << 20, 50), 1);
    EXPECT_EQ(core::StripLines(640, 16, 4 << 20, 0), 1);
}

TEST(PictureRules, InkCoverageUnmixesTheTextColourFromTheBackground) {
    const std::uint32_t ink = 0x00FFFF, paper = 0x800000;  // yellow on navy
    EXPECT_EQ(core::InkCoverage(ink, ink, paper), 255);
    EXPECT_EQ(core::InkCoverage(paper, ink, paper), 0);
    EXPECT_NEAR(core::InkCoverage(0x408080, ink, paper), 128, 1);  // halfway on every channel
    EXPECT_EQ(core::InkCoverage(0x000000, 0x000000, 0xFFFFFF), 255);  // dark text on light: read downward
    EXPECT_EQ(core::InkCoverage(0x123456, 0x777777, 0x777777), 0);
}
