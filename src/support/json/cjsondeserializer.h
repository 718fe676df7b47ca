#pragma once

#include "cjsonscanner.h"
#include "jsonerror.h"

#include <QByteArray>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

// The reader front end. Reads one JSON value from the start of the data; whatever follows the
// value is ignored. Empty data fails with CJSONDeserializerErrorDomain -1 and no message; every
// other failure is a CJSONScannerErrorDomain error with its location.
// Not thread-safe: use one reader per thread.
class CJSONDeserializer {
public:
    using DictionaryCompletion =
        std::function<void(const std::optional<QVariantMap> &value, const std::optional<JSONError> &error)>;
    using ArrayCompletion =
        std::function<void(const std::optional<QVariantList> &value, const std::optional<JSONError> &error)>;

    CJSONDeserializer();
    ~CJSONDeserializer();
    CJSONDeserializer(CJSONDeserializer &&) noexcept;
    CJSONDeserializer &operator=(CJSONDeserializer &&) noexcept;

    // A new reader with default settings.
    static CJSONDeserializer deserializer() { return CJSONDeserializer(); }

    CJSONScanner &scanner();

    // Forwarded to the scanner; see CJSONScanner.
    QVariant nullObject();
    void setNullObject(const QVariant &nullObject);
    std::optional<QStringConverter::Encoding> allowedEncoding();
    void setAllowedEncoding(std::optional<QStringConverter::Encoding> encoding);

    // Any value. An invalid QVariant without an error means the data began with an incomplete
    // literal (such as "nul") or a null while nullObject is unset.
    QVariant deserialize(const QByteArray &data, JSONError *outError = nullptr);
    std::optional<QVariantMap> deserializeAsDictionary(const QByteArray &data, JSONError *outError = nullptr);
    std::optional<QVariantList> deserializeAsArray(const QByteArray &data, JSONError *outError = nullptr);

    // Empty data calls the completion at once with the -1 error. Otherwise the data is read later
    // on the main thread (with this reader's settings at the time of the call; the reader itself may
    // be gone by then) and the completion runs on the main thread after that. Needs a QCoreApplication.
    void deserializeAsDictionary(const QByteArray &data, DictionaryCompletion completion);
    void deserializeAsArray(const QByteArray &data, ArrayCompletion completion);

private:
    bool prepare(const QByteArray &data, JSONError *outError);
    std::unique_ptr<CJSONScanner> m_scanner; // created on first use
};
