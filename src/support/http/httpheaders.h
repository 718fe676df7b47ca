#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// An ordered list of header fields whose names compare without regard to case.
class HTTPHeaders {
public:
    using Field = std::pair<QString, QString>;

    // Replaces every field of that name (keeping the first one's place), or appends.
    void set(const QString &name, const QString &value);
    // Appends, keeping earlier fields of the same name (a response may repeat Set-Cookie).
    void append(const QString &name, const QString &value);
    void remove(const QString &name);
    bool contains(const QString &name) const;
    // The value of the field, all values joined by ", " when it repeats; null when absent.
    QString value(const QString &name) const;
    QStringList values(const QString &name) const;

    const QList<Field> &fields() const { return m_fields; }
    bool isEmpty() const { return m_fields.isEmpty(); }
    void clear() { m_fields.clear(); }
    // Keeps only the fields whose names are listed.
    void keepOnly(const QStringList &names);

private:
    QList<Field> m_fields;
};
