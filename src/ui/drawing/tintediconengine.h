#pragma once

#include <QColor>
#include <QHash>
#include <QIconEngine>
#include <QPixmap>
#include <QString>

// Draws a built-in image tinted with a colour at exactly the pixel size asked for, instead of
// scaling one bitmap; the On state may show an alternate image. Pixmaps are kept per size and
// state, as buttons ask for the same ones at every paint.
class TintedIconEngine final : public QIconEngine {
public:
    TintedIconEngine(const QString &name, const QString &alternateName, const QColor &color);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    QString imageName(QIcon::State state) const;
    QPixmap render(const QSize &pixelSize, qreal devicePixelRatio, QIcon::State state);

    QString m_name;
    QString m_alternateName;
    QColor m_color;
    QHash<QString, QPixmap> m_cache;
};
