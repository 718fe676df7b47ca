#include "model/entry/propertyvalue.h"

#include "model/entry/sharedtextblock.h"

#include <QDateTime>

namespace {

// Dates of UTC whose milliseconds since 1970 fit beside the kind: some 36 million years either way.
constexpr qint64 inlineDateLimit = qint64(1) << 60;

} // namespace

PropertyValue::PropertyValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return;
    case QMetaType::Bool:
        m_word = (quint64(value.toBool()) << kindBits) | Bool;
        return;
    case QMetaType::Int:
        m_word = (quint64(quint32(value.toInt())) << 32) | Int;
        return;
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        const qint64 msecs = date.isValid() ? date.toMSecsSinceEpoch() : 0;
        if (date.isValid() && date.timeSpec() == Qt::UTC && msecs > -inlineDateLimit &&
            msecs < inlineDateLimit) {
            m_word = (quint64(msecs) << kindBits) | UtcDate;
            return;
        }
        break;
    }
    default:
        break;
    }
    auto *box = new QVariant(value);
    Q_ASSERT((quintptr(box) & kindMask) == 0);
    m_word = quintptr(box);
}

PropertyValue PropertyValue::text(TextSlice slice, QStringView text)
{
    Q_ASSERT(slice.length == text.size());
    if (slice.offset < 0 || slice.offset > qsizetype(0xffffffffu) || slice.length < 0 ||
        slice.length >= (qsizetype(1) << textLengthBits))
        return PropertyValue(QVariant(text.toString()));
    return PropertyValue((quint64(slice.offset) << 32) | (quint64(slice.length) << kindBits) | Text);
}

PropertyValue &PropertyValue::operator=(PropertyValue &&other) noexcept
{
    if (this != &other) {
        release();
        m_word = other.m_word;
        other.m_word = 0;
    }
    return *this;
}

void PropertyValue::release()
{
    if (m_word != 0 && kind() == Boxed)
        delete boxed();
    m_word = 0;
}

QVariant PropertyValue::toVariant(const QString &block) const
{
    if (m_word == 0)
        return QVariant();
    switch (kind()) {
    case Boxed:
        return *boxed();
    case Text:
        return QVariant(SharedTextBlock::slice(block, slice()));
    case Bool:
        return QVariant(bool(m_word >> kindBits));
    case Int:
        return QVariant(int(qint32(quint32(m_word >> 32))));
    case UtcDate:
        return QVariant(QDateTime::fromMSecsSinceEpoch(qint64(m_word) >> kindBits, Qt::UTC));
    }
    Q_UNREACHABLE();
    return QVariant();
}

QString PropertyValue::View::string() const
{
    Q_ASSERT(isText());
    if (m_value->kind() == Text)
        return SharedTextBlock::slice(*m_block, m_value->slice());
    return *static_cast<const QString *>(m_value->boxed()->constData());
}
