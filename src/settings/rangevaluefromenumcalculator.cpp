#include "rangevaluefromenumcalculator.h"

#include "essetup.h"
#include "settingsmetadata.h"

#include <QDebug>

RangeValueFromEnumCalculator &RangeValueFromEnumCalculator::instance()
{
    static RangeValueFromEnumCalculator *calculator = new RangeValueFromEnumCalculator(
        ClassMetadata::of(&EsTransducerSetup::staticMetaObject).property(QStringLiteral("Range"))->entry());
    return *calculator;
}

RangeValueFromEnumCalculator::RangeValueFromEnumCalculator(const QString &rangeEntry, QObject *parent)
    : QObject(parent)
{
    for (const QString &token : rangeEntry.split(QLatin1Char(' '))) {
        if (!token.contains(QLatin1String("enumList")))
            continue;
        const QStringList keyAndValue = token.split(QLatin1Char('='));
        const QString key = keyAndValue.value(0);
        QList<float> *list = nullptr;
        if (key.contains(QLatin1String("Meters")))
            list = &m_meters;
        else if (key.contains(QLatin1String("Feet")))
            list = &m_feet;
        else if (key.contains(QLatin1String("Fathoms")))
            list = &m_fathoms;
        if (!list)
            continue;
        for (const QString &item : keyAndValue.value(1).split(QLatin1Char(';'))) {
            bool ok = false;
            const float value = item.toFloat(&ok);
            if (!ok) {
                qDebug() << "Wrong value in range enum list (RangeValueFromEnumCalculator::RangeValueFromEnumCalculator)!";
                throw "Wrong value in range enum list";
            }
            list->append(value);
        }
    }
}

float RangeValueFromEnumCalculator::rangeValue(int index, int depthUnit) const
{
    const QList<float> *list = depthUnit == 0 ? &m_meters : depthUnit == 1 ? &m_feet : depthUnit == 2 ? &m_fathoms : nullptr;
    if (!list) {
        qDebug() << "Error in ESUnitConverter: enum of type enum_ScalesDepth not handled in conversion!" << depthUnit;
        throw "Error in ESUnitConverter: enum of type enum_ScalesDepth not handled in conversion!";
    }
    if (index < 0 || index >= list->size()) {
        qDebug() << "Range index outside the range list:" << index;
        throw "Range index outside the range list";
    }
    return list->at(index);
}
