#include "TestPictures.h"
#include "app/JpegImage.h"

#include <gtest/gtest.h>

using namespace qvr;
using namespace qvr::test;

TEST(JpegImage, PicksTheSmallestScaleThatCoversTheWindow)
{
    struct Case {
        QSize picture;
        QSize cover;
        int eighths;
    };
    const Case cases[] = {
        {{3840, 2160}, {1034, 616}, 3},   // 1440 x 810
        {{3840, 2160}, {1696, 1010}, 4},  // 1920 x 1080
        {{3840, 2160}, {1920, 1080}, 4},  // exactly
        {{3840, 2160}, {1921, 1080}, 5}, {{3840, 2160}, {3840, 2160}, 8},
        {{3840, 2160}, {5000, 3000}, 8},                         // never larger than the picture
        {{1366, 768}, {1034, 616}, 7},                           // 6/8 would give 1025 pixels
        {{1920, 1234}, {1034, 640}, 5},  {{1920, 1080}, {}, 8},  // no window size known: full size
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JpegScaleFor(c.picture, c.cover), c.eighths)
            << c.picture.width() << "x" << c.picture.height() << " for " << c.cover.width() << "x"
            << c.cover.height();
    }
}

TEST(JpegImage, DecodesReducedWithItsColours)
{
    const QColor colour(200, 40, 90);
    const QByteArray jpeg = SolidJpeg({800, 400}, colour);
    ASSERT_EQ(JpegPictureSize(jpeg), QSize(800, 400));

    const std::optional<QImage> reduced = DecodeJpeg(jpeg, {300, 150});
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->size(), QSize(300, 150));
    EXPECT_TRUE(CloseColours(CentreColour(*reduced), colour))
        << CentreColour(*reduced).name().toStdString();
    EXPECT_EQ(CentreColour(*reduced).alpha(), 255);

    const std::optional<QImage> full = DecodeJpeg(jpeg);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), QSize(800, 400));
}

TEST(JpegImage, DamagedDataIsRefusedWithoutHarm)
{
    const QByteArray jpeg = SolidJpeg({640, 480}, QColor(10, 120, 30));
    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("this is no picture at all"),
        QByteArray("\xFF\xD8", 2),  // the start marker alone
        jpeg.left(40),              // cut inside the header
        QByteArray(4096, '\xFF'),
    };
    for (const QByteArray& data : damaged) {
        EXPECT_FALSE(JpegPictureSize(data)) << data.size();
        EXPECT_FALSE(DecodeJpeg(data, {100, 100})) << data.size();
    }
}

TEST(JpegImage, ACutOffPictureStillDecodesToItsSize)
{
    const QByteArray jpeg = SolidJpeg({640, 480}, QColor(10, 120, 30));
    const std::optional<QImage> image = DecodeJpeg(jpeg.left(jpeg.size() / 2));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(640, 480));
}
