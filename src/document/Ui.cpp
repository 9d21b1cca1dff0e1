#include "document/Ui.h"

namespace quorvella {

int Ui::askChoice(const QString &message, const QString &informativeText,
                  const QStringList &choices)
{
    Q_UNUSED(message);
    Q_UNUSED(informativeText);
    Q_UNUSED(choices);
    return -1;
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty())
        return path;
    const QString suffix = QLatin1Char('.') + extension;
    return path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

} // namespace quorvella
