#include "cjsondeserializer.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

JSONError noDataError()
{
    return JSONError{CJSONDeserializerErrorDomain, -1, {}, {}};
}

// Runs the function on the main thread after the current event has been handled.
void postToMainThread(std::function<void()> function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

// A reader with the same settings, for work that may outlive the original.
CJSONDeserializer copySettings(CJSONDeserializer &original)
{
    CJSONDeserializer copy;
    copy.scanner().setStrictEscapeCodes(original.scanner().strictEscapeCodes());
    copy.setNullObject(original.nullObject());
    copy.setAllowedEncoding(original.allowedEncoding());
    return copy;
}

// Reads on the main thread, then delivers on the main thread in a later event.
template <typename Value, typename Completion, typename Read>
void readLater(CJSONDeserializer reader, const QByteArray &data, Completion completion, Read read)
{
    auto shared = std::make_shared<CJSONDeserializer>(std::move(reader));
    postToMainThread([shared, data, completion = std::move(completion), read]() {
        JSONError error;
        std::optional<Value> value = read(*shared, data, &error);
        postToMainThread([value = std::move(value), error = std::move(error), completion]() {
            if (value)
                completion(value, std::nullopt);
            else
                completion(std::nullopt, error);
        });
    });
}

} // namespace

CJSONDeserializer::CJSONDeserializer() = default;
CJSONDeserializer::~CJSONDeserializer() = default;
CJSONDeserializer::CJSONDeserializer(CJSONDeserializer &&) noexcept = default;
CJSONDeserializer &CJSONDeserializer::operator=(CJSONDeserializer &&) noexcept = default;

CJSONScanner &CJSONDeserializer::scanner()
{
    if (!m_scanner)
        m_scanner = std::make_unique<CJSONScanner>();
    return *m_scanner;
}

QVariant CJSONDeserializer::nullObject()
{
    return scanner().nullObject();
}

void CJSONDeserializer::setNullObject(const QVariant &nullObject)
{
    scanner().setNullObject(nullObject);
}

std::optional<QStringConverter::Encoding> CJSONDeserializer::allowedEncoding()
{
    return scanner().allowedEncoding();
}

void CJSONDeserializer::setAllowedEncoding(std::optional<QStringConverter::Encoding> encoding)
{
    scanner().setAllowedEncoding(encoding);
}

bool CJSONDeserializer::prepare(const QByteArray &data, JSONError *outError)
{
    if (data.isEmpty()) {
        reportJSONError(outError, noDataError());
        return false;
    }
    return scanner().setData(data, outError);
}

QVariant CJSONDeserializer::deserialize(const QByteArray &data, JSONError *outError)
{
    QVariant value;
    if (!prepare(data, outError) || !scanner().scanJSONObject(&value, outError))
        return {};
    return value;
}

std::optional<QVariantMap> CJSONDeserializer::deserializeAsDictionary(const QByteArray &data,
                                                                      JSONError *outError)
{
    QVariantMap value;
    if (!prepare(data, outError) || !scanner().scanJSONDictionary(&value, outError))
        return std::nullopt;
    return value;
}

std::optional<QVariantList> CJSONDeserializer::deserializeAsArray(const QByteArray &data, JSONError *outError)
{
    QVariantList value;
    if (!prepare(data, outError) || !scanner().scanJSONArray(&value, outError))
        return std::nullopt;
    return value;
}

void CJSONDeserializer::deserializeAsDictionary(const QByteArray &data, DictionaryCompletion completion)
{
    if (data.isEmpty()) {
        completion(std::nullopt, noDataError());
        return;
    }
    readLater<QVariantMap>(copySettings(*this), data, std::move(completion),
                           [](CJSONDeserializer &reader, const QByteArray &bytes, JSONError *error) {
                               return reader.deserializeAsDictionary(bytes, error);
                           });
}

void CJSONDeserializer::deserializeAsArray(const QByteArray &data, ArrayCompletion completion)
{
    if (data.isEmpty()) {
        completion(std::nullopt, noDataError());
        return;
    }
    readLater<QVariantList>(copySettings(*this), data, std::move(completion),
                            [](CJSONDeserializer &reader, const QByteArray &bytes, JSONError *error) {
                                return reader.deserializeAsArray(bytes, error);
                            });
}
