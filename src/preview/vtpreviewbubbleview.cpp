#include "preview/vtpreviewbubbleview.h"

#include "ui/drawing/bottomupgeometry.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

constexpr qreal cornerRadius = 10;
constexpr qreal rimWidth = 5;
constexpr qreal shadowBlurRadius = 4;
constexpr qreal shadowAlpha = 0.5;
// A quarter circle as one cubic Bézier: the handles' length in radii.
constexpr qreal quarterCircleHandle = 0.5522847498;

// One pass of a box blur over an alpha channel, along rows (step 1) or columns (step = width).
void boxBlurPass(std::vector<int> &alpha, int lines, int length, int lineStep, int step, int radius)
{
    std::vector<int> line(size_t(length), 0);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        const int base = l * lineStep;
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = alpha[size_t(base + i * step)];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += (i >= 0 && i < length) ? line[size_t(i)] : 0;
        for (int i = 0; i < length; ++i) {
            alpha[size_t(base + i * step)] = sum / window;
            const int leaving = i - radius;
            const int entering = i + radius + 1;
            sum -= leaving >= 0 ? line[size_t(leaving)] : 0;
            sum += entering < length ? line[size_t(entering)] : 0;
        }
    }
}

// Three box blurs come close to the Gaussian a shadow's blur radius describes.
QImage blurredAlpha(const QImage &shape, int radius)
{
    const int width = shape.width();
    const int height = shape.height();
    std::vector<int> alpha(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        for (int x = 0; x < width; ++x)
            alpha[size_t(y * width + x)] = qAlpha(row[x]);
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(alpha, height, width, width, 1, radius);
        boxBlurPass(alpha, width, height, 1, width, radius);
    }
    QImage shadow(shape.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(shadow.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgba(0, 0, 0, int(alpha[size_t(y * width + x)] * shadowAlpha));
    }
    shadow.setDevicePixelRatio(shape.devicePixelRatio());
    return shadow;
}

} // namespace

// A path written in the view's bottom-up coordinates, stored top-down for painting.
class VTPreviewBubbleView::Outline {
public:
    explicit Outline(const QSizeF &size) : m_size(size), m_geometry(size.height()) {}

    const QSizeF &size() const { return m_size; }
    QPainterPath path() const { return m_path; }

    void moveTo(qreal x, qreal y) { m_path.moveTo(at(x, y)); }
    void lineTo(qreal x, qreal y) { m_path.lineTo(at(x, y)); }
    // A rounded right-angled corner: along the line towards `corner`, then round it towards
    // `toward` (the way a path's arc from a point to a point with a radius goes).
    void cornerArc(QPointF corner, QPointF toward, qreal radius)
    {
        const QPointF from = m_geometry.point(m_path.currentPosition());
        const QPointF in = unit(corner - from);
        const QPointF out = unit(toward - corner);
        const QPointF start = corner - in * radius;
        const QPointF end = corner + out * radius;
        const qreal handle = radius * quarterCircleHandle;
        m_path.lineTo(at(start));
        m_path.cubicTo(at(start + in * handle), at(end - out * handle), at(end));
    }
    void close() { m_path.closeSubpath(); }

private:
    QPointF at(qreal x, qreal y) const { return m_geometry.point(QPointF(x, y)); }
    QPointF at(const QPointF &p) const { return m_geometry.point(p); }
    static QPointF unit(const QPointF &v)
    {
        const qreal length = std::hypot(v.x(), v.y());
        return length > 0 ? v / length : QPointF();
    }

    QSizeF m_size;
    BottomUpGeometry m_geometry;
    QPainterPath m_path;
};

VTPreviewBubbleView::VTPreviewBubbleView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("previewBubbleView"));
}

void VTPreviewBubbleView::setArrowLocation(const QPointF &location)
{
    m_arrowLocation = location;
    update();
}

void VTPreviewBubbleView::setShowOnLeft(bool showOnLeft)
{
    m_showOnLeft = showOnLeft;
    update();
}

QPainterPath VTPreviewBubbleView::bubblePath(const QSizeF &size, qreal arrowY, bool showOnLeft)
{
    Outline outline(size);
    const qreal l = showOnLeft ? 10 : 0;
    const qreal r = showOnLeft ? 0 : 10;
    const qreal top = size.height();
    const qreal right = size.width();

    outline.moveTo(l + 4, top - 20);
    outline.cornerArc({l + 4, top - 4}, {l + 14, top - 4}, cornerRadius);
    outline.cornerArc({right - 4 - r, top - 4}, {right - 4 - r, top - 14}, cornerRadius);
    if (!showOnLeft)
        _addArrow(outline, arrowY, showOnLeft);
    outline.cornerArc({right - 4 - r, 4}, {right - 14 - r, 4}, cornerRadius);
    outline.cornerArc({l + 4, 4}, {l + 4, 14}, cornerRadius);
    if (showOnLeft)
        _addArrow(outline, arrowY, showOnLeft);
    outline.close();
    QPainterPath path = outline.path();
    // The arrow meets the side in a seam: winding keeps it filled.
    path.setFillRule(Qt::WindingFill);
    return path;
}

void VTPreviewBubbleView::_addArrow(Outline &outline, qreal arrowY, bool showOnLeft)
{
    const qreal y = arrowY;
    if (y <= 10 || y >= outline.size().height() - 20)
        return;
    if (showOnLeft) {
        outline.lineTo(14, y - 10);
        outline.lineTo(4, y);
        outline.lineTo(14, y + 10);
    } else {
        const qreal right = outline.size().width();
        outline.lineTo(right - 14, y + 10);
        outline.lineTo(right - 4, y);
        outline.lineTo(right - 14, y - 10);
    }
}

const QImage &VTPreviewBubbleView::shadowFor(const QPainterPath &outline)
{
    const qreal ratio = devicePixelRatioF();
    if (outline == m_shadowOutline && m_shadow.size() == size() * ratio)
        return m_shadow;
    QImage shape(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    shape.setDevicePixelRatio(ratio);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(outline, QPen(Qt::black, rimWidth));
    }
    // A blur radius r spreads a shadow about r/2 each way, which two box pixels per pass match.
    m_shadow = blurredAlpha(shape, int(std::lround(shadowBlurRadius / 2 * ratio)));
    m_shadowOutline = outline;
    return m_shadow;
}

void VTPreviewBubbleView::paintEvent(QPaintEvent *event)
{
    const QPainterPath outline = bubblePath(size(), m_arrowLocation.y(), m_showOnLeft);
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::Antialiasing);

    painter.drawImage(QPointF(0, 0), shadowFor(outline));
    painter.strokePath(outline, QPen(Qt::white, rimWidth));

    // From the top edge down: light at the top, a little darker at the bottom.
    const QRectF bounds = outline.boundingRect();
    QLinearGradient body(bounds.topLeft(), bounds.bottomLeft());
    body.setColorAt(0, QColor::fromRgbF(0.99f, 0.99f, 0.99f));
    body.setColorAt(1, QColor::fromRgbF(0.9f, 0.9f, 0.9f));
    painter.fillPath(outline, body);
}
