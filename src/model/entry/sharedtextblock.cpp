#include "model/entry/sharedtextblock.h"

#include "support/stringadditions.h"

#include <QtGlobal>

#include <algorithm>

// QStringPrivate and its reference count are Qt 6's; look again before building with another.
static_assert(QT_VERSION >= QT_VERSION_CHECK(6, 2, 0) && QT_VERSION < QT_VERSION_CHECK(7, 0, 0),
              "SharedTextBlock builds strings from Qt 6's string data pointer");

SharedTextBlock::SharedTextBlock(qsizetype totalUnits, qsizetype count)
    : m_block(totalUnits + count, Qt::Uninitialized), m_unusedReferences(count)
{
    QStringPrivate &shared = m_block.data_ptr();
    // The block is still this thread's alone: the texts' references are taken in one step.
    if (shared.d)
        shared.d->ref_.fetchAndAddRelaxed(int(count));
    m_next = shared.data();
}

SharedTextBlock::~SharedTextBlock()
{
    QStringPrivate &shared = m_block.data_ptr();
    // The block itself still holds a reference, so these never free it.
    if (shared.d && m_unusedReferences > 0)
        shared.d->ref_.fetchAndSubRelaxed(int(m_unusedReferences));
}

QString SharedTextBlock::add(QStringView text)
{
    std::copy_n(text.utf16(), text.size(), m_next);
    return take(text.size());
}

QString SharedTextBlock::addUtf8(QByteArrayView utf8)
{
    return take(StringAdditions::decodeUtf8(utf8, m_next));
}

QString SharedTextBlock::take(qsizetype length)
{
    Q_ASSERT(m_unusedReferences > 0);
    QStringPrivate &shared = m_block.data_ptr();
    char16_t *start = m_next;
    start[length] = u'\0'; // Qt strings end in a zero that utf16() hands out
    m_next += length + 1;
    --m_unusedReferences;
    return QString(QStringPrivate(shared.d, start, length));
}
