#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

// Draws the alert panel's icons, named by their resource paths ("://Resources/...png"), at a given
// size, and keeps what it drew. Alarms are red circles, warnings amber triangles; the state is the
// sign drawn on them.
class AlertIconPainter
{
public:
    // Null pixmap for a name that is not one of the panel's icons.
    QPixmap pixmap(const QString &path, int size);
    static bool isKnownIcon(const QString &path);

private:
    static QPixmap draw(const QString &path, int size);
    QHash<QString, QPixmap> m_cache;
};
