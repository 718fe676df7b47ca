#include "model/entry/sharedtextblock.h"

#include "support/stringadditions.h"

#include <QtGlobal>

#include <algorithm>

// QStringPrivate and its reference count are Qt 6's; look again before building with another.
static_assert(QT_VERSION >= QT_VERSION_CHECK(6, 2, 0) && QT_VERSION < QT_VERSION_CHECK(7, 0, 0),
              "SharedTextBlock builds strings from Qt 6's string data pointer");

// Each text is followed by a zero, which a string of it hands out from utf16().
SharedTextBlock::SharedTextBlock(qsizetype totalUnits, qsizetype count)
    : m_block(totalUnits + count, Qt::Uninitialized)
{
}

TextSlice SharedTextBlock::add(QStringView text)
{
    std::copy_n(text.utf16(), text.size(), m_block.data() + m_next);
    return close(text.size());
}

TextSlice SharedTextBlock::addUtf8(QByteArrayView utf8)
{
    return close(StringAdditions::decodeUtf8(utf8, reinterpret_cast<char16_t *>(m_block.data() + m_next)));
}

TextSlice SharedTextBlock::close(qsizetype length)
{
    Q_ASSERT(m_next + length < m_block.size());
    const TextSlice slice{m_next, length};
    m_block[m_next + length] = QChar(u'\0');
    m_next += length + 1;
    return slice;
}

QString SharedTextBlock::slice(const QString &block, TextSlice slice)
{
    const QStringPrivate &shared = block.data_ptr();
    Q_ASSERT(shared.d && slice.offset + slice.length < block.size());
    shared.d->ref();
    return QString(
        QStringPrivate(shared.d, const_cast<char16_t *>(shared.data()) + slice.offset, slice.length));
}
