#include "services/operations/bsoperation.h"

#include <QCoreApplication>

void BSOperation::handleException(const QString &exceptionText)
{
    ServiceError error;
    error.domain = commonsErrorDomain();
    error.code = 258;
    error.localizedDescription =
        QCoreApplication::translate("BSOperation", "Unhandled exception caught in %1: %2")
            .arg(QStringLiteral("-[BSOperation handleException:]"), exceptionText);
    error.userInfo.insert(underlyingExceptionErrorKey(), exceptionText);
    if (m_operationError)
        error.underlyingError = std::make_shared<const ServiceError>(*m_operationError);
    m_operationError = std::move(error);
}
