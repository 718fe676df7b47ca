#include "common/temphome.h"
#include "common/waitfor.h"
#include "fakereaderservice.h"
#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"
#include "model/source/rssdatasource.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "services/operations/operationqueue.h"
#include "services/reader/bsgooglereaderlistsubscriptionsoperation.h"
#include "services/reader/greaderrequest.h"
#include "services/reader/greadersyncoperation.h"
#include "support/http/httperror.h"
#include "support/json/jsonerror.h"

#include <QThread>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testing::ElementsAre;

namespace {
const QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(9, 30, 15, 250), Qt::UTC);
} // namespace

// The subscription listing against a loopback reader service, run on an operation queue.
class GoogleReaderListTest : public testing::Test {
protected:
    GoogleReaderService service() const { return GoogleReaderService(fake.baseAddress(), clock); }

    // Runs one listing to its callback; the callback must come on the main thread.
    void list(const QString &account = u"reader@example.org"_s, const QString &password = u"s3cret"_s)
    {
        bool calledBack = false;
        auto operation = std::make_shared<BSGoogleReaderListSubscriptionsOperation>(
            service(), nullptr, [&](BSGoogleReaderListSubscriptionsOperation &finished) {
                EXPECT_EQ(QThread::currentThread(), qApp->thread());
                result = finished.resultFeeds();
                error = finished.operationError();
                calledBack = true;
            });
        operation->setLogin(account);
        operation->setPassword(password);
        queue.addOperation(operation);
        ASSERT_TRUE(waitFor([&] { return calledBack; }));
        queue.waitUntilAllOperationsAreFinished();
    }

    FakeReaderService fake;
    ManualClock clock{start};
    OperationQueue queue;
    std::optional<QList<BSGoogleReaderSubscription>> result;
    std::optional<ServiceError> error;
};

TEST_F(GoogleReaderListTest, logsInAndListsSubscriptionsWithSharedCategories)
{
    fake.setListBody(R"({"subscriptions":[
        {"id":"feed/http://example.org/a.xml","title":"A","categories":[
            {"id":"user/1/label/News","label":""},{"id":"user/1/label/Tech","label":"Tech"}]},
        {"id":"feed/http://example.org/b.xml","categories":[{"id":"user/1/label/News","label":"News"}]},
        {"id":"http://example.org/feed/c.xml","title":"C","categories":[]},
        {"title":"no id"},
        "not a dictionary",
        {"id":"feed/http://exa mple.org/%zz"}
    ]})");
    list();

    ASSERT_FALSE(error) << error->localizedDescription.toStdString();
    ASSERT_TRUE(result);
    ASSERT_EQ(result->size(), 3);
    const BSGoogleReaderSubscription &a = result->at(0);
    EXPECT_EQ(a.itemID, u"feed/http://example.org/a.xml"_s);
    EXPECT_EQ(a.feedURL, QUrl(u"http://example.org/a.xml"_s));
    EXPECT_EQ(a.title, u"A"_s);
    ASSERT_EQ(a.categories.size(), 2);
    EXPECT_EQ(a.categories[1]->title, u"Tech"_s);
    const BSGoogleReaderSubscription &b = result->at(1);
    EXPECT_EQ(b.title, u""_s);
    ASSERT_EQ(b.categories.size(), 1);
    // One object per category id; the later label fills in the title.
    EXPECT_EQ(b.categories[0], a.categories[0]);
    EXPECT_EQ(a.categories[0]->title, u"News"_s);
    const BSGoogleReaderSubscription &c = result->at(2);
    EXPECT_EQ(c.feedURL, QUrl(u"http://example.org/feed/c.xml"_s));
    EXPECT_TRUE(c.categories.isEmpty());

    EXPECT_THAT(fake.events(), ElementsAre("login", "list"));
    const httplib::Request login = fake.loginRequests().at(0);
    EXPECT_EQ(login.get_param_value("service"), "reader");
    EXPECT_EQ(login.get_param_value("source"), "scroll");
    EXPECT_EQ(login.get_param_value("continue"), fake.baseAddress().toString().toStdString());
    EXPECT_EQ(login.get_param_value("Email"), "reader@example.org");
    const httplib::Request listing = fake.lastListRequest();
    EXPECT_EQ(listing.get_param_value("output"), "json");
    EXPECT_EQ(listing.get_param_value("client"), "scroll");
    EXPECT_EQ(listing.get_param_value("ck"), std::to_string(start.toMSecsSinceEpoch()));
}

TEST_F(GoogleReaderListTest, categoryWithoutLabelHasNoTitle)
{
    fake.setListBody(
        R"({"subscriptions":[{"id":"feed/http://x.org/","categories":[{"id":"c"},{"label":"no id"}]}]})");
    list();
    ASSERT_TRUE(result);
    ASSERT_EQ(result->at(0).categories.size(), 1);
    EXPECT_EQ(result->at(0).categories[0]->itemID, u"c"_s);
    EXPECT_FALSE(result->at(0).categories[0]->title);
}

TEST_F(GoogleReaderListTest, emptyListGivesNeitherResultNorError)
{
    list();
    EXPECT_FALSE(result);
    EXPECT_FALSE(error);
}

TEST_F(GoogleReaderListTest, refusedLoginQuotesTheServiceError)
{
    list(u"reader@example.org"_s, u"wrong"_s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain, u"org.vantrel.Commons.ErrorDomain"_s);
    EXPECT_EQ(error->code, 4100);
    EXPECT_EQ(error->localizedDescription, u"Could not log you in to Google."_s);
    EXPECT_EQ(error->failureReason, u"Google returned error: \"BadAuthentication\"."_s);
    EXPECT_EQ(error->recoverySuggestion, u"Please re-check your Google ID and password."_s);
    EXPECT_FALSE(result);
    EXPECT_THAT(fake.events(), ElementsAre("login"));
}

TEST_F(GoogleReaderListTest, loginAnswerWithoutAuthAndWithoutErrorHasNoFailureReason)
{
    fake.setLoginAnswer("SID=x\nAuth=a=b\n");
    list();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, 4100);
    EXPECT_TRUE(error->failureReason.isEmpty());
}

TEST_F(GoogleReaderListTest, loginAnswerNamesMayBeLowerCase)
{
    fake.setLoginAnswer(std::string("sid=") + FakeReaderService::sid + "\r\nauth=" + FakeReaderService::auth);
    fake.setListBody(R"({"subscriptions":[{"id":"feed/http://x.org/"}]})");
    list();
    EXPECT_FALSE(error);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->size(), 1);
}

// A root that is no object is the JSON reader's error; a "subscriptions" that is no array is named.
TEST_F(GoogleReaderListTest, unexpectedListDataSaysWhatCame)
{
    fake.setListBody(R"([1,2])");
    list();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain, CJSONScannerErrorDomain);
    EXPECT_EQ(error->code, -1);
    EXPECT_EQ(error->localizedDescription,
              u"Could not scan dictionary. Dictionary that does not start with '{' character."_s);
    EXPECT_FALSE(result);

    fake.setListBody(R"({"subscriptions":{"id":"feed/http://x.org/"}})");
    list();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, 4097);
    EXPECT_EQ(error->localizedDescription, u"Unknown data returned from Google Reader"_s);
    EXPECT_EQ(error->recoverySuggestion, u"Please retry at a later time."_s);
    EXPECT_EQ(error->failureReason,
              u"Google Reader doesn't return an array for its \"subscriptions\" value but "
              u"instead returned dictionary"_s);
    EXPECT_FALSE(result);
}

TEST_F(GoogleReaderListTest, reportsJSONAndTransportErrorsUnchanged)
{
    fake.setListBody(R"({"subscriptions":[)");
    list();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain, CJSONScannerErrorDomain);

    GoogleReaderService closed(QUrl(u"http://127.0.0.1:1/"_s), clock);
    BSGoogleReaderListSubscriptionsOperation operation(closed, nullptr, {});
    operation.main();
    ASSERT_TRUE(operation.operationError());
    EXPECT_EQ(operation.operationError()->domain, httpErrorDomain());
    EXPECT_EQ(operation.operationError()->code, int(HTTPErrorCode::ConnectionFailure));
}

TEST(GoogleReaderServiceTest, everyAddressKeepsTheBaseAddressScheme)
{
    ManualClock clock(start);
    const GoogleReaderService service(QUrl(u"https://reader.example.org"_s), clock);
    for (const QUrl &url : {service.loginURL(), service.subscriptionListURL(), service.tokenURL(),
                            service.apiURL(GReaderSyncOperation::editPath), service.homeURL()}) {
        EXPECT_EQ(url.scheme(), u"https"_s) << url.toString().toStdString();
        EXPECT_EQ(url.host(), u"reader.example.org"_s);
    }
    EXPECT_EQ(service.loginURL().path(), u"/accounts/ClientLogin"_s);
    EXPECT_EQ(service.apiURL(GReaderSyncOperation::editPath).toString(),
              u"https://reader.example.org/reader/api/0/subscription/edit?client=vantrel"_s);
    EXPECT_EQ(service.cookieDomain(), u"example.org"_s);
    EXPECT_EQ(GoogleReaderService(QUrl(u"http://localhost:8080/"_s), clock).cookieDomain(), u"localhost"_s);
    EXPECT_EQ(GoogleReaderService(QUrl(u"http://127.0.0.1:8080/"_s), clock).cookieDomain(), u"127.0.0.1"_s);
}

// What the callback base class makes of exceptions, and where it calls back.
class ThrowingOperation : public BSCallbackOperation {
public:
    using BSCallbackOperation::BSCallbackOperation;
    void performOperation() override
    {
        ServiceError earlier;
        earlier.domain = u"earlier"_s;
        setOperationError(earlier);
        throw std::runtime_error("disk on fire");
    }
};

TEST(BSCallbackOperationTest, exceptionBecomesAnErrorAndTheCallbackRunsOnTheGivenThread)
{
    QThread callbackThread;
    callbackThread.start();
    QThread *calledOn = nullptr;
    ThrowingOperation operation(
        nullptr,
        [&](BSCallbackOperation &) {
            calledOn = QThread::currentThread();
            throw std::logic_error("callback failure is logged, not thrown on");
        },
        &callbackThread);
    std::thread worker([&] { operation.main(); });
    worker.join();
    callbackThread.quit();
    callbackThread.wait();

    EXPECT_EQ(calledOn, &callbackThread);
    ASSERT_TRUE(operation.operationError());
    const ServiceError &error = *operation.operationError();
    EXPECT_EQ(error.code, 258);
    EXPECT_EQ(error.localizedDescription,
              u"Unhandled exception caught in -[BSOperation handleException:]: disk on fire"_s);
    EXPECT_EQ(error.userInfo.value(u"org.vantrel.commons.ErrorDomain.BSUnderlyingExceptionErrorKey"_s),
              u"disk on fire"_s);
    ASSERT_TRUE(error.underlyingError);
    EXPECT_EQ(error.underlyingError->domain, u"earlier"_s);
}

TEST(BSCallbackOperationTest, callbackIsSkippedWhenItsTargetIsGone)
{
    bool called = false;
    auto target = std::make_unique<QObject>();
    ThrowingOperation operation(target.get(), [&](BSCallbackOperation &) { called = true; });
    target.reset();
    operation.main();
    EXPECT_FALSE(called);
    EXPECT_TRUE(operation.operationError());
}

namespace {
class NoRefreshes : public RefreshEnvironment {
public:
    int numberOfSources() const override { return 2; }
    bool internetAvailable() const override { return false; }
    RefreshPool &refreshPool() override { return pool; }
    RefreshPool pool;
};
} // namespace

// Pushing subscription edits: each edit logs in and fetches a token first.
class GReaderSyncTest : public testing::Test {
protected:
    GReaderSyncTest() : defaults(home.configHome() + u"/vantrel"_s) {}

    std::shared_ptr<RSSDatasource> source(const QString &url, const QString &name, const QString &customName)
    {
        QVariantMap configuration{{u"uuid"_s, url}, {u"url"_s, url}, {u"name"_s, name}};
        if (!customName.isEmpty())
            configuration.insert(u"customName"_s, customName);
        defaults.updateObject(SettingsKey::feeds, [&](const QVariant &current) {
            return QVariant(current.toList() << configuration);
        });
        return RSSDatasource::create(configuration, defaults, clock, environment);
    }

    BSGoogleReaderSubscription entry(const QString &url)
    {
        return BSGoogleReaderSubscription{u"feed/"_s + url, QUrl(url), u"old"_s, {}};
    }

    std::shared_ptr<GReaderSyncOperation> syncOperation()
    {
        auto operation = std::make_shared<GReaderSyncOperation>(
            GoogleReaderService(fake.baseAddress(), clock), defaults, clock);
        operation->setUser(u"reader@example.org"_s);
        operation->setPassword(u"s3cret"_s);
        operation->setAddList({source(u"example.org/one.xml"_s, u"One"_s, u"My One"_s),
                               source(u"http://example.org/two.xml"_s, u"Two"_s, QString())});
        operation->setRemoveList({entry(u"http://example.org/old.xml"_s)});
        return operation;
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock{start};
    NoRefreshes environment;
    FakeReaderService fake;
};

TEST_F(GReaderSyncTest, subscribesThenUnsubscribesAndRecordsTheSync)
{
    const auto operation = syncOperation();
    OperationQueue queue;
    queue.addOperation(operation);
    queue.waitUntilAllOperationsAreFinished();

    EXPECT_THAT(fake.events(), ElementsAre("login", "token", "subscribe feed/http://example.org/one.xml",
                                           "login", "token", "subscribe feed/http://example.org/two.xml",
                                           "login", "token", "unsubscribe feed/http://example.org/old.xml"));
    const std::vector<httplib::Request> edits = fake.editRequests();
    ASSERT_EQ(edits.size(), 3u);
    EXPECT_EQ(edits[0].get_param_value("t"), "My One");
    EXPECT_EQ(edits[1].get_param_value("t"), "Two");
    EXPECT_FALSE(edits[2].has_param("t"));
    EXPECT_EQ(edits[0].get_param_value("T"), "edit-token/1\n");
    EXPECT_EQ(defaults.dateForKey(SettingsKey::lastGoogleSync), start);
}

TEST_F(GReaderSyncTest, failedEditStopsTheSyncWithoutRecordingIt)
{
    fake.setFailingEdit(2);
    syncOperation()->main();

    EXPECT_THAT(fake.events(), ElementsAre("login", "token", "subscribe feed/http://example.org/one.xml",
                                           "login", "token", "subscribe feed/http://example.org/two.xml"));
    EXPECT_FALSE(defaults.objectForKey(SettingsKey::lastGoogleSync).isValid());
}

TEST_F(GReaderSyncTest, refusedLoginEndsTheEditBeforeAnyToken)
{
    GReaderRequest request(GoogleReaderService(fake.baseAddress(), clock), GReaderSyncOperation::editPath);
    request.setUser(u"reader@example.org"_s);
    request.setPassword(u"wrong"_s);
    EXPECT_FALSE(request.execWithPostDicitionary({{u"ac"_s, u"subscribe"_s}}));
    EXPECT_THAT(fake.events(), ElementsAre("login"));

    request.setPassword(u"s3cret"_s);
    EXPECT_TRUE(request.execWithPostDicitionary({{u"ac"_s, u"subscribe"_s}, {u"s"_s, u"feed/x"_s}}));
}
