#include "asiformdatarequest.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

constexpr char boundary[] = "0xKhTmLbOuNdArY";

bool isUnescaped(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

} // namespace

ASIFormDataRequest::ASIFormDataRequest(const QUrl &url) : ASIHTTPRequest(url) {}

std::unique_ptr<ASIFormDataRequest> ASIFormDataRequest::requestWithURL(const QUrl &url)
{
    return std::make_unique<ASIFormDataRequest>(url);
}

void ASIFormDataRequest::addPostValue(const QVariant &value, const QString &key)
{
    m_postData.append({key, value.isNull() ? QString() : value.toString()});
}

void ASIFormDataRequest::setPostValue(const QVariant &value, const QString &key)
{
    m_postData.removeIf([&](const auto &pair) { return pair.first == key; });
    addPostValue(value, key);
}

void ASIFormDataRequest::addData(const QByteArray &data, const QString &fileName, const QString &contentType,
                                 const QString &key)
{
    m_fileData.append({key, fileName, contentType, data, {}});
}

void ASIFormDataRequest::addFile(const QString &path, const QString &fileName, const QString &contentType,
                                 const QString &key)
{
    m_fileData.append(
        {key, fileName.isEmpty() ? QFileInfo(path).fileName() : fileName, contentType, {}, path});
}

QByteArray ASIFormDataRequest::encoded(const QString &text) const
{
    QStringEncoder encoder(m_stringEncoding);
    return encoder.encode(text);
}

QByteArray ASIFormDataRequest::charsetName() const
{
    return QByteArray(QStringConverter::nameForEncoding(m_stringEncoding)).toLower();
}

QByteArray ASIFormDataRequest::encodeURL(const QString &text) const
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    const QByteArray bytes = encoded(text);
    QByteArray result;
    result.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (isUnescaped(c)) {
            result.append(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        result.append('%').append(hexDigits[byte >> 4]).append(hexDigits[byte & 0xF]);
    }
    return result;
}

std::optional<HTTPError> ASIFormDataRequest::buildPostBody()
{
    if (m_postData.isEmpty() && m_fileData.isEmpty())
        return std::nullopt;
    if (m_postFormat == PostFormat::Multipart || !m_fileData.isEmpty())
        return buildMultipartBody();
    buildURLEncodedBody();
    return std::nullopt;
}

void ASIFormDataRequest::buildURLEncodedBody()
{
    addRequestHeader(u"Content-Type"_s, u"application/x-www-form-urlencoded; charset=%1"_s.arg(
                                            QString::fromLatin1(charsetName())));
    QByteArray body;
    for (qsizetype i = 0; i < m_postData.size(); ++i) {
        const auto &[key, value] = m_postData.at(i);
        body += encodeURL(key) + '=' + encodeURL(value);
        if (i + 1 < m_postData.size())
            body += '&';
    }
    setPostBody(body);
}

std::optional<HTTPError> ASIFormDataRequest::buildMultipartBody()
{
    addRequestHeader(u"Content-Type"_s, u"multipart/form-data; charset=%1; boundary=%2"_s.arg(
                                            QString::fromLatin1(charsetName()), QLatin1StringView(boundary)));
    QByteArrayList parts;
    for (const auto &[key, value] : std::as_const(m_postData)) {
        parts.append("Content-Disposition: form-data; name=\"" + encoded(key) + "\"\r\n\r\n" +
                     encoded(value));
    }
    for (const FilePart &file : std::as_const(m_fileData)) {
        QByteArray data = file.data;
        if (!file.path.isEmpty()) {
            QFile input(file.path);
            if (!input.open(QIODevice::ReadOnly))
                return HTTPError::make(HTTPErrorCode::FileError,
                                       u"Unable to read file at path %1"_s.arg(file.path),
                                       input.errorString());
            data = input.readAll();
        }
        const QString contentType =
            file.contentType.isEmpty() ? u"application/octet-stream"_s : file.contentType;
        parts.append("Content-Disposition: form-data; name=\"" + encoded(file.key) + "\"; filename=\"" +
                     encoded(file.fileName) + "\"\r\nContent-Type: " + encoded(contentType) + "\r\n\r\n" +
                     data);
    }
    const QByteArray separator = QByteArray("\r\n--") + boundary + "\r\n";
    setPostBody(QByteArray("--") + boundary + "\r\n" + parts.join(separator) + "\r\n--" + boundary +
                "--\r\n");
    return std::nullopt;
}
