#include "httpenginetest.h"
#include "loopbackserver.h"
#include "scriptedserver.h"

#include "support/http/asiformdatarequest.h"

#include <QTemporaryFile>

using namespace Qt::StringLiterals;

// Form fields and files become the POST body, byte for byte.
class FormDataRequestTest : public HTTPEngineTest {
protected:
    void SetUp() override
    {
        HTTPEngineTest::SetUp();
        server.server().Post("/form", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("ok", "text/plain");
        });
        server.start();
    }

    httplib::Request send(ASIFormDataRequest &request)
    {
        request.startSynchronous();
        EXPECT_FALSE(request.error());
        EXPECT_EQ(request.responseStatusCode(), 200);
        return server.lastRequest();
    }

    LoopbackServer server;
};

TEST_F(FormDataRequestTest, fieldsAreSentURLEncodedAsPost)
{
    auto request = ASIFormDataRequest::requestWithURL(server.url(u"/form"_s));
    request->setPostValue(u"reader"_s, u"service"_s);
    request->setPostValue(u"two words"_s, u"source"_s);
    const httplib::Request received = send(*request);
    EXPECT_EQ(received.method, "POST");
    EXPECT_EQ(received.body, "service=reader&source=two%20words");
    EXPECT_EQ(received.get_header_value("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(received.get_header_value("Content-Length"), "33");
    EXPECT_EQ(request->requestMethod(), u"POST"_s);
}

TEST_F(FormDataRequestTest, reservedAndNonASCIICharactersAreEscaped)
{
    auto request = ASIFormDataRequest::requestWithURL(server.url(u"/form"_s));
    request->setPostValue(u":/?#[]@!$ &'()*+,;=\"<>%{}|\\^~`"_s, u"k-._ey"_s);
    request->setPostValue(u"café"_s, u"accent"_s);
    request->setPostValue(QVariant(), u"absent"_s);
    request->setPostValue(42, u"number"_s);
    EXPECT_EQ(
        send(*request).body,
        "k-._ey=%3A%2F%3F%23%5B%5D%40%21%24%20%26%27%28%29%2A%2B%2C%3B%3D%22%3C%3E%25%7B%7D%7C%5C%5E%7E%60"
        "&accent=caf%C3%A9&absent=&number=42");
}

TEST_F(FormDataRequestTest, settingAKeyAgainReplacesItAddingKeepsBoth)
{
    auto request = ASIFormDataRequest::requestWithURL(server.url(u"/form"_s));
    request->setPostValue(u"first"_s, u"T"_s);
    request->addPostValue(u"a"_s, u"s"_s);
    request->addPostValue(u"b"_s, u"s"_s);
    request->setPostValue(u"second"_s, u"T"_s);
    EXPECT_EQ(send(*request).body, "s=a&s=b&T=second");
}

TEST_F(FormDataRequestTest, requestWithoutFieldsStaysAGet)
{
    server.server().Get("/form", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("ok", "text/plain");
    });
    auto request = ASIFormDataRequest::requestWithURL(server.url(u"/form"_s));
    const httplib::Request received = send(*request);
    EXPECT_EQ(received.method, "GET");
    EXPECT_FALSE(received.has_header("Content-Type"));
    EXPECT_FALSE(received.has_header("Content-Length"));
}

TEST_F(FormDataRequestTest, multipartBodyWithValuesAndFiles)
{
    std::mutex mutex;
    QByteArray raw;
    ScriptedServer scripted([&](ScriptedConnection &connection) {
        if (std::optional<QByteArray> request = connection.readRequest()) {
            std::lock_guard lock(mutex);
            raw = *request;
            connection.send(ScriptedServer::response("HTTP/1.1 200 OK", "Connection: close\r\n", "ok"));
        }
    });
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("file\r\ncontents");
    file.flush();

    auto request = ASIFormDataRequest::requestWithURL(scripted.url(u"/upload"_s));
    request->setPostFormat(ASIFormDataRequest::PostFormat::Multipart);
    request->setPostValue(u"two words"_s, u"title"_s);
    request->addData("\x01\x02", u"a.bin"_s, QString(), u"blob"_s);
    request->addFile(file.fileName(), u"notes.txt"_s, u"text/plain"_s, u"notes"_s);
    request->startSynchronous();
    ASSERT_FALSE(request->error());

    std::lock_guard lock(mutex);
    const QByteArray expectedBody =
        "--0xKhTmLbOuNdArY\r\n"
        "Content-Disposition: form-data; name=\"title\"\r\n\r\n"
        "two words"
        "\r\n--0xKhTmLbOuNdArY\r\n"
        "Content-Disposition: form-data; name=\"blob\"; filename=\"a.bin\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        "\x01\x02"
        "\r\n--0xKhTmLbOuNdArY\r\n"
        "Content-Disposition: form-data; name=\"notes\"; filename=\"notes.txt\"\r\n"
        "Content-Type: text/plain\r\n\r\n"
        "file\r\ncontents"
        "\r\n--0xKhTmLbOuNdArY--\r\n";
    EXPECT_TRUE(raw.startsWith("POST /upload HTTP/1.1\r\n"));
    EXPECT_TRUE(raw.endsWith(QByteArray("\r\n\r\n" + expectedBody))) << raw.constData();
    EXPECT_TRUE(
        raw.contains("\r\nContent-Type: multipart/form-data; charset=utf-8; boundary=0xKhTmLbOuNdArY\r\n"));
    EXPECT_TRUE(
        raw.contains(QByteArray("\r\nContent-Length: " + QByteArray::number(expectedBody.size()) + "\r\n")));
}

TEST_F(FormDataRequestTest, unreadableFileFailsWithFileError)
{
    auto request = ASIFormDataRequest::requestWithURL(server.url(u"/form"_s));
    request->addFile(u"/nonexistent/vantrel/file"_s, QString(), QString(), u"f"_s);
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->errorCode(), HTTPErrorCode::FileError);
    EXPECT_EQ(server.requestCount(), 0);
}
