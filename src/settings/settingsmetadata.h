#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct QMetaObject;

// What one class-info entry says about one settings property: the blank-separated key=value tokens
// (types, validators, choice lists, defaults, labels, units). Generic code (defaults, validation,
// setup screens, range tables) reads properties only through this.
class PropertyMetadata
{
public:
    PropertyMetadata() = default;
    PropertyMetadata(const QString &propertyName, const QString &entry);

    QString propertyName() const { return m_propertyName; }
    QString entry() const { return m_entry; }
    QString kind() const { return m_kind; }
    bool hasKey(const QString &key) const { return m_values.contains(key); }
    QString value(const QString &key, const QString &fallback = QString()) const;
    bool flag(const QString &key, bool fallback) const;

    bool isChild() const { return m_kind == QLatin1String("child"); }
    bool isNumeric() const { return m_numeric; }
    bool hasDefault() const { return m_hasDefault; }
    // The default text after the rules for missing defaults: enums "0", numeric values "0",
    // texts "-/-"; empty with hasEffectiveDefault() false for kinds that keep their value.
    bool hasEffectiveDefault() const;
    QString effectiveDefault() const;

    QStringList enumList() const;
    // Choice list of an "enumWithDifferentUnits" property in depth unit 0 (m), 1 (ft) or 2 (fathoms).
    QStringList enumListForDepthUnit(int unit) const;
    QString validatorDescription() const { return value(QStringLiteral("validator")); }
    QString nameToDisplay() const;
    QString unit() const { return value(QStringLiteral("unit")); }

private:
    QString m_propertyName;
    QString m_entry;
    QString m_kind;
    QString m_default;
    bool m_hasDefault = false;
    bool m_numeric = true;
    QHash<QString, QString> m_values;
};

// The metadata of one settings class: one PropertyMetadata per property in meta-object order from
// index 1, and the class-level tables that follow the property entries.
class ClassMetadata
{
public:
    // Parsed once per class and kept; a mismatch between properties and entries is a programming
    // error and throws.
    static const ClassMetadata &of(const QMetaObject *metaObject);

    const QVector<PropertyMetadata> &properties() const { return m_properties; }
    const PropertyMetadata *property(const QString &name) const;
    QString classEntry(const QString &name) const { return m_classEntries.value(name); }
    QStringList classEntryNames() const { return m_classEntryOrder; }

private:
    explicit ClassMetadata(const QMetaObject *metaObject);

    QVector<PropertyMetadata> m_properties;
    QHash<QString, int> m_index;
    QHash<QString, QString> m_classEntries;
    QStringList m_classEntryOrder;
};
