#include "services/operations/serviceerror.h"

#include "support/http/httperror.h"
#include "support/json/jsonerror.h"

ServiceError ServiceError::fromHTTPError(const HTTPError &error)
{
    ServiceError result;
    result.domain = error.domain;
    result.code = error.code;
    result.localizedDescription = error.localizedDescription;
    result.failureReason = error.failureReason;
    if (!error.underlyingError.isEmpty())
        result.userInfo.insert(underlyingTransportMessageKey(), error.underlyingError);
    return result;
}

ServiceError ServiceError::fromJSONError(const JSONError &error)
{
    ServiceError result;
    result.domain = error.domain;
    result.code = error.code;
    result.localizedDescription = error.message;
    result.userInfo = error.userInfo;
    return result;
}
