#include "setupgroups.h"

#include "esdata.h"
#include "serializableclass.h"
#include "settingsmetadata.h"

namespace SetupGroups {

namespace {

using P = SetupGroupEntry::Protection;

const QString kTransducer1 = QStringLiteral("ESSetup/SetupSetup/TransducerSelectSetup/TransducerSetup1");
const QString kTransducer2 = QStringLiteral("ESSetup/SetupSetup/TransducerSelectSetup/TransducerSetup2");
const QString kOptions = QStringLiteral("ESSetup/SetupSetup/OptionsSetup");
const QStringList kUnitChoices = {QStringLiteral("ScalesDepth"), QStringLiteral("ScalesSpeed")};

QList<SetupGroup> build()
{
    // What the officer changes on watch comes first; service settings (protected) sit with the
    // transducers and the system pages.
    return {
        {QStringLiteral("Channel 1"), {{kTransducer1, P::OnlyOpen, {}, {}}}},
        {QStringLiteral("Channel 2"), {{kTransducer2, P::OnlyOpen, {}, {}}}},
        {QStringLiteral("Alarms"), {{QStringLiteral("ESSetup/AlertSetup"), P::Any, {}, {}},
                                    {QStringLiteral("ESSetup/AUXSetup"), P::Any, {}, {}}}},
        {QStringLiteral("Transducers"), {{kTransducer1, P::OnlyProtected, {}, {}},
                                         {kTransducer2, P::OnlyProtected, {}, {}},
                                         {kOptions, P::Any, {}, kUnitChoices},
                                         {QStringLiteral("ESSetup/AutoFunctionsSetup"), P::Any, {}, {}}}},
        {QStringLiteral("Display"), {{kOptions, P::Any, kUnitChoices, {}},
                                     {QStringLiteral("ESLocalSetup/RuntimeScreenSetupA"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/RuntimeScreenSetupB"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/RuntimeScreenSetupC"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/RuntimeScreenSetupD"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/OtherLocalSettings"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/DimmingSetupContainer"), P::Any, {}, {}},
                                     {QStringLiteral("ESLocalSetup/DimmingSetup"), P::Any, {}, {}}}},
        {QStringLiteral("Communications"), {{QStringLiteral("ESSetup/CommunicationsSetup"), P::Any, {}, {}}}},
        {QStringLiteral("Logging"), {{QStringLiteral("ESSetup/HistorySetup"), P::Any, {}, {}},
                                     {QStringLiteral("ESSetup/CommunicationsLoggingSetup"), P::Any, {}, {}}}},
        {QStringLiteral("System"), {{QStringLiteral("ESSetup/KX12Setup"), P::Any, {}, {}},
                                    {QStringLiteral("ESLocalSetup/DisplaySetup"), P::Any, {}, {}}}},
        {QStringLiteral("Diagnostics"), {{QStringLiteral("ESSetup/DiagnosticsSetup"), P::Any, {}, {}},
                                         {QStringLiteral("ESSetup/TestScreenSetup"), P::Any, {}, {}},
                                         {QStringLiteral("ESSetup/NoiseSelfTest"), P::Any, {}, {}},
                                         {QStringLiteral("ESSetup/SnrCalibSetup"), P::Any, {}, {}},
                                         {QStringLiteral("ESSetup/ScopeSetup"), P::Any, {}, {}},
                                         {QStringLiteral("ESSetup/OtherSettings"), P::Any, {}, {}}}},
    };
}

void collect(SerializableClass *object, const SetupGroupEntry &entry, QList<SetupSection> *out)
{
    SetupSection section;
    section.heading = headingOf(object);
    section.object = object;
    for (const PropertyMetadata &meta : ClassMetadata::of(object->metaObject()).properties()) {
        if (meta.isChild())
            continue;
        const QString name = meta.propertyName();
        if (!entry.only.isEmpty() && !entry.only.contains(name))
            continue;
        if (entry.except.contains(name))
            continue;
        const bool isProtected = meta.flag(QStringLiteral("isProtected"), false);
        if ((entry.protection == P::OnlyProtected && !isProtected) || (entry.protection == P::OnlyOpen && isProtected))
            continue;
        section.properties << name;
    }
    if (!section.properties.isEmpty())
        out->append(section);
    for (SerializableClass *child : object->serializableChildren())
        collect(child, entry, out);
}

}

const QList<SetupGroup> &all()
{
    static const QList<SetupGroup> groups = build();
    return groups;
}

int indexOf(const QString &title)
{
    const QList<SetupGroup> &groups = all();
    for (int i = 0; i < groups.size(); ++i) {
        if (groups.at(i).title == title)
            return i;
    }
    return -1;
}

SerializableClass *resolve(const ESData &data, const QString &path)
{
    const QStringList names = path.split(QLatin1Char('/'));
    SerializableClass *object = nullptr;
    for (SerializableClass *tree : data.trees()) {
        if (tree->objectName() == names.value(0))
            object = tree;
    }
    for (int i = 1; object && i < names.size(); ++i)
        object = object->child(names.at(i));
    return object;
}

QList<SetupSection> sections(const ESData &data, const SetupGroup &group)
{
    QList<SetupSection> out;
    for (const SetupGroupEntry &entry : group.entries) {
        if (SerializableClass *object = resolve(data, entry.path))
            collect(object, entry, &out);
    }
    return out;
}

QString headingOf(const SerializableClass *object)
{
    QString name = object->objectName();
    if (name.endsWith(QLatin1String("Setup")) && name.size() > 5)
        name.chop(5);
    QString out;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const QChar before = i > 0 ? name.at(i - 1) : QChar();
        const bool wordStart = i > 0
                               && ((c.isUpper() && before.isLower()) || (c.isDigit() && !before.isDigit())
                                   || (c.isUpper() && before.isUpper() && i + 1 < name.size() && name.at(i + 1).isLower()));
        if (wordStart)
            out += QLatin1Char(' ');
        out += c;
    }
    return out;
}

}
