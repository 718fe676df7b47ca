#pragma once

#include "jsonerror.h"

#include <QByteArray>
#include <QVariant>
#include <optional>

// Writes values as compact JSON (no white space). Writes, by the value's type:
// nullptr → null; bool → true/false; integers, floating point and DecimalNumber → their decimal
// text; QString → a string; QVariantList/QStringList → an array; QVariantMap/QVariantHash →
// an object in the container's key order; QByteArray → its UTF-8 text as a string;
// CJSONSerializedData → its bytes as they are. Anything else fails with CJSONSerializerErrorDomain -1.
class CJSONSerializer {
public:
    CJSONSerializer() = default;
    virtual ~CJSONSerializer() = default;
    CJSONSerializer(const CJSONSerializer &) = default;
    CJSONSerializer &operator=(const CJSONSerializer &) = default;

    static CJSONSerializer serializer() { return CJSONSerializer(); }

    // The JSON bytes, or nothing with the error.
    std::optional<QByteArray> serializeObject(const QVariant &object, JSONError *outError = nullptr);
    std::optional<QByteArray> serializeNull(JSONError *outError = nullptr);
    std::optional<QByteArray> serializeNumber(const QVariant &number, JSONError *outError = nullptr);
    std::optional<QByteArray> serializeString(const QString &string, JSONError *outError = nullptr);
    std::optional<QByteArray> serializeArray(const QVariantList &array, JSONError *outError = nullptr);
    std::optional<QByteArray> serializeDictionary(const QVariantMap &dictionary,
                                                  JSONError *outError = nullptr);

protected:
    // Appends the value to out; every element and member of a container comes through here,
    // so a subclass that overrides it sees the values at every depth.
    virtual bool writeObject(const QVariant &object, QByteArray *out, JSONError *outError);
    // The plain rules above, without any subclass's say.
    bool writePlainObject(const QVariant &object, QByteArray *out, JSONError *outError);

    static bool cannotSerialize(const QVariant &object, JSONError *outError);
    static bool couldNotSerialize(const QString &description, JSONError *outError);

private:
    static bool writeNumber(const QVariant &number, QByteArray *out, JSONError *outError);
    static void writeString(QStringView string, QByteArray *out);
    bool writeArray(const QVariantList &array, QByteArray *out, JSONError *outError);
    template <typename Dictionary>
    bool writeDictionary(const Dictionary &dictionary, QByteArray *out, JSONError *outError);
};
