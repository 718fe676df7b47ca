#pragma once

#include "byteset.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class DecimalNumber;

// Scans a byte buffer with one moving position. Every scan either matches and moves on,
// or reports false and leaves the position where it was.
// Not thread-safe: one scanner belongs to one thread at a time.
class CDataScanner {
    static constexpr ByteSet kWhitespace = ByteSet::whitespace();

public:
    CDataScanner() = default;
    explicit CDataScanner(const QByteArray &data) { CDataScanner::setData(data); }
    virtual ~CDataScanner() = default;
    CDataScanner(const CDataScanner &) = delete;
    CDataScanner &operator=(const CDataScanner &) = delete;

    const QByteArray &data() const { return m_data; }
    // Takes the bytes and puts the position at their start.
    virtual void setData(const QByteArray &data);

    qsizetype length() const { return m_end - m_start; }
    qsizetype scanLocation() const { return m_current - m_start; }
    // Moves the position; a location past the end is clamped to the end.
    void setScanLocation(qsizetype location);
    bool isAtEnd() const { return m_current >= m_end; }
    qsizetype bytesRemaining() const { return m_end - m_current; }

    // The byte at the position without moving; 0 at the end of the data.
    char currentCharacter() const { return m_current < m_end ? *m_current : '\0'; }
    // The byte at the position, moving past it; 0 (without moving) at the end.
    char scanCharacter() { return m_current < m_end ? *m_current++ : '\0'; }
    // Moves past the byte only when it equals c.
    bool scanCharacter(char c)
    {
        if (m_current >= m_end || *m_current != c)
            return false;
        ++m_current;
        return true;
    }

    // Matches a literal byte sequence.
    bool scanUTF8String(QByteArrayView literal, QString *outValue = nullptr);
    bool scanString(const QString &literal, QString *outValue = nullptr);
    // Takes every byte up to (not including) the first occurrence of the literal, or to the end.
    bool scanUpToString(const QString &literal, QString *outValue = nullptr);
    // Takes the longest run of bytes in, or not in, the set; at least one.
    bool scanCharactersFromSet(const ByteSet &set, QString *outValue = nullptr);
    bool scanUpToCharactersFromSet(const ByteSet &set, QString *outValue = nullptr);

    // A number made of the bytes "0123456789eE-+.": a DecimalNumber when it has a point,
    // else a qint64 when it has a minus (its leading integer value), else a quint64 read with
    // automatic base (a leading 0 means octal), stopping at the first byte that is not a digit.
    bool scanNumber(QVariant *outValue);
    bool scanDecimalNumber(DecimalNumber *outValue);
    bool scanDataOfLength(qsizetype length, QByteArray *outData);

    // Skips space, tab, line feed, vertical tab, form feed and carriage return.
    void skipWhitespace() { skipRun(kWhitespace); }
    // "/* … */" and "// …" comments; the value is the text between the markers.
    bool scanCStyleComment(QString *outComment = nullptr);
    bool scanCPlusPlusStyleComment(QString *outComment = nullptr);

    QString remainingString() const;
    QByteArray remainingData() const;
    // Number of line-feed and carriage-return bytes before the position (each counted).
    qint64 lineOfScanLocation() const;
    // "line", "character", "location" and "snippet" describing the position, for error reports.
    QVariantMap userInfoForScanLocation() const;

protected:
    const char *m_start = nullptr;
    const char *m_current = nullptr;
    const char *m_end = nullptr;

    // Takes the run of bytes in the set and returns its length.
    qsizetype skipRun(const ByteSet &set)
    {
        const char *const begin = m_current;
        while (m_current < m_end && set.contains(*m_current))
            ++m_current;
        return m_current - begin;
    }

private:
    // The common number: an optional minus and a few digits, the first not 0, read in one pass.
    // Fails, leaving the position, for anything the general rules must decide.
    bool scanPlainInteger(QVariant *outValue);

    QByteArray m_data;
};
