#pragma once

#include "model/entry/propertykey.h"

#include <QStringView>
#include <memory>
#include <string>
#include <vector>

class DataItem;

// The texts of an entry being parsed. Private to the parser, it needs no lock; it becomes an item
// in one step, with a property list sized to it. Reusable: take() leaves it empty.
//
// The texts are gathered one after another in one buffer, so that adding to them allocates only
// while the buffer grows past its largest entry yet.
class DataItemDraft {
public:
    // Appends to the text under the key, or stores the text when there is none. Texts are cut at
    // their cap (see TextCaps).
    void appendText(QStringView text, const PropertyKey &key);
    // Stores the text under the key, replacing any there.
    void setText(QStringView text, const PropertyKey &key);
    void clear();
    // The item holding the texts, with room for the properties filing adds to every entry.
    std::shared_ptr<DataItem> take();

private:
    struct Text {
        PropertyKey key;
        size_t start; // in m_units
        size_t length;
        // TextCaps::forKey(key) once the text grows past the smallest cap (unknownCap until then),
        // and its length once it was cut.
        qsizetype cap;
    };
    static constexpr qsizetype unknownCap = -1;
    Text *find(const PropertyKey &key);
    // The text under the key, last in the buffer so that it can grow; a new one when absent.
    Text &lastText(const PropertyKey &key);

    std::vector<Text> m_texts;
    std::u16string m_units;
    size_t m_last = 0; // the index of the text found or added last
    size_t m_tail = 0; // the index of the text that ends m_units, which alone may grow in place
};
