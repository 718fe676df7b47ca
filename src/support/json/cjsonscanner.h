#pragma once

#include "cdatascanner.h"
#include "containercache.h"
#include "jsonerror.h"
#include "stringcache.h"

#include <QStringConverter>
#include <optional>
#include <string>
#include <vector>

// Reads JSON values from a byte buffer. Objects become QVariantMap, arrays QVariantList,
// strings QString, true/false bool, null the configured null object, and numbers
// DecimalNumber (with a point), qint64 (with a minus) or quint64 (otherwise).
// A failed scan returns false with an error of CJSONScannerErrorDomain; a successful scan may
// still yield no value (an invalid QVariant) for an incomplete literal such as "nul".
class CJSONScanner : public CDataScanner {
public:
    // Containers nested deeper than this fail instead of exhausting the stack.
    static constexpr int kMaxNestingDepth = 512;

    // Error codes beyond the ones that name a construct in their message.
    static constexpr int kInvalidUtf8Code = -15;
    static constexpr int kNestingTooDeepCode = -16;

    CJSONScanner() = default;

    // Detects UTF-8, UTF-16 or UTF-32 (either byte order) from the zero bytes of the first four,
    // falls back to allowedEncoding, and scans the text as UTF-8. Data shorter than four bytes is
    // taken as it is. Fails (code -1) when the bytes are not text in either encoding.
    bool setData(const QByteArray &data, JSONError *outError);
    void setData(const QByteArray &data) override { setData(data, nullptr); }

    bool strictEscapeCodes() const { return m_strictEscapeCodes; }
    // When set, a backslash before any byte but " \ / b f n r t u fails the string.
    void setStrictEscapeCodes(bool strict) { m_strictEscapeCodes = strict; }

    // The value produced for null; an invalid QVariant means "none", and nulls are then left out
    // of objects and arrays. Defaults to QVariant::fromValue(nullptr).
    QVariant nullObject() const { return m_nullObject; }
    void setNullObject(const QVariant &nullObject);

    // The encoding to try when the detected one does not decode the data.
    std::optional<QStringConverter::Encoding> allowedEncoding() const { return m_allowedEncoding; }
    void setAllowedEncoding(std::optional<QStringConverter::Encoding> encoding)
    {
        m_allowedEncoding = encoding;
    }

    bool scanJSONObject(QVariant *outObject, JSONError *outError = nullptr);
    bool scanJSONDictionary(QVariantMap *outDictionary, JSONError *outError = nullptr);
    bool scanJSONArray(QVariantList *outArray, JSONError *outError = nullptr);
    bool scanJSONStringConstant(QString *outString, JSONError *outError = nullptr);
    bool scanJSONNumberConstant(QVariant *outNumber, JSONError *outError = nullptr);
    // The longest run of bytes that are neither a double quote nor a backslash, as UTF-8 text.
    bool scanNotQuoteCharactersIntoString(QString *outValue);

private:
    // Fails with the error made at the current position.
    bool fail(JSONError *outError, int code, const QString &message) const;
    // Puts the position back to where the construct started, then fails there.
    bool failAt(const char *resetTo, JSONError *outError, int code, const QString &message);
    template <typename Value>
    bool scanInto(bool (CJSONScanner::*scan)(Value *, JSONError *), QVariant *outObject, JSONError *outError);
    bool scanLiteral(QByteArrayView literal, const QVariant &value, QVariant *outObject);
    bool scanContainerValue(const char *resetTo, QVariant *outValue, JSONError *outError, int code,
                            const QString &message);
    // The container of the members or elements collected above base, whose text starts at the
    // bracket and ends at the position: shared with an earlier one of the same text if remembered.
    QVariantMap takeDictionary(const char *bracket, size_t base);
    QVariantList takeArray(const char *bracket, size_t base);
    QVariantMap buildDictionary(size_t base);
    bool enterContainer(const char *bracket, JSONError *outError);
    qsizetype notQuoteRunLength() const;
    bool appendEscape(const char *resetTo, JSONError *outError);
    void appendText(const char *bytes, qsizetype length);
    bool scanHexUnit(char16_t *outUnit);

    bool m_strictEscapeCodes = false;
    QVariant m_nullObject = QVariant::fromValue(nullptr);
    std::optional<QStringConverter::Encoding> m_allowedEncoding;
    bool m_dataIsValidUtf8 = false; // set once setData has checked the whole buffer
    int m_depth = 0;
    // The error of a container past the depth limit, until the outermost container starts again.
    std::optional<JSONError> m_nestingError;
    StringCache m_strings;
    ContainerCache<QVariantMap> m_dictionaries;
    ContainerCache<QVariantList> m_arrays;
    std::u16string m_text; // the string with escapes being read; reused to spare allocations
    // Elements of the arrays being read, innermost last: each array is built at its end with
    // exactly the room it needs.
    std::vector<QVariant> m_elements;
    // The same for the members of the objects being read; building each map in one go keeps
    // its nodes together in memory.
    std::vector<std::pair<QString, QVariant>> m_members;
};
