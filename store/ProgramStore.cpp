#include "store/ProgramStore.h"

#include <memory>

namespace {

std::unique_ptr<ScheduleDocument> g_current;
int g_openings = 0;

}  // namespace

namespace ProgramStore {

QString defaultLocation()
{
    return ScheduleDocument::defaultLocation();
}

QString open(const QString& location)
{
    close();
    g_current = std::make_unique<ScheduleDocument>(location);
    QObject::connect(g_current.get(), &ScheduleDocument::changed, &StoreChanges::instance(), &StoreChanges::changed);
    ++g_openings;
    return g_current->keptAside();
}

void close()
{
    g_current.reset();
}

bool isOpen()
{
    return g_current != nullptr;
}

int openings()
{
    return g_openings;
}

QString location()
{
    return g_current ? g_current->location() : QString();
}

ScheduleDocument& document()
{
    if (!g_current)
        throw StoreError(QStringLiteral("データベースが開かれていません。"));
    return *g_current;
}

QSqlDatabase database()
{
    return document().database();
}

qint64 dataVersion()
{
    return document().dataVersion();
}

QSqlQuery exec(const QString& sql, const QVariantList& values)
{
    return document().exec(sql, values);
}

QVariant scalar(const QString& sql, const QVariantList& values, const QVariant& fallback)
{
    return document().scalar(sql, values, fallback);
}

}  // namespace ProgramStore

const CircuitSetting& CircuitSettingAt(int index)
{
    return ProgramStore::document().circuit(index);
}

void LoadCircuitSettings()
{
    ProgramStore::document().reloadCircuits();
}

void ResetCircuitSettings()
{
    ProgramStore::document().resetCircuits();
}
