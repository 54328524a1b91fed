#include "settingsmetadata.h"

#include <QDebug>
#include <QMetaClassInfo>
#include <QMetaObject>
#include <QMetaProperty>
#include <QMutex>
#include <QMutexLocker>

#include <memory>
#include <unordered_map>

PropertyMetadata::PropertyMetadata(const QString &propertyName, const QString &entry)
    : m_propertyName(propertyName), m_entry(entry)
{
    const QStringList tokens = entry.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        const int eq = token.indexOf(QLatin1Char('='));
        if (eq < 0) {
            m_values.insert(token, QString());
            continue;
        }
        const QString key = token.left(eq);
        const QString value = token.mid(eq + 1);
        m_values.insert(key, value);
        if (key == QLatin1String("defaultValue")) {
            m_hasDefault = true;
            m_default = value;
        } else if (key == QLatin1String("type")) {
            m_kind = value;
        } else if (key == QLatin1String("isNumeric")) {
            m_numeric = !value.contains(QLatin1String("false"));
        }
    }
}

QString PropertyMetadata::value(const QString &key, const QString &fallback) const
{
    return m_values.value(key, fallback);
}

bool PropertyMetadata::flag(const QString &key, bool fallback) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return fallback;
    return it.value() == QLatin1String("true");
}

bool PropertyMetadata::hasEffectiveDefault() const
{
    return m_hasDefault || m_kind.contains(QLatin1String("enum")) || m_kind.contains(QLatin1String("value"));
}

QString PropertyMetadata::effectiveDefault() const
{
    if (m_hasDefault)
        return m_default;
    if (m_kind.contains(QLatin1String("enum")))
        return QStringLiteral("0");
    if (m_kind.contains(QLatin1String("value")))
        return m_numeric ? QStringLiteral("0") : QStringLiteral("-/-");
    return QString();
}

QStringList PropertyMetadata::enumList() const
{
    const QString list = value(QStringLiteral("enumList"));
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(';'));
}

QStringList PropertyMetadata::enumListForDepthUnit(int unit) const
{
    static const char *const keys[] = {"enumListMeters", "enumListFeet", "enumListFathoms"};
    if (unit < 0 || unit > 2)
        return QStringList();
    const QString list = value(QLatin1String(keys[unit]));
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(';'));
}

QString PropertyMetadata::nameToDisplay() const
{
    const QString given = value(QStringLiteral("nameToDisplay"));
    if (!given.isEmpty())
        return given;
    // Labels follow the property name with "_" between its words.
    QString label;
    for (int i = 0; i < m_propertyName.size(); ++i) {
        const QChar c = m_propertyName.at(i);
        if (i > 0 && c.isUpper() && m_propertyName.at(i - 1).isLower())
            label += QLatin1Char('_');
        label += c;
    }
    return label;
}

ClassMetadata::ClassMetadata(const QMetaObject *metaObject)
{
    const int propertyCount = metaObject->propertyCount();
    const int infoCount = metaObject->classInfoCount();
    for (int i = 0; i < infoCount; ++i) {
        const QMetaClassInfo info = metaObject->classInfo(i);
        const QString name = QString::fromLatin1(info.name());
        const int propertyIndex = i + 1;
        if (propertyIndex < propertyCount) {
            const QString propertyName = QString::fromLatin1(metaObject->property(propertyIndex).name());
            if (propertyName != name) {
                qDebug() << "Class info entry out of order in" << metaObject->className() << ":" << name
                         << "describes property" << propertyName;
                throw "Settings class metadata does not follow its properties";
            }
            m_index.insert(name, m_properties.size());
            m_properties.append(PropertyMetadata(name, QString::fromUtf8(info.value())));
        } else {
            m_classEntries.insert(name, QString::fromUtf8(info.value()));
            m_classEntryOrder.append(name);
        }
    }
    if (m_properties.size() != propertyCount - 1) {
        qDebug() << "Settings class" << metaObject->className() << "has" << propertyCount - 1
                 << "properties but" << m_properties.size() << "metadata entries";
        throw "Settings class property without metadata entry";
    }
}

const PropertyMetadata *ClassMetadata::property(const QString &name) const
{
    const auto it = m_index.constFind(name);
    return it == m_index.constEnd() ? nullptr : &m_properties.at(it.value());
}

const ClassMetadata &ClassMetadata::of(const QMetaObject *metaObject)
{
    // Built once per class on first use and never changed afterwards.
    static QMutex mutex;
    static std::unordered_map<const QMetaObject *, std::unique_ptr<ClassMetadata>> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.find(metaObject);
    if (it == cache.end())
        it = cache.emplace(metaObject, std::unique_ptr<ClassMetadata>(new ClassMetadata(metaObject))).first;
    return *it->second;
}
