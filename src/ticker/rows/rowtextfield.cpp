#include "ticker/rows/rowtextfield.h"

#include "ui/animation/animationtiming.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPropertyAnimation>

#include <algorithm>
#include <cmath>

RowTextField::RowTextField(Wrapping wrapping, QWidget *parent) : QWidget(parent), m_wrapping(wrapping)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QTextOption option;
    option.setWrapMode(wrapping == Wrapping::Words ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                   : QTextOption::NoWrap);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);
}

void RowTextField::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidateLayout();
}

void RowTextField::setTextColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void RowTextField::setAlphaValue(qreal alpha)
{
    if (m_fade)
        m_fade->stop();
    applyAlphaValue(alpha);
}

void RowTextField::applyAlphaValue(qreal alpha)
{
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (alpha == m_alpha)
        return;
    m_alpha = alpha;
    update();
}

void RowTextField::animateAlphaValue(qreal alpha)
{
    if (m_fade)
        m_fade->stop();
    auto *fade = new QPropertyAnimation(this, "alphaValue", this);
    fade->setDuration(AnimationTiming::defaultDurationMs);
    fade->setStartValue(m_alpha);
    fade->setEndValue(std::clamp(alpha, 0.0, 1.0));
    m_fade = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

QStringList RowTextField::visibleLines()
{
    ensureLayout();
    QStringList lines;
    for (int i = 0; i < m_lineCount; ++i) {
        const QTextLine line = m_layout.lineAt(i);
        if (i == m_lineCount - 1 && !m_cutLine.isEmpty())
            lines.append(m_cutLine);
        else
            lines.append(m_text.mid(line.textStart(), line.textLength()).trimmed());
    }
    return lines;
}

void RowTextField::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty() || m_alpha <= 0.0)
        return;
    ensureLayout();
    QPainter painter(this);
    painter.setOpacity(m_alpha);
    painter.setPen(m_color);
    painter.setFont(font());
    const QPointF origin(textInset, 0);
    const int whole = m_cutLine.isEmpty() ? m_lineCount : m_lineCount - 1;
    for (int i = 0; i < whole; ++i)
        m_layout.lineAt(i).draw(&painter, origin);
    if (!m_cutLine.isEmpty()) {
        const QTextLine last = m_layout.lineAt(m_lineCount - 1);
        painter.drawText(origin + QPointF(0, last.y() + last.ascent()), m_cutLine);
    }
}

void RowTextField::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidateLayout();
}

void RowTextField::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        invalidateLayout();
}

void RowTextField::invalidateLayout()
{
    m_laidOut = false;
    update();
}

// Lines are made while they fit in the height (the first always); when text is left over, the
// last line shown becomes the rest of the text cut to the width.
void RowTextField::ensureLayout()
{
    if (m_laidOut)
        return;
    m_laidOut = true;
    m_cutLine.clear();
    m_layout.setText(m_text);
    m_layout.setFont(font());
    const qreal width = std::max(0, this->width() - 2 * textInset);
    const QFontMetricsF metrics(font());
    const int maxLines = std::max(1, int(std::floor(height() / metrics.lineSpacing())));
    m_layout.beginLayout();
    qreal y = 0;
    m_lineCount = 0;
    while (m_lineCount < maxLines) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += metrics.lineSpacing();
        ++m_lineCount;
    }
    m_layout.endLayout();
    if (m_lineCount == 0)
        return;
    const QTextLine last = m_layout.lineAt(m_lineCount - 1);
    const int end = last.textStart() + last.textLength();
    if (end >= m_text.size() && last.naturalTextWidth() <= width)
        return;
    QString rest = m_text.mid(last.textStart());
    rest.replace(QChar::LineSeparator, QLatin1Char(' '));
    m_cutLine = metrics.elidedText(rest, Qt::ElideRight, width);
}
