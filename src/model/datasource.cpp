#include "model/datasource.h"

using namespace Qt::StringLiterals;

namespace {
QString nullIfEmpty(const QString &string)
{
    return string.isEmpty() ? QString() : string;
}
} // namespace

Datasource::Datasource(const QVariantMap &configuration, QObject *parent)
    : QObject(parent),
      m_uuid(configuration.value(u"uuid"_s).toString()),
      m_name(configuration.value(u"name"_s).toString().trimmed()),
      m_customName(nullIfEmpty(configuration.value(u"customName"_s).toString()))
{
}

QString Datasource::uuid() const
{
    std::lock_guard guard(m_lock);
    return m_uuid;
}

QString Datasource::name() const
{
    std::lock_guard guard(m_lock);
    return m_name;
}

QString Datasource::customName() const
{
    std::lock_guard guard(m_lock);
    return m_customName;
}
