#pragma once

#include <QColor>
#include <QList>
#include <QObject>

class GlowButton;
class QWidget;

// The bar's row of tool buttons along its bottom edge, drawn in the font colour. They show while
// the pointer is over the bar and hide when it leaves; the minimize button exists only for the
// docked bar.
class ToolButtonRow : public QObject {
    Q_OBJECT

public:
    static constexpr int buttonSize = 20;
    static constexpr int bottomMargin = 4;

    explicit ToolButtonRow(QWidget &window, QObject *parent = nullptr);

    GlowButton *searchButton() const { return m_search; }
    GlowButton *minimizeButton() const { return m_minimize; }
    GlowButton *starredButton() const { return m_starred; }
    GlowButton *markedButton() const { return m_marked; }
    GlowButton *addButton() const { return m_add; }
    GlowButton *preferencesButton() const { return m_preferences; }
    GlowButton *autoHideButton() const { return m_autoHide; }

    // The buttons in row order for a location (0 left, 1 right, 2 free).
    QList<GlowButton *> row(int location) const;

    // Tints every image with `color`.
    void tint(const QColor &color);
    // Spreads the row across the window and shows or hides it.
    void layout(int location, bool shown);

private:
    GlowButton *makeButton(const QString &name, bool toggles);

    QWidget &m_window;
    GlowButton *m_search;
    GlowButton *m_minimize;
    GlowButton *m_starred;
    GlowButton *m_marked;
    GlowButton *m_add;
    GlowButton *m_preferences;
    GlowButton *m_autoHide;
};
