#pragma once

#include <QByteArray>
#include <QMetaType>

// JSON text prepared elsewhere; the writer copies it into its output unchanged.
class CJSONSerializedData {
public:
    CJSONSerializedData() = default;
    explicit CJSONSerializedData(QByteArray data) : m_data(std::move(data)) {}

    const QByteArray &data() const { return m_data; }
    void setData(const QByteArray &data) { m_data = data; }
    // The bytes the writer emits for this value.
    const QByteArray &JSONDataRepresentation() const { return m_data; }

    friend bool operator==(const CJSONSerializedData &, const CJSONSerializedData &) = default;

private:
    QByteArray m_data;
};

Q_DECLARE_METATYPE(CJSONSerializedData)
