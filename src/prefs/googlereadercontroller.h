#pragma once

#include <QWidget>
#include <memory>

class OperationQueue;
class QLineEdit;

// The reader-service pane. It owns the queue that the service's operations run on; its buttons
// do nothing in this version, and nothing typed into its fields is stored or logged.
class GoogleReaderController : public QWidget {
    Q_OBJECT
public:
    explicit GoogleReaderController(QWidget *parent = nullptr);
    ~GoogleReaderController() override;

    OperationQueue &operationQueue() const { return *m_operationQueue; }
    // The service keeps no passwords: there is never one to find.
    bool findPasswordForAccount(const QString &account) const;

private:
    QWidget *buildLoginTab();
    QWidget *buildSyncTab();

    std::unique_ptr<OperationQueue> m_operationQueue;
};
