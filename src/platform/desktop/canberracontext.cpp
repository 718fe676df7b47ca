#include "platform/desktop/canberracontext.h"

#include "buildinfo.h"

#include <canberra.h>

CanberraContext::CanberraContext(Finished finished) : m_finished(std::move(finished)) {}

CanberraContext::~CanberraContext()
{
    close();
}

int CanberraContext::open()
{
    if (m_context)
        return CA_SUCCESS;
    int error = ca_context_create(&m_context);
    if (error != CA_SUCCESS) {
        m_context = nullptr;
        return error;
    }
    error = ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, buildinfo::applicationName,
                                    CA_PROP_APPLICATION_ID, buildinfo::bundleIdentifier, nullptr);
    if (error == CA_SUCCESS)
        error = ca_context_open(m_context);
    if (error != CA_SUCCESS)
        close(); // opened again at the next sound, when a device may have come
    return error;
}

void CanberraContext::close()
{
    if (m_context)
        ca_context_destroy(m_context);
    m_context = nullptr;
}

int CanberraContext::play(std::uint32_t id, const char *property, const QString &value)
{
    if (const int error = open(); error != CA_SUCCESS)
        return error;
    ca_proplist *properties = nullptr;
    int error = ca_proplist_create(&properties);
    if (error != CA_SUCCESS)
        return error;
    error = ca_proplist_sets(properties, property, value.toUtf8().constData());
    if (error == CA_SUCCESS)
        error = ca_context_play_full(m_context, id, properties, &CanberraContext::finishedCallback, this);
    ca_proplist_destroy(properties);
    return error;
}

void CanberraContext::finishedCallback(ca_context *, std::uint32_t id, int error, void *self)
{
    static_cast<CanberraContext *>(self)->m_finished(id, error);
}

QString CanberraContext::errorText(int error)
{
    return QString::fromUtf8(ca_strerror(error));
}
