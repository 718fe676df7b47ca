#include "httpheaders.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void HTTPHeaders::set(const QString &name, const QString &value)
{
    auto it = std::find_if(m_fields.begin(), m_fields.end(),
                           [&](const Field &f) { return sameName(f.first, name); });
    if (it == m_fields.end()) {
        m_fields.append({name, value});
        return;
    }
    *it = {name, value};
    const qsizetype first = it - m_fields.begin();
    for (qsizetype i = m_fields.size() - 1; i > first; --i) {
        if (sameName(m_fields.at(i).first, name))
            m_fields.removeAt(i);
    }
}

void HTTPHeaders::append(const QString &name, const QString &value)
{
    m_fields.append({name, value});
}

void HTTPHeaders::remove(const QString &name)
{
    m_fields.removeIf([&](const Field &f) { return sameName(f.first, name); });
}

bool HTTPHeaders::contains(const QString &name) const
{
    return std::any_of(m_fields.cbegin(), m_fields.cend(),
                       [&](const Field &f) { return sameName(f.first, name); });
}

QString HTTPHeaders::value(const QString &name) const
{
    const QStringList all = values(name);
    return all.isEmpty() ? QString() : all.join(u", "_s);
}

QStringList HTTPHeaders::values(const QString &name) const
{
    QStringList result;
    for (const Field &f : m_fields) {
        if (sameName(f.first, name))
            result.append(f.second);
    }
    return result;
}

void HTTPHeaders::keepOnly(const QStringList &names)
{
    m_fields.removeIf([&](const Field &f) { return !names.contains(f.first, Qt::CaseInsensitive); });
}
