#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QTextLayout>
#include <QWidget>

class QPropertyAnimation;

// One of a row's two texts, drawn in one colour at an alpha (0 to 1) and clipped to the field;
// the last line that fits is cut at its end with an ellipsis when the text goes on. The title
// wraps at words; the source line is one line. Clicks go to the row.
//
// The field keeps one text layout for its whole life and lays it out again only when the text,
// the font or the size changes, and then only once it is painted.
class RowTextField : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal alphaValue READ alphaValue WRITE applyAlphaValue)

public:
    enum class Wrapping { Words, SingleLine };

    // How far the text sits inside the field on either side.
    static constexpr int textInset = 2;

    explicit RowTextField(Wrapping wrapping, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    QColor textColor() const { return m_color; }
    void setTextColor(const QColor &color);

    qreal alphaValue() const { return m_alpha; }
    // Sets the alpha at once, ending a running fade.
    void setAlphaValue(qreal alpha);
    // Fades to `alpha` over the animator's default duration, replacing a running fade.
    void animateAlphaValue(qreal alpha);

    // The lines as drawn, the last one with its ellipsis if it was cut.
    QStringList visibleLines();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyAlphaValue(qreal alpha);
    void invalidateLayout();
    void ensureLayout();

    Wrapping m_wrapping;
    QString m_text;
    QColor m_color = Qt::white;
    qreal m_alpha = 1.0;
    QPointer<QPropertyAnimation> m_fade;

    QTextLayout m_layout;
    bool m_laidOut = false;
    int m_lineCount = 0; // lines of m_layout shown
    QString m_cutLine;   // the last shown line with its ellipsis; empty when the text fits
};
