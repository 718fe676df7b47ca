#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <QtGlobal>

// Where one text of an entry lies in the entry's text block (SharedTextBlock), in UTF-16 code units.
struct TextSlice {
    qsizetype offset = 0;
    qsizetype length = 0;
};

// One stored value of an entry, one word wide. A stored headline has ten or so values, and held
// as QVariants they were 40 % of the memory of 25,000 stored headlines (bench/desktop_readers.sh).
// The kinds every entry has are kept in the word itself: a text of the entry's block by its place,
// a bool, an int, a date in UTC. Any other value is boxed: the word owns a QVariant of its own.
//
// The low bits of the word say the kind; a boxed QVariant is aligned, so its pointer has them clear.
class PropertyValue {
public:
    PropertyValue() = default; // no value
    // The value as stored; none for an invalid QVariant.
    explicit PropertyValue(const QVariant &value);
    // The text at the place in the entry's block, `text` being what the block holds there. Should the
    // place not fit in a word (texts are capped far below that), a copy of the text is boxed.
    static PropertyValue text(TextSlice slice, QStringView text);

    PropertyValue(PropertyValue &&other) noexcept : m_word(other.m_word) { other.m_word = 0; }
    PropertyValue &operator=(PropertyValue &&other) noexcept;
    PropertyValue(const PropertyValue &) = delete;
    PropertyValue &operator=(const PropertyValue &) = delete;
    ~PropertyValue() { release(); }

    bool isValid() const { return m_word != 0; }
    // The value; a text is a string sharing `block`, the block of the entry that holds the value.
    QVariant toVariant(const QString &block) const;

    // The value seen where it is stored, for reading under the entry's lock without copying it.
    class View {
    public:
        View() = default; // no value
        View(const PropertyValue &value, const QString &block) : m_value(&value), m_block(&block) {}
        bool isValid() const { return m_value && m_value->isValid(); }
        // True for a string, whether it lies in the block or is boxed.
        bool isText() const { return isValid() && m_value->isText(); }
        // The string in place, when isText().
        QStringView text() const { return m_value->textIn(*m_block); }
        // A string sharing the text, when isText().
        QString string() const;
        QVariant toVariant() const { return isValid() ? m_value->toVariant(*m_block) : QVariant(); }

    private:
        const PropertyValue *m_value = nullptr;
        const QString *m_block = nullptr;
    };

private:
    enum Kind : quint64 { Boxed = 0, Text = 1, Bool = 2, Int = 3, UtcDate = 4 };
    static constexpr int kindBits = 3;
    static constexpr quint64 kindMask = (quint64(1) << kindBits) - 1;
    // A text's length takes the bits above the kind up to the offset, which takes the upper half.
    static constexpr int textLengthBits = 32 - kindBits;

    explicit PropertyValue(quint64 word) : m_word(word) {}
    Kind kind() const { return Kind(m_word & kindMask); }
    QVariant *boxed() const { return reinterpret_cast<QVariant *>(quintptr(m_word)); }
    TextSlice slice() const
    {
        return {qsizetype(m_word >> 32),
                qsizetype((m_word >> kindBits) & ((quint64(1) << textLengthBits) - 1))};
    }
    bool isText() const
    {
        return kind() == Text || (kind() == Boxed && boxed()->metaType() == QMetaType::fromType<QString>());
    }
    QStringView textIn(const QString &block) const
    {
        if (kind() == Text)
            return QStringView(block).sliced(slice().offset, slice().length);
        return QStringView(*static_cast<const QString *>(boxed()->constData()));
    }
    void release();

    quint64 m_word = 0;
};
static_assert(sizeof(PropertyValue) == 8);
