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

TEST(ArchiveTest, coloursAndImagesRoundTrip)
{
    const QByteArray orange = Archive::archiveColor(QColor::fromRgbF(1.0f, 0.8f, 0.4f, 1.0f));
    EXPECT_EQ(orange.size(), 21);
    const QColor back = Archive::unarchiveColor(orange);
    EXPECT_FLOAT_EQ(back.greenF(), 0.8f);
    EXPECT_FLOAT_EQ(back.blueF(), 0.4f);
    const QColor translucentHsv = QColor::fromHsv(200, 100, 50, 128);
    EXPECT_EQ(Archive::unarchiveColor(Archive::archive(translucentHsv)).rgba(), translucentHsv.rgba());

    const QByteArray png = Archive::archive(sampleImage());
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(Archive::unarchiveImage(png).convertToFormat(QImage::Format_ARGB32), sampleImage());

    EXPECT_EQ(Archive::unarchive(orange).typeId(), QMetaType::QColor);
    EXPECT_EQ(Archive::unarchive(png).typeId(), QMetaType::QImage);
    EXPECT_EQ(Archive::unarchiveIfBlob(QVariant(42)), QVariant(42));
    EXPECT_TRUE(Archive::archive(QColor()).isEmpty());
    EXPECT_TRUE(Archive::archive(QImage()).isEmpty());
}

TEST(ArchiveTest, damagedBlobsGiveNoValue)
{
    CapturedWarnings decoderComplaints;
    const QByteArray red = Archive::archiveColor(Qt::red);
    const QByteArray png = Archive::archiveImage(sampleImage());
    const QList<QByteArray> junk{
        QByteArray(),
        red.chopped(1),
        red + "x",
        QByteArray(red).replace(5, 4, QByteArray("\x7f\xc0\x00\x00", 4)), // NaN
        QByteArray(red).replace(5, 4, QByteArray("\x40\x00\x00\x00", 4)), // 2.0
        QByteArray(red).replace(4, 1, "\x02"),                            // unknown version
        png.left(png.size() / 2),
        png.left(8) + QByteArray(64, '\xff'),
        QByteArray("plain text"),
    };
    for (const QByteArray &blob : junk)
        EXPECT_FALSE(Archive::unarchive(blob).isValid()) << blob.toHex().toStdString();

    QRandomGenerator random(20261206);
    for (int round = 0; round < 300; ++round) {
        QByteArray blob = round % 2 ? png : red;
        blob[random.bounded(int(blob.size()))] = char(random.bounded(256));
        blob.truncate(random.bounded(int(blob.size())) + 1);
        const int type = Archive::unarchive(blob).typeId();
        EXPECT_TRUE(type == QMetaType::UnknownType || type == QMetaType::QColor || type == QMetaType::QImage);
    }
}

} // namespace
