#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A file in the desktop-entry format: "[Group]" headers, "Key=Value" and "Key[locale]=Value"
// entries, comments. Desktop files, autostart entries and mimeapps.list all use it.
//
// Editing keeps every line it does not change byte for byte (comments, unknown groups, lines it
// cannot parse, text that is not UTF-8), so rewriting another program's file loses nothing.
// Of a group or key written twice, the first counts.
class KeyFile {
public:
    KeyFile() = default;
    static KeyFile fromText(const QByteArray &text);
    // The file's content; nullopt when it cannot be read (the reason in `error`). A missing file
    // is an empty KeyFile when `missingIsEmpty` is set, else a failure.
    static std::optional<KeyFile> read(const QString &path, bool missingIsEmpty, QString *error);

    QByteArray toText() const;

    bool hasGroup(const QString &group) const;
    bool contains(const QString &group, const QString &key) const;
    // The value as written, before unescaping; nullopt when absent.
    std::optional<QString> rawValue(const QString &group, const QString &key) const;
    // The value with the escapes \s \n \t \r \\ decoded; empty when absent.
    QString string(const QString &group, const QString &key) const;
    // The value as a ";"-separated list ("\;" stands for a ";" in an element); empty when absent.
    QStringList list(const QString &group, const QString &key) const;
    // "true" or "false"; `fallback` when absent or anything else.
    bool boolean(const QString &group, const QString &key, bool fallback) const;
    // The value for the locale ("de_AT"), trying "Key[de_AT]", "Key[de]", then "Key".
    QString localeString(const QString &group, const QString &key, const QString &locale) const;
    // The keys of the group in file order, each once.
    QStringList keys(const QString &group) const;

    // Replaces the first entry of the key, or adds one after the group's last entry, or adds the
    // group at the end. `rawValue` is written as it is (see escapeString and escapeList).
    void setRawValue(const QString &group, const QString &key, const QString &rawValue);
    void setString(const QString &group, const QString &key, const QString &value);
    void remove(const QString &group, const QString &key);

    static QString escapeString(const QString &value);
    static QString escapeList(const QStringList &values);

private:
    struct Line {
        enum class Kind { Other, Group, Entry };
        Kind kind = Kind::Other;
        QByteArray raw; // without the line break
        QString name;   // the group's name, or the entry's key (with any [locale])
        QString value;  // an entry's raw value
        int group = -1; // index of the group the line is in; -1 before the first group
    };

    static Line parseLine(const QByteArray &raw, int currentGroup);
    int groupIndex(const QString &group) const;
    const Line *entry(const QString &group, const QString &key) const;
    void renumberGroups();

    std::vector<Line> m_lines;
    bool m_endsWithNewline = true;
};
