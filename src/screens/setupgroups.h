#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ESData;
class SerializableClass;

// The settings groups of the setup menu. A group names settings objects by their path in the
// settings trees and, where a group takes only part of an object, which of its properties; the
// pages themselves are built from the objects' metadata.
struct SetupGroupEntry
{
    enum class Protection { Any, OnlyProtected, OnlyOpen };

    QString path;                  // object names from the top object down, "/"-separated
    Protection protection = Protection::Any;
    QStringList only;              // these properties only (empty: all)
    QStringList except;            // all but these
};

struct SetupGroup
{
    QString title;
    QList<SetupGroupEntry> entries;
};

// One heading of a page with the properties shown under it.
struct SetupSection
{
    QString heading;
    SerializableClass *object = nullptr;
    QStringList properties;
};

namespace SetupGroups {

const QList<SetupGroup> &all();
int indexOf(const QString &title);

// The object at a path, or null.
SerializableClass *resolve(const ESData &data, const QString &path);
// The sections of a group: every leaf object below each entry with the properties the entry
// takes, in metadata order.
QList<SetupSection> sections(const ESData &data, const SetupGroup &group);
// "NmeaPort1Setup" -> "Nmea Port 1"
QString headingOf(const SerializableClass *object);

}
