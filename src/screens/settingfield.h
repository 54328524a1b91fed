#pragma once

#include "settingsmetadata.h"

#include <QString>
#include <QStringList>

class ESOptionsSetup;
class SerializableClass;

// The unit system the operator chose: depths in m, ft or fathoms and speeds in kn, m/s or mi/h.
// Values are stored in metres and knots; what a property measures is said by its metadata.
class DisplayUnits
{
public:
    DisplayUnits() = default;
    DisplayUnits(int depthUnit, int speedUnit) : m_depth(depthUnit), m_speed(speedUnit) {}
    static DisplayUnits of(const ESOptionsSetup *options);

    int depthUnit() const { return m_depth; }
    int speedUnit() const { return m_speed; }
    static QString depthUnitText(int unit);

    // The unit shown for a property: its own unit text, or the chosen unit of what it measures.
    QString unitText(const PropertyMetadata &meta) const;
    bool converts(const PropertyMetadata &meta) const;
    double toShown(const PropertyMetadata &meta, double stored) const;
    double toStored(const PropertyMetadata &meta, double shown) const;

    double depthToShown(double metres) const;
    double depthToStored(double shown) const;

private:
    int m_depth = 0;
    int m_speed = 0;
};

// One settings property as the operator sees and edits it: label, value and unit in the chosen
// unit system, whether it may be changed, and the editor its kind needs. Everything comes from the
// property's metadata entry; a change goes through the object's own validator and its own change
// operation, which saves the file and sends the single-property text to the junction box.
class SettingField
{
public:
    enum class Editor { ReadOnly, Choice, Number, Text };

    SettingField(SerializableClass *object, const PropertyMetadata &meta, const DisplayUnits &units);

    SerializableClass *object() const { return m_object; }
    QString name() const { return m_meta.propertyName(); }
    const PropertyMetadata &metadata() const { return m_meta; }
    const DisplayUnits &units() const { return m_units; }

    QString label() const;
    QString unit() const { return m_units.unitText(m_meta); }
    Editor editor() const;
    // Read-only because the operator may not change it (not because of the service code).
    bool isReadOnly() const { return editor() == Editor::ReadOnly; }
    bool isProtected() const;
    bool isLocal() const;
    // The value has been set or confirmed (the object's valid mark).
    bool isValid() const;
    // The current value passes the property's own validator.
    bool isWithinLimits() const;
    QString valueText() const;

    // Choice editor.
    QStringList choices() const;
    int currentChoice() const;

    // Number editor, in the shown unit. The limits are rounded inwards to the shown decimals so
    // that every number the pad offers converts back inside the validator's range.
    bool isInteger() const;
    int decimals() const;
    double minimum() const;
    double maximum() const;
    bool hasExceptionValue() const;
    double exceptionValue() const;
    double currentNumber() const;
    QString formatNumber(double shown) const;
    QString rangeText() const;

    // Text editor: what the validator expects, in words or as its pattern.
    QString textHint() const;

    // Applies an entered text (a choice index for choices, a number in the shown unit, or a text).
    // A refused text changes nothing and *why tells the operator the reason.
    bool apply(const QString &entered, QString *why = nullptr) const;

private:
    struct Limits
    {
        bool known = false;
        bool integer = false;
        double bottom = 0.0;
        double top = 0.0;
        bool hasException = false;
        double exception = 0.0;
    };
    Limits limits() const;
    QString storedText(const QString &entered, QString *why) const;

    SerializableClass *m_object;
    PropertyMetadata m_meta;
    DisplayUnits m_units;
    int m_type;
};
