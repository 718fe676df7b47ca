#include "common/waitfor.h"
#include "jsondump.h"
#include "support/json/cjsondeserializer.h"
#include "support/json/jsondictionaryextensions.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(JSONDeserializerEntryPointsTest, eachReadsItsKindFromTheStart)
{
    CJSONDeserializer reader = CJSONDeserializer::deserializer();
    JSONError error;
    const auto dictionary =
        reader.deserializeAsDictionary("{\"subscriptions\":[{\"id\":\"feed/1\"}]}", &error);
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->value(u"subscriptions"_s).toList().value(0).toMap().value(u"id"_s), u"feed/1"_s);
    const auto array = reader.deserializeAsArray("[\"a\", 2] trailing", &error);
    ASSERT_TRUE(array);
    EXPECT_EQ(array->size(), 2);
    EXPECT_FALSE(reader.deserializeAsDictionary("[1]", &error));
    EXPECT_EQ(error.code, -1);
    EXPECT_FALSE(reader.deserializeAsArray("", &error));
    EXPECT_EQ(error, (JSONError{CJSONDeserializerErrorDomain, -1, {}, {}}));
}

TEST(JSONDeserializerEntryPointsTest, anIncompleteLiteralAloneIsNoValueAndNoError)
{
    JSONError error;
    EXPECT_FALSE(CJSONDeserializer().deserialize("nul", &error).isValid());
    EXPECT_TRUE(error.domain.isEmpty());
}

TEST(JSONDeserializerEntryPointsTest, anUnterminatedStringIsLocatedAtTheEnd)
{
    JSONError error;
    EXPECT_FALSE(CJSONDeserializer().deserialize("  \"never closed", &error).isValid());
    EXPECT_EQ(error.code, -14);
    EXPECT_EQ(error.location(), 15);
    EXPECT_EQ(error.line(), 0);
}

TEST(JSONDictionaryExtensionsTest, readDataAndStringsWithAFreshReader)
{
    JSONError error;
    EXPECT_EQ(dumpJSONValue(JSONDictionaryExtensions::dictionaryWithJSONString(u"{\"é\": [1.25]}"_s, &error)),
              u"{\"é\": [d:1.25]}"_s);
    EXPECT_EQ(dumpJSONValue(JSONDictionaryExtensions::dictionaryWithJSONData("{\"a\":null}", &error)),
              u"{\"a\": null}"_s);
    EXPECT_FALSE(JSONDictionaryExtensions::dictionaryWithJSONData("{\"a\"}", &error).isValid());
    EXPECT_EQ(error.code, -3);
}

struct Delivery {
    std::optional<QVariantMap> dictionary;
    std::optional<QVariantList> array;
    std::optional<JSONError> error;
    QThread *thread = nullptr;
    bool delivered = false;
};

TEST(JSONDeserializerBlocksTest, deliverTheValueLaterOnTheMainThread)
{
    auto delivery = std::make_shared<Delivery>();
    {
        CJSONDeserializer reader;
        reader.setNullObject(QVariant());
        reader.deserializeAsDictionary("{\"a\":null,\"b\":1}",
                                       [delivery](const auto &value, const auto &error) {
                                           delivery->dictionary = value;
                                           delivery->error = error;
                                           delivery->thread = QThread::currentThread();
                                           delivery->delivered = true;
                                       });
        EXPECT_FALSE(delivery->delivered);
    } // the reader may be gone before the reading happens
    ASSERT_TRUE(waitFor([&] { return delivery->delivered; }));
    EXPECT_EQ(delivery->thread, QCoreApplication::instance()->thread());
    EXPECT_FALSE(delivery->error);
    ASSERT_TRUE(delivery->dictionary);
    EXPECT_EQ(dumpJSONValue(*delivery->dictionary), u"{\"b\": u:1}"_s);
}

TEST(JSONDeserializerBlocksTest, deliverErrorsFromAnyThread)
{
    auto delivery = std::make_shared<Delivery>();
    QThread *worker = QThread::create([delivery] {
        CJSONDeserializer().deserializeAsArray("[1 2]", [delivery](const auto &value, const auto &error) {
            delivery->array = value;
            delivery->error = error;
            delivery->thread = QThread::currentThread();
            delivery->delivered = true;
        });
    });
    worker->start();
    ASSERT_TRUE(worker->wait(5000));
    delete worker;
    ASSERT_TRUE(waitFor([&] { return delivery->delivered; }));
    EXPECT_EQ(delivery->thread, QCoreApplication::instance()->thread());
    EXPECT_FALSE(delivery->array);
    ASSERT_TRUE(delivery->error);
    EXPECT_EQ(delivery->error->code, -9);
    EXPECT_EQ(delivery->error->location(), 0);
}

TEST(JSONDeserializerBlocksTest, emptyDataIsAnsweredAtOnce)
{
    bool answered = false;
    CJSONDeserializer().deserializeAsDictionary(QByteArray(), [&](const auto &value, const auto &error) {
        answered = true;
        EXPECT_FALSE(value);
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, (JSONError{CJSONDeserializerErrorDomain, -1, {}, {}}));
    });
    EXPECT_TRUE(answered);
}

} // namespace
