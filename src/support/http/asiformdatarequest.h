#pragma once

#include "asihttprequest.h"

#include <QStringConverter>
#include <QVariant>

// A request that sends form fields (and optionally files) as its POST body, URL-encoded by default or as
// multipart/form-data. The body is built once, just before the first send, and only when there is a field
// or a file.
class ASIFormDataRequest : public ASIHTTPRequest {
public:
    enum class PostFormat { Multipart = 0, URLEncoded = 1 };

    explicit ASIFormDataRequest(const QUrl &url);
    static std::unique_ptr<ASIFormDataRequest> requestWithURL(const QUrl &url);

    // Appends the pair (the value's text form, key); a null value is sent as the empty string.
    void addPostValue(const QVariant &value, const QString &key);
    // Removes every pair with that key, then appends.
    void setPostValue(const QVariant &value, const QString &key);
    // A file part from memory; an empty content type is sent as "application/octet-stream".
    void addData(const QByteArray &data, const QString &fileName, const QString &contentType,
                 const QString &key);
    // A file part read from `path` when the body is built (an unreadable file fails with code 8); an empty
    // file name is the path's last component.
    void addFile(const QString &path, const QString &fileName, const QString &contentType,
                 const QString &key);

    // The (key, value) pairs in the order they are sent.
    const QList<std::pair<QString, QString>> &postData() const { return m_postData; }
    PostFormat postFormat() const { return m_postFormat; }
    void setPostFormat(PostFormat format) { m_postFormat = format; }
    QStringConverter::Encoding stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(QStringConverter::Encoding encoding) { m_stringEncoding = encoding; }

    // Percent-escapes the text in stringEncoding: every byte but ASCII letters, digits, '-', '.' and '_'.
    QByteArray encodeURL(const QString &text) const;

protected:
    std::optional<HTTPError> buildPostBody() override;

private:
    struct FilePart {
        QString key;
        QString fileName;
        QString contentType;
        QByteArray data;
        QString path; // read when the body is built, when set
    };

    QByteArray encoded(const QString &text) const;
    QByteArray charsetName() const;
    void buildURLEncodedBody();
    std::optional<HTTPError> buildMultipartBody();

    QList<std::pair<QString, QString>> m_postData;
    QList<FilePart> m_fileData;
    PostFormat m_postFormat = PostFormat::URLEncoded;
    QStringConverter::Encoding m_stringEncoding = QStringConverter::Utf8;
};
