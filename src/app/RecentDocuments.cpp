#include "app/RecentDocuments.h"

#include <QFileInfo>
#include <QSettings>

namespace quorvella {

namespace {

QString canonical(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

RecentDocuments::RecentDocuments(QObject *parent) : QObject(parent)
{}

QStringList RecentDocuments::paths() const
{
    return QSettings().value(QLatin1String(settingsKey)).toStringList();
}

void RecentDocuments::add(const QString &path)
{
    const QString file = canonical(path);
    QStringList list = paths();
    list.removeAll(file);
    list.prepend(file);
    while (list.size() > maximumCount)
        list.removeLast();
    store(list);
}

void RecentDocuments::remove(const QString &path)
{
    QStringList list = paths();
    if (list.removeAll(canonical(path)) > 0)
        store(list);
}

void RecentDocuments::clear()
{
    store({});
}

void RecentDocuments::store(const QStringList &list)
{
    QSettings settings;
    if (list.isEmpty())
        settings.remove(QLatin1String(settingsKey));
    else
        settings.setValue(QLatin1String(settingsKey), list);
    emit changed();
}

} // namespace quorvella
