#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The texts of one entry in one allocation: each string made by add() refers into a single
// reference-counted block instead of owning a block of its own. An entry's half-dozen short texts
// then cost one allocation and one header instead of seven, which is a fifth of the memory of
// 25,000 stored headlines (bench/refresh_once_vs_newsboat.sh, bench/desktop_readers.sh).
//
// Such a string behaves as any Qt string that shares its data: it is copied before it changes
// while another string holds the block, and it may grow in place once it is the last one.
//
// Building strings that share a block takes Qt's string internals (the data pointer and its
// reference count); they are used in this file alone.
class SharedTextBlock {
public:
    // Room for `count` texts of `totalUnits` UTF-16 code units in all.
    SharedTextBlock(qsizetype totalUnits, qsizetype count);
    ~SharedTextBlock();
    SharedTextBlock(const SharedTextBlock &) = delete;
    SharedTextBlock &operator=(const SharedTextBlock &) = delete;

    // A copy of the text in the block, after the one added before it; at most `count` of them.
    QString add(QStringView text);
    // The text of UTF-8 bytes (as StringAdditions::fromUtf8 reads them) in the block; the bytes
    // count towards `totalUnits` with their number, which no decoding exceeds.
    QString addUtf8(QByteArrayView utf8);

private:
    // The string of the `length` units at the next place, which has been written.
    QString take(qsizetype length);

    QString m_block;
    char16_t *m_next = nullptr;
    qsizetype m_unusedReferences = 0;
};
