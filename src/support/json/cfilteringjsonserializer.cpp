#include "cfilteringjsonserializer.h"

bool CFilteringJSONSerializer::writeObject(const QVariant &object, QByteArray *out, JSONError *outError)
{
    for (const Test &test : std::as_const(m_tests)) {
        const QString name = test(object);
        if (name.isEmpty())
            continue;
        const auto converter = m_convertersByName.constFind(name);
        if (converter == m_convertersByName.cend() || !*converter)
            continue;
        const QVariant converted = (*converter)(object);
        if (!converted.isValid())
            continue;
        if (converted.metaType().id() == QMetaType::QByteArray) {
            out->append(converted.toByteArray());
            return true;
        }
        // A converted value the plain rules cannot write leaves the decision to the next test.
        QByteArray written;
        if (writePlainObject(converted, &written, nullptr)) {
            out->append(written);
            return true;
        }
    }
    return writePlainObject(object, out, outError);
}
