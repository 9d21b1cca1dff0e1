#pragma once

// The File > Open Recent list: the documents opened or saved most
// recently, newest first, kept in the user's settings so they survive the
// session. Paths are stored absolute and without duplicates.

#include <QObject>
#include <QStringList>

namespace quorvella {

class RecentDocuments final : public QObject
{
    Q_OBJECT
public:
    static constexpr int maximumCount = 10;
    static constexpr char settingsKey[] = "RecentDocuments";

    explicit RecentDocuments(QObject *parent = nullptr);

    QStringList paths() const;

    // Puts path at the top, removing an older entry of the same file.
    void add(const QString &path);
    void remove(const QString &path);
    void clear();

signals:
    void changed();

private:
    void store(const QStringList &paths);
};

} // namespace quorvella
