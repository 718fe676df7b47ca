#pragma once

#include "cjsonserializer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

// A writer that lets the caller replace values before they are written, at every depth.
// Each test names a converter for a value (or returns an empty name); the first named converter
// that returns something decides: a QByteArray result is taken as ready JSON, any other result is
// written by the plain rules. When no converter applies, the value itself is written.
class CFilteringJSONSerializer : public CJSONSerializer {
public:
    using Test = std::function<QString(const QVariant &value)>;
    // Returns the replacement, or an invalid QVariant to pass.
    using Converter = std::function<QVariant(const QVariant &value)>;

    QList<Test> tests() const { return m_tests; }
    void setTests(const QList<Test> &tests) { m_tests = tests; }
    QHash<QString, Converter> convertersByName() const { return m_convertersByName; }
    void setConvertersByName(const QHash<QString, Converter> &converters) { m_convertersByName = converters; }

protected:
    bool writeObject(const QVariant &object, QByteArray *out, JSONError *outError) override;

private:
    QList<Test> m_tests;
    QHash<QString, Converter> m_convertersByName;
};
