#pragma once

#include <QList>
#include <QObject>

// Turns the range choice of a transducer (an index into a list that depends on the depth unit) into
// the range value, from the choice lists of the transducer settings' "Range" entry.
class RangeValueFromEnumCalculator : public QObject
{
    Q_OBJECT

public:
    static RangeValueFromEnumCalculator &instance();

    // Range value at `index` in depth unit 0 (m), 1 (ft) or 2 (fathoms); an index or unit outside
    // the lists is a programming error and throws.
    float rangeValue(int index, int depthUnit) const;
    const QList<float> &meters() const { return m_meters; }
    const QList<float> &feet() const { return m_feet; }
    const QList<float> &fathoms() const { return m_fathoms; }

    // Builds lists from a metadata entry; exposed so a wrong list can be shown to fail.
    explicit RangeValueFromEnumCalculator(const QString &rangeEntry, QObject *parent = nullptr);

private:
    QList<float> m_meters;
    QList<float> m_feet;
    QList<float> m_fathoms;
};
