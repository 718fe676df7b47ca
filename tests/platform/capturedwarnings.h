#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

// Collects the warnings logged while it lives, from any thread, instead of printing them.
class CapturedWarnings {
public:
    CapturedWarnings()
    {
        {
            std::lock_guard lock(s_mutex);
            s_messages.clear();
        }
        s_previous = qInstallMessageHandler(&CapturedWarnings::handle);
    }
    ~CapturedWarnings() { qInstallMessageHandler(s_previous); }
    CapturedWarnings(const CapturedWarnings &) = delete;
    CapturedWarnings &operator=(const CapturedWarnings &) = delete;

    QStringList messages() const
    {
        std::lock_guard lock(s_mutex);
        return s_messages;
    }

    QString joined() const { return messages().join(u'\n'); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtWarningMsg)
            return;
        std::lock_guard lock(s_mutex);
        s_messages.append(message);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline std::mutex s_mutex;
    static inline QStringList s_messages;
};
