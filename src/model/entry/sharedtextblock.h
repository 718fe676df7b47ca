#pragma once

#include "model/entry/propertyvalue.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The texts of one entry in one allocation: the entry keeps the block and each text's place in it
// (a TextSlice), and a text read from the entry is a string that refers into the block instead of
// owning a copy. An entry's half-dozen short texts then cost one allocation and one header instead
// of seven, which is a fifth of the memory of 25,000 stored headlines
// (bench/refresh_once_vs_newsboat.sh, bench/desktop_readers.sh).
//
// Such a string behaves as any Qt string that shares its data: it is copied before it changes
// while another string holds the block. The block never changes once built, so any thread may
// take strings from it.
//
// Strings that share a block take Qt's string internals (the data pointer and its reference
// count); they are used in this file alone.
class SharedTextBlock {
public:
    // Room for `count` texts of `totalUnits` UTF-16 code units in all.
    SharedTextBlock(qsizetype totalUnits, qsizetype count);

    // Copies the text into the block, after the one added before it; at most `count` of them.
    TextSlice add(QStringView text);
    // Decodes UTF-8 bytes (as StringAdditions::fromUtf8 reads them) into the block; the bytes count
    // towards `totalUnits` with their number, which no decoding exceeds.
    TextSlice addUtf8(QByteArrayView utf8);
    // The text at the place, in the block being built.
    QStringView view(TextSlice slice) const
    {
        return QStringView(m_block).sliced(slice.offset, slice.length);
    }
    // The block, once every text is added.
    QString take() && { return std::move(m_block); }

    // The text at the place in a block, as a string sharing the block's data.
    static QString slice(const QString &block, TextSlice slice);

private:
    // The place of the `length` units written at the next place.
    TextSlice close(qsizetype length);

    QString m_block;
    qsizetype m_next = 0;
};
