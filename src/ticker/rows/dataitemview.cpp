#include "ticker/rows/dataitemview.h"

#include "model/parse/feedstrings.h"
#include "model/source/datasource.h"
#include "model/source/notificationcenter.h"
#include "platform/settingskeys.h"
#include "preview/entrypreview.h"
#include "ticker/rows/dataitemviewaccessible.h"
#include "ticker/rows/droppedimage.h"
#include "ticker/rows/hoveredrow.h"
#include "ticker/rows/readstatewatcher.h"
#include "ticker/rows/rowbackground.h"
#include "ticker/rows/rowhoverbuttons.h"
#include "ticker/rows/rowsettings.h"
#include "ticker/rows/rowtextfield.h"
#include "ticker/rows/sourceline.h"
#include "ui/animation/animationtiming.h"
#include "ui/drawing/bottomupgeometry.h"
#include "ui/drawing/coloradditions.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The title as a row shows it: entities decoded, white space at the ends removed, and each line
// break inside kept as one.
QString displayTitle(const QString &title)
{
    QString text = FeedStrings::stringByDecodingHTMLEntities(title).trimmed();
    if (text.contains(u'\n') || text.contains(u'\r')) {
        text.replace(u"\r\n"_s, QString(QChar::LineSeparator));
        text.replace(u'\n', QChar::LineSeparator);
        text.replace(u'\r', QChar::LineSeparator);
    }
    return text;
}

} // namespace

DataItemView::DataItemView(const RowContext &context, QWidget *parent)
    : QWidget(parent), m_context(context),
      m_titleTextField(new RowTextField(RowTextField::Wrapping::Words, this)),
      m_sourceTextField(new RowTextField(RowTextField::Wrapping::SingleLine, this)),
      m_buttons(new RowHoverButtons(m_context, this))
{
    setObjectName(u"dataItemView"_s);
    setAcceptDrops(true);
    setMouseTracking(true);
    m_titleTextField->setObjectName(u"titleTextField"_s);
    m_sourceTextField->setObjectName(u"sourceTextField"_s);
    m_titleTextField->setFont(m_context.settings.titleFont());
    m_sourceTextField->setFont(m_context.settings.sourceFont());
    m_angle = m_context.settings.gradientAngle();
    connect(m_buttons, &RowHoverButtons::iconsChanged, this, &DataItemView::updateSourceTextWidth);
    m_buttons->place(size());
    _reorderTextFields();
    followSettings();
    observeNotifications();
    ReadStateWatcher::shared().watch(this);
    DataItemViewAccessible::install();
}

DataItemView::~DataItemView()
{
    ReadStateWatcher::shared().unwatch(this);
}

void DataItemView::followSettings()
{
    const RowSettings &settings = m_context.settings;
    connect(&settings, &RowSettings::fontColorChanged, this, &DataItemView::applyTextColors);
    connect(&settings, &RowSettings::markFontColorChanged, this, &DataItemView::_refresh);
    connect(&settings, &RowSettings::keywordsChanged, this, &DataItemView::_refresh);
    connect(&settings, &RowSettings::markBackgroundColorChanged, this, qOverload<>(&QWidget::update));
    connect(&settings, &RowSettings::backgroundColorChanged, this, qOverload<>(&QWidget::update));
    connect(&settings, &RowSettings::opacityChanged, this, [this] {
        if (!m_item || !m_item->mark())
            update();
    });
    connect(&settings, &RowSettings::windowLocationChanged, this, [this] {
        if (underMouse())
            trackPointer(mapFromGlobal(QCursor::pos()));
        update();
    });
    connect(&settings, &RowSettings::gradientAngleChanged, this,
            [this] { setAngle(m_context.settings.gradientAngle()); });
    connect(&settings, &RowSettings::displayImageChanged, this, [this] {
        _reorderTextFields();
        update();
    });
    connect(&settings, &RowSettings::iconGeometryChanged, this, [this] {
        if (!m_context.settings.displayImage())
            return;
        _reorderTextFields();
        update();
    });
    connect(&settings, &RowSettings::fontsChanged, this, &DataItemView::fontsDidChange);
}

// The model posts from whichever thread made the change; rows react on the main thread.
void DataItemView::observeNotifications()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    connect(
        &center, &NotificationCenter::datasourceConfigurationDidChangeNotification, this,
        [this](Datasource *source) {
            if (m_item && Datasource::of(*m_item).get() == source) {
                refresh();
                _refresh();
            }
        },
        Qt::QueuedConnection);
    connect(
        &center, &NotificationCenter::notificationStarChanged, this,
        [this](const DataItemPtr &item) {
            if (item == m_item)
                updateStar();
        },
        Qt::QueuedConnection);
    connect(
        &center, &NotificationCenter::starManagerItemsRemovedNotification, this, [this] { updateStar(); },
        Qt::QueuedConnection);
}

RowButton *DataItemView::starButton() const
{
    return m_buttons->starButton();
}

RowButton *DataItemView::shareButton() const
{
    return m_buttons->shareButton();
}

void DataItemView::setDataItem(const DataItemPtr &item)
{
    m_item = item;
    m_buttons->setDataItem(item);
    m_showsRead = item && item->read();
    setTextAlpha(m_showsRead ? readAlpha : 1.0, false);
    refresh();
    m_titleTextField->setText(item ? displayTitle(item->title()) : QString());
    updateStar();
    update();
    _refresh();
    DataItemViewAccessible::notifyChanged(this);
}

void DataItemView::setAngle(float angle)
{
    m_angle = angle;
    update();
}

void DataItemView::refresh()
{
    m_sourceTextField->setText(m_item ? SourceLine::text(*m_item, m_context.clock) : QString());
}

void DataItemView::followReadState()
{
    if (!m_item || m_item->read() == m_showsRead)
        return;
    m_showsRead = m_item->read();
    setTextAlpha(m_showsRead ? readAlpha : 1.0, true);
    DataItemViewAccessible::notifyChanged(this);
}

void DataItemView::setTextAlpha(qreal alpha, bool animated)
{
    for (RowTextField *field : {m_titleTextField, m_sourceTextField}) {
        if (animated)
            field->animateAlphaValue(alpha);
        else
            field->setAlphaValue(alpha);
    }
}

// Colours

// A feed's own colours only: without them the row takes the general settings as they are now.
void DataItemView::_refresh()
{
    const std::shared_ptr<Datasource> source = m_item ? Datasource::of(*m_item) : nullptr;
    m_hasSource = source != nullptr;
    m_backgroundColor =
        source ? source->getUserDefaultsForKey(SettingsKey::backgroundColor, true).value<QColor>() : QColor();
    m_customFontColor =
        source ? source->getUserDefaultsForKey(SettingsKey::fontColor, true).value<QColor>() : QColor();
    update();
    applyTextColors();
}

// The mark's font colour for a marked entry when there is one; else the feed's, else the
// general font colour.
QColor DataItemView::baseColor() const
{
    const QColor markFontColor = m_context.settings.markFontColor();
    if (m_item && m_item->mark() && markFontColor.isValid())
        return markFontColor;
    return m_customFontColor.isValid() ? m_customFontColor : m_context.settings.fontColor();
}

void DataItemView::applyTextColors()
{
    const QColor base = baseColor();
    m_titleTextField->setTextColor(base);
    m_sourceTextField->setTextColor(ColorAdditions::darkerWithLevel(base, 0.3));
    m_buttons->setIconColor(ColorAdditions::darkerWithLevel(base, 0.4));
}

void DataItemView::fontsDidChange()
{
    m_titleTextField->setFont(m_context.settings.titleFont());
    m_sourceTextField->setFont(m_context.settings.sourceFont());
    _reorderTextFields();
    update();
}

// Layout

int DataItemView::sourceTextHeight() const
{
    return int(std::ceil(QFontMetricsF(m_context.settings.sourceFont()).lineSpacing()));
}

QRect DataItemView::imageRect() const
{
    const int width = int(std::floor(imageWidth()));
    if (m_context.settings.smallImage())
        return {5, 7, width, sourceTextHeight()};
    return {4, 4, width, std::max(0, height() - 8)};
}

float DataItemView::imageWidth() const
{
    if (m_context.settings.smallImage())
        return float(sourceTextHeight());
    return m_context.settings.imageWidth();
}

int DataItemView::sourceTextX() const
{
    const RowSettings &settings = m_context.settings;
    if (!settings.displayImage())
        return 4;
    if (settings.smallImage())
        return 4 + sourceTextHeight() + 2;
    const QRect icon = imageRect();
    return 4 + icon.x() + icon.width();
}

void DataItemView::_reorderTextFields()
{
    const RowSettings &settings = m_context.settings;
    const int w = width();
    const int h = height();
    const int srcH = sourceTextHeight();
    const QRect icon = imageRect();
    const int t = settings.displayImage() && !settings.smallImage() ? icon.x() + icon.width() : 0;
    const int s = sourceTextX() - 4;
    const BottomUpGeometry geometry(h);
    if (m_sourceWidthAnimation)
        m_sourceWidthAnimation->stop();
    m_titleTextField->setGeometry(
        geometry.rect(4 + t, 7 + srcH, std::max(0, w - (8 + t)), std::max(0, h - (srcH + 14))));
    m_sourceTextField->setGeometry(geometry.rect(4 + s, 7, sourceTextWidth(), srcH));
}

// The end of the source line leaves room for the hover buttons shown.
int DataItemView::sourceTextWidth() const
{
    return std::max(0, width() - (sourceTextX() + 4) - m_buttons->spacing());
}

void DataItemView::updateSourceTextWidth()
{
    const int width = sourceTextWidth();
    QRect target = m_sourceTextField->geometry();
    if (target.width() == width)
        return;
    target.setWidth(width);
    if (m_sourceWidthAnimation)
        m_sourceWidthAnimation->stop();
    auto *animation = new QPropertyAnimation(m_sourceTextField, "geometry", this);
    animation->setDuration(AnimationTiming::defaultDurationMs);
    animation->setEndValue(target);
    m_sourceWidthAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void DataItemView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    _reorderTextFields();
    m_buttons->place(size());
}

// Hover

QRect DataItemView::trackingRect() const
{
    const BottomUpGeometry geometry(height());
    switch (m_context.settings.windowLocation()) {
    case 0:
        return geometry.rect(0, 0, width() - edgeStripWidth, height());
    case 1:
        return geometry.rect(edgeStripWidth, 0, width() - edgeStripWidth, height());
    default:
        return rect();
    }
}

void DataItemView::trackPointer(const QPoint &position)
{
    const bool inside = trackingRect().contains(position);
    if (inside != m_pointerInside) {
        m_pointerInside = inside;
        if (inside)
            mouseEntered();
        else
            setInactive();
    } else if (inside && !m_highLight) {
        mouseEntered();
    }
}

void DataItemView::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    trackPointer(event->position().toPoint());
}

void DataItemView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!m_pointerInside)
        return;
    m_pointerInside = false;
    setInactive();
}

void DataItemView::mouseMoveEvent(QMouseEvent *event)
{
    trackPointer(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

// While the bar's width is dragged the system cursor is hidden behind a blank override cursor;
// rows then keep still.
bool DataItemView::isCursorVisible() const
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return !cursor || cursor->shape() != Qt::BlankCursor;
}

void DataItemView::mouseEntered()
{
    if (!isCursorVisible())
        return;
    HoveredRow::enter(this);
    m_buttons->showForHover();
    m_highLight = true;
    update();
}

void DataItemView::setInactive()
{
    m_buttons->hideForHover();
    m_highLight = false;
    update();
}

// Clicks

bool DataItemView::isInInertStrip(const QPoint &position) const
{
    return position.x() > width() - inertStripWidth;
}

void DataItemView::mousePressEvent(QMouseEvent *event)
{
    if (isInInertStrip(event->position().toPoint()) || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    click(1);
}

void DataItemView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isInInertStrip(event->position().toPoint()) || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    click(2);
}

void DataItemView::mouseReleaseEvent(QMouseEvent *event)
{
    if (isInInertStrip(event->position().toPoint()))
        event->ignore();
}

// With the preview, a click opens it and a click on the row it shows closes it; the second
// press of a double click opens the browser. Without the preview a click opens the browser, once
// for a double click too.
void DataItemView::click(int clickCount)
{
    if (!m_item)
        return;
    EntryPreview &preview = m_context.preview;
    if (m_context.settings.enablePreview()) {
        if (preview.dataItem() == m_item)
            preview.close();
        else if (clickCount == 1)
            _openPreview();
        if (clickCount == 2) {
            preview.close();
            openInBrowser();
        }
    } else if (clickCount == 1) {
        openInBrowser();
    }
    mouseEntered();
}

void DataItemView::_openPreview()
{
    EntryPreview &preview = m_context.preview;
    if (preview.dataItem() == m_item)
        return;
    const QPoint arrow = arrowLocation();
    if (!isInsideClipView(arrow))
        return;
    preview.setArrowLocation(arrow, isArrowOnLeft());
    preview.setDataItem(m_item);
    m_item->setRead(true);
    followReadState();
}

void DataItemView::openInBrowser()
{
    if (m_context.openInBrowser)
        m_context.openInBrowser(*m_item);
    m_item->setRead(true);
    followReadState();
}

// A row scrolled out of the list's visible part opens nothing.
bool DataItemView::isInsideClipView(const QPoint &globalPoint) const
{
    const QWidget *clip = window();
    for (const QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(ancestor)) {
            clip = area->viewport();
            break;
        }
    }
    const int y = clip->mapFromGlobal(globalPoint).y();
    return y > 0 && y < clip->height();
}

QPoint DataItemView::arrowLocation() const
{
    const QPointF bottomUp(isArrowOnLeft() ? width() : 0, height() / 2.0);
    return mapToGlobal(BottomUpGeometry(height()).point(bottomUp).toPoint());
}

bool DataItemView::isArrowOnLeft() const
{
    if (m_context.settings.windowLocation() == 1)
        return false;
    const QWidget *bar = window();
    const QScreen *screen = bar->screen();
    if (!screen)
        return true;
    const QRectF visible = screen->availableGeometry();
    const QRectF frame = bar->frameGeometry();
    return visible.center().x() > frame.center().x();
}

// The context menu

void DataItemView::contextMenuEvent(QContextMenuEvent *event)
{
    if (isInInertStrip(event->pos())) {
        event->ignore();
        return;
    }
    auto *menu = new QMenu(u"Contextual Menu"_s, this);
    menu->setObjectName(u"contextMenu"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *reset = menu->addAction(u"Reset Icon"_s, this, &DataItemView::resetImage);
    reset->setObjectName(u"resetIconAction"_s);
    menu->popup(event->globalPos());
}

void DataItemView::resetImage()
{
    if (const std::shared_ptr<Datasource> source = m_item ? Datasource::of(*m_item) : nullptr)
        source->setImage(QImage());
    redisplayList();
    update();
}

void DataItemView::redisplayList()
{
    if (QWidget *list = parentWidget())
        list->update();
}

void DataItemView::updateStar()
{
    m_buttons->updateStar(m_highLight);
}

// Drawing

// A marked entry takes the mark's colour; another its feed's, else the general one. An entry
// whose feed is gone has none.
QColor DataItemView::rowColor() const
{
    const RowSettings &settings = m_context.settings;
    QColor color;
    if (m_item && m_item->mark())
        color = settings.markBackgroundColor();
    else if (m_hasSource)
        color = m_backgroundColor.isValid() ? m_backgroundColor : settings.backgroundColor();
    const double opacity = settings.opacity();
    if (color.isValid() && opacity != 1.0)
        color.setAlphaF(float(opacity));
    return color;
}

void DataItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const BottomUpGeometry geometry(height());
    QColor color = rowColor();
    if (m_highLight)
        color =
            ColorAdditions::highlight(color.isValid() ? color : m_context.settings.windowBackgroundColor());
    if (color.isValid())
        RowBackground::fill(painter, *this, color, rect(), m_angle, m_context.settings.opacity());
    painter.fillRect(geometry.rect(0, 0, width(), 1), QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.4f));
    if (m_context.settings.displayImage())
        drawIcon(painter);
    if (m_dropMode) {
        const QColor outline =
            m_customFontColor.isValid() ? m_customFontColor : m_context.settings.fontColor();
        painter.setPen(ColorAdditions::darkerWithLevel(outline, 0.3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(geometry.rect(imageRect())).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void DataItemView::drawIcon(QPainter &painter)
{
    if (!m_item)
        return;
    const std::shared_ptr<Datasource> source = Datasource::of(*m_item);
    const qreal ratio = devicePixelRatioF();
    const QImage image = RowIcon::imageFor(source ? source->image() : QImage(), ratio);
    m_icon.draw(painter, image, imageRect(), height(), ratio);
}

// Dropping an icon

bool DataItemView::acceptsDropAt(const QPointF &position) const
{
    const QRect icon = imageRect();
    return m_context.settings.displayImage() && position.x() < icon.x() + icon.width();
}

void DataItemView::setDropMode(bool dropMode)
{
    m_dropMode = dropMode;
    update();
}

void DataItemView::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_context.settings.displayImage() && DroppedImage::canDecode(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DataItemView::dragMoveEvent(QDragMoveEvent *event)
{
    const bool onIcon = acceptsDropAt(event->position()) && DroppedImage::canDecode(*event->mimeData());
    setDropMode(onIcon);
    if (!onIcon) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DataItemView::dragLeaveEvent(QDragLeaveEvent *)
{
    setDropMode(false);
}

void DataItemView::dropEvent(QDropEvent *event)
{
    setDropMode(false);
    redisplayList();
    const std::shared_ptr<Datasource> source = m_item ? Datasource::of(*m_item) : nullptr;
    if (!source || !acceptsDropAt(event->position())) {
        event->ignore();
        return;
    }
    QString error;
    const QImage image = DroppedImage::fromMimeData(*event->mimeData(), &error);
    if (image.isNull()) {
        if (!error.isEmpty())
            qWarning("%s", qUtf8Printable(error));
        QApplication::beep();
        event->ignore();
        return;
    }
    source->setImage(image);
    update();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
