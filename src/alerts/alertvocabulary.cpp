#include "alertvocabulary.h"

#include "esalerts.h"

#include <QDebug>
#include <QMetaClassInfo>

const QStringList &AlertVocabulary::stateNames()
{
    static const QStringList names = {QStringLiteral("ActiveUnacknowledged"),
                                      QStringLiteral("ActiveSilenced"),
                                      QStringLiteral("ActiveAcknowledged"),
                                      QStringLiteral("ActiveResponsibilityTransferred"),
                                      QStringLiteral("RectifiedUnacknowledged"),
                                      QStringLiteral("Normal")};
    return names;
}

const QStringList &AlertVocabulary::priorityNames()
{
    static const QStringList names = {QStringLiteral("Alarm"), QStringLiteral("Alert"), QStringLiteral("Caution"),
                                      QStringLiteral("EmergencyAlarm")};
    return names;
}

const QStringList &AlertVocabulary::categoryNames()
{
    static const QStringList names = {QStringLiteral("CatA"), QStringLiteral("CatB"), QStringLiteral("CatC")};
    return names;
}

const QStringList &AlertVocabulary::escalationNames()
{
    static const QStringList names = {QStringLiteral("None"), QStringLiteral("WarningToWarning"),
                                      QStringLiteral("WarningToAlarm"), QStringLiteral("AlarmToAlarm")};
    return names;
}

int AlertVocabulary::panelGroup(int priority)
{
    switch (priority) {
    case Alarm:
    case EmergencyAlarm:
        return Alarm;
    case Warning:
    case Caution:
        return Warning;
    default:
        return -1;
    }
}

QString AlertVocabulary::iconPath(int group, int state)
{
    // The file names are the ones the screens have always used, spelling included.
    static const QStringList files = {QStringLiteral("ActiveUnacknowledged.png"), QStringLiteral("ActiveSilenced.png"),
                                      QStringLiteral("ActiveAcknowedged.png"),
                                      QStringLiteral("ActiveResponsibilityTransfered.png"),
                                      QStringLiteral("RectifiedUnacknowledged.png")};
    if (state < ActiveUnacknowledged || state >= Normal || (group != Alarm && group != Warning))
        return QString();
    return QStringLiteral("://Resources/") + (group == Warning ? QStringLiteral("W_") : QString()) + files.at(state);
}

QString AlertVocabulary::muteIconPath()
{
    return QStringLiteral("://Resources/MuteIcon.png");
}

QString AlertVocabulary::simulatorIconPath()
{
    return QStringLiteral("://Resources/SimulatorIcon.png");
}

QString AlertVocabulary::arrowUpIconPath()
{
    return QStringLiteral("://Resources/arrow_up.png");
}

QString AlertVocabulary::arrowDownIconPath()
{
    return QStringLiteral("://Resources/arrow_down.png");
}

QList<AlertDescriptor> AlertVocabulary::parseDescriptors(const QString &table)
{
    QList<AlertDescriptor> rows;
    for (const QString &line : table.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char(','));
        bool idOk = false;
        AlertDescriptor d;
        if (f.size() == 6) {
            d.name = f.at(0).trimmed();
            d.text = f.at(1).trimmed();
            d.identifier = f.at(2).trimmed().toInt(&idOk);
            d.priority = priorityNames().indexOf(f.at(3).trimmed());
            d.category = categoryNames().indexOf(f.at(4).trimmed());
            d.escalation = escalationNames().indexOf(f.at(5).trimmed());
        }
        if (!idOk || d.name.isEmpty() || d.priority < 0 || d.category < 0 || d.escalation < 0) {
            qDebug().noquote() << "Malformed alert table row: " + line;
            throw "Malformed alert table row";
        }
        rows.append(d);
    }
    return rows;
}

const QList<AlertDescriptor> &AlertVocabulary::descriptors()
{
    static const QList<AlertDescriptor> rows = [] {
        const QMetaObject &mo = ES_Alerts::staticMetaObject;
        const int index = mo.indexOfClassInfo("AlertsDescriptor");
        if (index < 0) {
            qDebug() << "Alert mirror class carries no alert table";
            throw "Alert mirror class carries no alert table";
        }
        return parseDescriptors(QString::fromUtf8(mo.classInfo(index).value()));
    }();
    return rows;
}

const AlertDescriptor *AlertVocabulary::descriptor(const QString &name)
{
    for (const AlertDescriptor &d : descriptors()) {
        if (d.name == name)
            return &d;
    }
    return nullptr;
}
