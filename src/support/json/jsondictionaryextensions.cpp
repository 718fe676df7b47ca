#include "jsondictionaryextensions.h"

#include "cjsondeserializer.h"

namespace JSONDictionaryExtensions {

QVariant dictionaryWithJSONData(const QByteArray &data, JSONError *outError)
{
    return CJSONDeserializer::deserializer().deserialize(data, outError);
}

QVariant dictionaryWithJSONString(const QString &string, JSONError *outError)
{
    return dictionaryWithJSONData(string.toUtf8(), outError);
}

} // namespace JSONDictionaryExtensions
