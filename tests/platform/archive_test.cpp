#include "capturedwarnings.h"

#include "platform/archive.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QImage sampleImage()
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 50, y * 80, 200, 255 - x * 10));
    return image;
}

TEST(ArchiveTest, ColoursRoundTripInCalibratedComponents)
{
    const QColor orange = QColor::fromRgbF(1.0f, 0.8f, 0.4f, 1.0f);
    const QByteArray blob = Archive::archiveColor(orange);
    EXPECT_EQ(blob.size(), 21);
    EXPECT_TRUE(blob.startsWith("VCLR"));
    const QColor back = Archive::unarchiveColor(blob);
    EXPECT_FLOAT_EQ(back.redF(), 1.0f);
    EXPECT_FLOAT_EQ(back.greenF(), 0.8f);
    EXPECT_FLOAT_EQ(back.blueF(), 0.4f);
    EXPECT_FLOAT_EQ(back.alphaF(), 1.0f);

    const QColor translucentHsv = QColor::fromHsv(200, 100, 50, 128);
    EXPECT_EQ(Archive::unarchiveColor(Archive::archiveColor(translucentHsv)).rgba(), translucentHsv.rgba());
    EXPECT_TRUE(Archive::archiveColor(QColor()).isEmpty());
}

TEST(ArchiveTest, ImagesRoundTripAsPng)
{
    const QByteArray blob = Archive::archiveImage(sampleImage());
    EXPECT_TRUE(blob.startsWith("\x89PNG"));
    const QImage back = Archive::unarchiveImage(blob);
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), sampleImage());
    EXPECT_TRUE(Archive::archiveImage(QImage()).isEmpty());
}

TEST(ArchiveTest, UnarchiveGivesAColourOrAnImage)
{
    EXPECT_EQ(Archive::unarchive(Archive::archiveColor(Qt::red)).typeId(), QMetaType::QColor);
    EXPECT_EQ(Archive::unarchive(Archive::archive(sampleImage())).typeId(), QMetaType::QImage);
    EXPECT_EQ(Archive::unarchiveIfBlob(QVariant(42)), QVariant(42));
    EXPECT_EQ(Archive::unarchiveIfBlob(Archive::archive(QColor(Qt::blue))), QVariant(QColor(Qt::blue)));
    EXPECT_TRUE(Archive::archive(QVariant(42)).isEmpty());
}

TEST(ArchiveTest, DamagedBlobsGiveNoValue)
{
    CapturedWarnings decoderComplaints;
    QByteArray nanColour = Archive::archiveColor(Qt::red);
    nanColour.replace(5, 4, QByteArray("\x7f\xc0\x00\x00", 4));
    QByteArray outOfRange = Archive::archiveColor(Qt::red);
    outOfRange.replace(5, 4, QByteArray("\x40\x00\x00\x00", 4)); // 2.0
    QByteArray futureVersion = Archive::archiveColor(Qt::red);
    futureVersion[4] = 2;
    const QByteArray png = Archive::archiveImage(sampleImage());

    const QList<QByteArray> junk{
        QByteArray(),
        QByteArray("VCLR"),
        Archive::archiveColor(Qt::red).chopped(1),
        Archive::archiveColor(Qt::red) + "x",
        nanColour,
        outOfRange,
        futureVersion,
        png.left(8),
        png.left(png.size() / 2),
        QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, '\xff'),
        QByteArray("plain text"),
    };
    for (const QByteArray &blob : junk)
        EXPECT_FALSE(Archive::unarchive(blob).isValid()) << blob.toHex().toStdString();
}

TEST(ArchiveTest, RandomDamageNeverCrashes)
{
    CapturedWarnings decoderComplaints;
    QRandomGenerator random(20261206);
    const QByteArray png = Archive::archiveImage(sampleImage());
    for (int round = 0; round < 300; ++round) {
        QByteArray blob = round % 2 ? png : Archive::archiveColor(Qt::green);
        blob[random.bounded(int(blob.size()))] = char(random.bounded(256));
        blob.truncate(random.bounded(int(blob.size())) + 1);
        const QVariant value = Archive::unarchive(blob);
        EXPECT_TRUE(!value.isValid() || value.typeId() == QMetaType::QColor ||
                    value.typeId() == QMetaType::QImage);
    }
}

} // namespace
