#include "platform/userdefaults.h"

#include "platform/archive.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int saveDelayMs = 500;
constexpr int retryDelayMs = 10000;

enum class Kind { None, String, Number, Date, Data, Array, Dictionary };

Kind kindOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return Kind::String;
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return Kind::Number;
    case QMetaType::QDateTime:
        return Kind::Date;
    case QMetaType::QByteArray:
        return Kind::Data;
    case QMetaType::QVariantList:
        return Kind::Array;
    case QMetaType::QVariantMap:
        return Kind::Dictionary;
    default:
        return Kind::None;
    }
}

// The stored form of a value, or nothing when the store cannot hold it.
std::optional<QVariant> storableValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return QVariant(value.toLongLong());
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return QVariant(value.toLongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QVariant(value.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        return date.isValid() ? std::optional<QVariant>(date.toUTC()) : std::nullopt;
    }
    case QMetaType::QColor:
    case QMetaType::QImage: {
        const QByteArray blob = Archive::archive(value);
        return blob.isEmpty() ? std::nullopt : std::optional<QVariant>(blob);
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant &element : value.toList()) {
            const auto stored = storableValue(element);
            if (!stored)
                return std::nullopt;
            list.append(*stored);
        }
        return list;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            const auto stored = storableValue(it.value());
            if (!stored)
                return std::nullopt;
            map.insert(it.key(), *stored);
        }
        return map;
    }
    default:
        return std::nullopt;
    }
}

// A persisted value counts only when it is of the registered default's kind; under a key whose
// default is a colour, only when it is a blob that holds a colour.
bool fitsDefault(const QVariant &persisted, const QVariant &registered)
{
    if (kindOf(persisted) != kindOf(registered))
        return false;
    if (registered.typeId() != QMetaType::QByteArray ||
        !Archive::unarchiveColor(registered.toByteArray()).isValid())
        return true;
    return Archive::unarchiveColor(persisted.toByteArray()).isValid();
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.typeId() == b.typeId() && a == b;
}

bool isTrueString(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare("yes"_L1, Qt::CaseInsensitive) == 0 ||
        trimmed.compare("true"_L1, Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const qint64 number = trimmed.toLongLong(&ok);
    return ok && number != 0;
}

qint64 truncatedInteger(double number)
{
    if (!std::isfinite(number))
        return 0;
    if (number >= 9.2233720368547758e18)
        return std::numeric_limits<qint64>::max();
    if (number <= -9.2233720368547758e18)
        return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(number));
}

} // namespace

UserDefaults::UserDefaults(const QString &folder, QObject *parent)
    : QObject(parent), m_file(folder), m_saveTimer(new QTimer(this))
{
    // Observers and the save timer belong to the main thread, wherever the store is made.
    if (auto *app = QCoreApplication::instance(); app && !parent && thread() != app->thread())
        moveToThread(app->thread());
    m_saveTimer->setSingleShot(true);
    connect(m_saveTimer, &QTimer::timeout, this, &UserDefaults::saveIfChanged);
    const QVariantMap stored = m_file.read();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        m_values.insert(it.key(), it.value());
}

UserDefaults::~UserDefaults()
{
    bool changed = false;
    {
        std::lock_guard lock(m_mutex);
        changed = m_changeCount != m_savedChangeCount;
    }
    if (changed)
        save();
}

UserDefaults &UserDefaults::standardUserDefaults()
{
    static UserDefaults *const instance = [] {
        auto *defaults = new UserDefaults(Paths::configFolder());
        if (auto *app = QCoreApplication::instance())
            defaults->setParent(app);
        return defaults;
    }();
    return *instance;
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    std::lock_guard lock(m_mutex);
    return effectiveValueLocked(key);
}

QVariant UserDefaults::effectiveValueLocked(const QString &key) const
{
    const auto registered = m_registered.constFind(key);
    const auto persisted = m_values.constFind(key);
    if (persisted != m_values.cend() &&
        (registered == m_registered.cend() || fitsDefault(*persisted, *registered)))
        return *persisted;
    if (registered != m_registered.cend())
        return *registered;
    return {};
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return {};
    }
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return value.toLongLong();
    case QMetaType::Double:
        return truncatedInteger(value.toDouble());
    case QMetaType::QString: {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok ? truncatedInteger(number) : 0;
    }
    default:
        return 0;
    }
}

double UserDefaults::doubleForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Bool:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString().trimmed().toDouble();
    default:
        return 0.0;
    }
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString:
        return isTrueString(value.toString());
    default:
        return false;
    }
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

QVariantList UserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
}

QVariantMap UserDefaults::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QDateTime UserDefaults::dateForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime() : QDateTime();
}

QColor UserDefaults::colorForKey(const QString &key) const
{
    return Archive::unarchiveColor(dataForKey(key));
}

QImage UserDefaults::imageForKey(const QString &key) const
{
    return Archive::unarchiveImage(dataForKey(key));
}

bool UserDefaults::setObject(const QVariant &value, const QString &key)
{
    return updateObject(key, [&value](const QVariant &) { return value; });
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    setObject(QVariant(), key);
}

bool UserDefaults::updateObject(const QString &key, const Update &update)
{
    QString refusedType;
    {
        std::lock_guard lock(m_mutex);
        const QVariant updated = update(effectiveValueLocked(key));
        if (!updated.isValid())
            storeLocked(key, QVariant());
        else if (const auto storable = storableValue(updated))
            storeLocked(key, *storable);
        else
            refusedType = QString::fromLatin1(updated.typeName());
    }
    if (!refusedType.isEmpty()) {
        qWarning().noquote()
            << u"Settings: a value of type %1 cannot be stored under \"%2\"; it was not saved"_s.arg(
                   refusedType, key);
    }
    dispatchDeliveries();
    return refusedType.isEmpty();
}

void UserDefaults::storeLocked(const QString &key, const QVariant &value)
{
    const QVariant before = effectiveValueLocked(key);
    const auto persisted = m_values.find(key);
    if (!value.isValid()) {
        if (persisted == m_values.end())
            return;
        m_values.erase(persisted);
    } else if (persisted == m_values.end()) {
        m_values.insert(key, value);
    } else if (sameValue(*persisted, value)) {
        return;
    } else {
        *persisted = value;
    }
    ++m_changeCount;
    scheduleSaveLocked();
    noteChangeLocked(key, before);
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    {
        std::lock_guard lock(m_mutex);
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
            const auto storable = storableValue(it.value());
            if (!storable) {
                qWarning().noquote()
                    << u"Settings: the default for \"%1\" has a type (%2) that cannot be stored; ignored"_s
                           .arg(it.key(), QString::fromLatin1(it.value().typeName()));
                continue;
            }
            const QVariant before = effectiveValueLocked(it.key());
            m_registered.insert(it.key(), *storable);
            noteChangeLocked(it.key(), before);
        }
    }
    dispatchDeliveries();
}

void UserDefaults::noteChangeLocked(const QString &key, const QVariant &before)
{
    const QVariant after = effectiveValueLocked(key);
    if (sameValue(before, after))
        return;
    ++m_generation;
    for (const auto &[id, observation] : m_observations) {
        if (observation.key == key)
            m_pendingDeliveries.push_back({id, m_generation, after});
    }
}

UserDefaults::ObservationId UserDefaults::observe(const QString &key, QObject *context, Observer callback)
{
    ObservationId id = 0;
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_observations, [](const auto &entry) {
            return entry.second.hasContext && entry.second.context.isNull();
        });
        id = m_nextObservationId++;
        m_observations.emplace(id, Observation{key, context, context != nullptr, std::move(callback), 0});
        m_pendingDeliveries.push_back({id, m_generation, effectiveValueLocked(key)});
    }
    dispatchDeliveries();
    return id;
}

void UserDefaults::removeObservation(ObservationId id)
{
    std::lock_guard lock(m_mutex);
    m_observations.erase(id);
}

bool UserDefaults::isMainThread() const
{
    return QThread::currentThread() == thread();
}

// Runs the pending callbacks at once on the main thread; from another thread, wakes the main
// thread once for all of them. The wake-up carries no data: the queue is shared under m_mutex.
void UserDefaults::dispatchDeliveries()
{
    if (isMainThread()) {
        deliverPending();
        return;
    }
    std::lock_guard lock(m_mutex);
    if (m_pendingDeliveries.empty() || m_deliveryPosted)
        return;
    m_deliveryPosted = true;
    QMetaObject::invokeMethod(this, "deliverPending", Qt::QueuedConnection);
}

void UserDefaults::deliverPending()
{
    std::vector<Delivery> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_pendingDeliveries);
        m_deliveryPosted = false;
    }
    for (const Delivery &delivery : batch)
        deliver(delivery);
}

void UserDefaults::deliver(const Delivery &delivery)
{
    Observer callback;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_observations.find(delivery.id);
        if (found == m_observations.end())
            return;
        Observation &observation = found->second;
        if (observation.hasContext && observation.context.isNull()) {
            m_observations.erase(found);
            return;
        }
        if (delivery.generation < observation.lastGeneration)
            return;
        observation.lastGeneration = delivery.generation;
        callback = observation.callback;
    }
    callback(delivery.value);
}

void UserDefaults::scheduleSaveLocked()
{
    if (m_saveScheduled)
        return;
    m_saveScheduled = true;
    if (isMainThread())
        m_saveTimer->start(saveDelayMs);
    else
        QMetaObject::invokeMethod(this, "startSaveTimer", Qt::QueuedConnection);
}

void UserDefaults::startSaveTimer()
{
    m_saveTimer->start(saveDelayMs);
}

void UserDefaults::saveIfChanged()
{
    {
        std::lock_guard lock(m_mutex);
        m_saveScheduled = false;
        if (m_changeCount == m_savedChangeCount)
            return;
    }
    if (save())
        return;
    // Try again later unless the file must never be replaced.
    std::lock_guard lock(m_mutex);
    if (m_file.isWritable() && !m_saveScheduled) {
        m_saveScheduled = true;
        m_saveTimer->start(retryDelayMs);
    }
}

bool UserDefaults::synchronize()
{
    return save();
}

QString UserDefaults::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_errorString;
}

bool UserDefaults::save()
{
    std::lock_guard saveLock(m_saveMutex);
    QVariantMap snapshot;
    quint64 changeCount = 0;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            snapshot.insert(it.key(), it.value());
        changeCount = m_changeCount;
    }
    const QString error = m_file.write(snapshot);
    {
        std::lock_guard lock(m_mutex);
        m_errorString = error;
        if (error.isEmpty())
            m_savedChangeCount = std::max(m_savedChangeCount, changeCount);
    }
    if (!error.isEmpty())
        qWarning().noquote() << u"Settings were not saved: %1"_s.arg(error);
    return error.isEmpty();
}
