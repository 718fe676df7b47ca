#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMetaType>
#include <QString>

// An arbitrary-precision decimal: the value of a JSON number written with a point.
// Held as sign, significant digits and a power of ten, so "0.1" stays exactly 0.1.
// Values are normalised: no leading or trailing zero digits, and zero is never negative,
// so equal values compare equal whatever text they came from ("1.50" == "1.5" == "15e-1").
class DecimalNumber {
public:
    DecimalNumber() = default; // zero

    // The number at the start of the text: [+-] digits [. digits] [(e|E) [+-] digits].
    // Parsing stops at the first byte that does not fit; text without any digit gives zero.
    static DecimalNumber fromString(QByteArrayView text);

    bool isZero() const { return m_digits.isEmpty(); }
    bool isNegative() const { return m_negative; }
    // Significant digits, most significant first; empty for zero.
    const QByteArray &digits() const { return m_digits; }
    // The value is digits × 10^exponent; the exponent is clamped to ±10^15.
    qint64 exponent() const { return m_exponent; }

    // JSON text that always has a point, so that reading it back gives a decimal again:
    // "1.5", "1500.0", "-0.025", "0.0"; scientific ("1.5e+300") when plain text would be long.
    QByteArray toJSON() const;
    QString toString() const { return QString::fromLatin1(toJSON()); }
    // The nearest double (infinite or zero when out of range).
    double toDouble() const;

    friend bool operator==(const DecimalNumber &, const DecimalNumber &) = default;

private:
    bool m_negative = false;
    QByteArray m_digits;
    qint64 m_exponent = 0;
};

Q_DECLARE_METATYPE(DecimalNumber)
