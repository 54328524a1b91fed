#include "settingfield.h"

#include "esruntime.h"
#include "essetup.h"
#include "esunitconverter.h"
#include "serializableclass.h"
#include "validators.h"

#include <QLocale>
#include <QMetaProperty>

#include <cmath>

namespace {

const QString kDepth = QStringLiteral("depth");
const QString kSpeed = QStringLiteral("speed");

QString spaced(QString text)
{
    return text.replace(QLatin1Char('_'), QLatin1Char(' '));
}

// Choices of a property whose list lives elsewhere: the runtime values, or the labels of the
// bottom-bar panels.
QStringList setupInformationChoices(const QString &listName)
{
    QStringList out;
    if (listName == QLatin1String("RuntimeInformation")) {
        for (const PropertyMetadata &p : ClassMetadata::of(&ESRuntime::staticMetaObject).properties())
            out << p.nameToDisplay();
        return out;
    }
    const ClassMetadata &bars = ClassMetadata::of(&ESBottomBars::staticMetaObject);
    const QString prefix = listName.startsWith(QLatin1String("Range")) ? QStringLiteral("RangeSetupInformationToDisplay")
                                                                       : QStringLiteral("SetupInformationToDisplay");
    for (const QString &entry : bars.classEntryNames()) {
        if (entry.startsWith(prefix))
            out << bars.classEntry(entry).split(QLatin1Char(';'));
    }
    return out;
}

}

DisplayUnits DisplayUnits::of(const ESOptionsSetup *options)
{
    return options ? DisplayUnits(qBound(0, options->ScalesDepth(), 2), qBound(0, options->ScalesSpeed(), 2))
                   : DisplayUnits();
}

QString DisplayUnits::depthUnitText(int unit)
{
    static const char *const texts[] = {"m", "ft", "fm"};
    return QLatin1String(texts[qBound(0, unit, 2)]);
}

bool DisplayUnits::converts(const PropertyMetadata &meta) const
{
    const QString m = meta.value(QStringLiteral("measurement"));
    if (m == kDepth)
        return meta.unit() == QLatin1String("m") || meta.kind() == QLatin1String("enumWithDifferentUnits");
    if (m == kSpeed)
        return meta.unit() == QLatin1String("kn");
    return false;
}

QString DisplayUnits::unitText(const PropertyMetadata &meta) const
{
    if (converts(meta)) {
        if (meta.value(QStringLiteral("measurement")) == kDepth)
            return depthUnitText(m_depth);
        static const char *const speeds[] = {"kn", "m/s", "mi/h"};
        return QLatin1String(speeds[qBound(0, m_speed, 2)]);
    }
    return meta.unit();
}

double DisplayUnits::toShown(const PropertyMetadata &meta, double stored) const
{
    if (!converts(meta))
        return stored;
    if (meta.value(QStringLiteral("measurement")) == kDepth)
        return depthToShown(stored);
    return ESUnitConverter::convertSpeed(float(stored), 0, m_speed);
}

double DisplayUnits::toStored(const PropertyMetadata &meta, double shown) const
{
    if (!converts(meta))
        return shown;
    if (meta.value(QStringLiteral("measurement")) == kDepth)
        return depthToStored(shown);
    return ESUnitConverter::convertSpeed(float(shown), m_speed, 0);
}

double DisplayUnits::depthToShown(double metres) const
{
    return ESUnitConverter::convertDepth(float(metres), 0, m_depth);
}

double DisplayUnits::depthToStored(double shown) const
{
    // Through double precision: a figure typed in feet must come back as the same metres.
    static const double metresPer[] = {1.0, 0.3048, 1.8288};
    return shown * metresPer[qBound(0, m_depth, 2)];
}

SettingField::SettingField(SerializableClass *object, const PropertyMetadata &meta, const DisplayUnits &units)
    : m_object(object), m_meta(meta), m_units(units)
{
    const int index = object->metaObject()->indexOfProperty(meta.propertyName().toLatin1().constData());
    m_type = index >= 0 ? object->metaObject()->property(index).userType() : QMetaType::UnknownType;
}

QString SettingField::label() const
{
    return spaced(m_meta.nameToDisplay());
}

SettingField::Editor SettingField::editor() const
{
    const QString kind = m_meta.kind();
    if (kind == QLatin1String("runtime") || kind == QLatin1String("valueFromEnum")
        || !m_meta.flag(QStringLiteral("changeable"), true))
        return Editor::ReadOnly;
    if (kind.contains(QLatin1String("enum")))
        return Editor::Choice;
    if (m_type == QMetaType::QString || !m_meta.isNumeric())
        return Editor::Text;
    return Editor::Number;
}

bool SettingField::isProtected() const
{
    return m_meta.flag(QStringLiteral("isProtected"), false);
}

bool SettingField::isLocal() const
{
    return m_meta.flag(QStringLiteral("isLocal"), false);
}

bool SettingField::isValid() const
{
    return m_object->isValid(name());
}

bool SettingField::isWithinLimits() const
{
    const QVariant v = m_object->property(name().toLatin1().constData());
    QString text;
    if (m_type == QMetaType::Double || m_type == QMetaType::Float)
        text = QString::number(v.toDouble(), 'g', 12);
    else
        text = v.toString();
    return m_object->validateText(name(), text);
}

QString SettingField::valueText() const
{
    const QVariant v = m_object->property(name().toLatin1().constData());
    if (m_meta.kind().contains(QLatin1String("enum"))) {
        const int index = v.toInt();
        const QStringList list = choices();
        return index >= 0 && index < list.size() ? list.at(index) : QString::number(index);
    }
    if (m_type == QMetaType::QString || !m_meta.isNumeric()) {
        const QString text = v.toString();
        return text.isEmpty() ? QStringLiteral("-") : text;
    }
    const double shown = m_units.toShown(m_meta, v.toDouble());
    const Limits l = limits();
    if (l.hasException && v.toDouble() == l.exception && l.exception == 0.0)
        return QStringLiteral("Off");
    return formatNumber(shown);
}

QStringList SettingField::choices() const
{
    QStringList list;
    const QString kind = m_meta.kind();
    if (kind == QLatin1String("enumWithDifferentUnits"))
        list = m_meta.enumListForDepthUnit(m_units.depthUnit());
    else if (kind == QLatin1String("runtimeSetupInfoEnum"))
        list = setupInformationChoices(m_meta.enumList().value(0));
    else
        list = m_meta.enumList();
    for (QString &c : list)
        c = spaced(c);
    return list;
}

int SettingField::currentChoice() const
{
    return m_object->property(name().toLatin1().constData()).toInt();
}

SettingField::Limits SettingField::limits() const
{
    Limits l;
    auto validator = createValidator(m_meta.validatorDescription());
    if (auto *i = dynamic_cast<IntValidator *>(validator.get())) {
        l = {true, true, double(i->bottom()), double(i->top()), false, 0.0};
    } else if (auto *u = dynamic_cast<UintValidator *>(validator.get())) {
        l = {true, true, double(u->bottom()), double(u->top()), false, 0.0};
    } else if (auto *f = dynamic_cast<FloatValidator *>(validator.get())) {
        l = {true, false, f->bottom(), f->top(), f->exceptionValue() != FloatValidator::noException,
             f->exceptionValue()};
    }
    if (m_type == QMetaType::Int || m_type == QMetaType::UInt)
        l.integer = true;
    return l;
}

bool SettingField::isInteger() const
{
    return limits().integer;
}

int SettingField::decimals() const
{
    if (isInteger())
        return 0;
    bool ok = false;
    const int given = m_meta.value(QStringLiteral("numberOfDecimals")).toInt(&ok);
    if (ok)
        return qBound(0, given, 6);
    return m_units.converts(m_meta) ? 1 : 2;
}

double SettingField::minimum() const
{
    const Limits l = limits();
    if (!l.known)
        return -1e9;
    const double p = std::pow(10.0, decimals());
    return std::ceil(m_units.toShown(m_meta, l.bottom) * p - 1e-6) / p;
}

double SettingField::maximum() const
{
    const Limits l = limits();
    if (!l.known)
        return 1e9;
    const double p = std::pow(10.0, decimals());
    return std::floor(m_units.toShown(m_meta, l.top) * p + 1e-6) / p;
}

bool SettingField::hasExceptionValue() const
{
    return limits().hasException;
}

double SettingField::exceptionValue() const
{
    return m_units.toShown(m_meta, limits().exception);
}

double SettingField::currentNumber() const
{
    return m_units.toShown(m_meta, m_object->property(name().toLatin1().constData()).toDouble());
}

QString SettingField::formatNumber(double shown) const
{
    return QLocale::c().toString(shown, 'f', decimals());
}

QString SettingField::rangeText() const
{
    if (!limits().known)
        return QString();
    QString text = QStringLiteral("%1 to %2").arg(formatNumber(minimum()), formatNumber(maximum()));
    if (!unit().isEmpty())
        text += QLatin1Char(' ') + unit();
    if (hasExceptionValue())
        text += QStringLiteral(", or %1 for off").arg(formatNumber(exceptionValue()));
    return text;
}

QString SettingField::textHint() const
{
    const QString description = m_meta.validatorDescription();
    const QString kind = description.section(QLatin1Char(';'), 0, 0).toLower();
    if (kind == QLatin1String("ip"))
        return QStringLiteral("IP address, for instance 192.168.1.20");
    if (kind == QLatin1String("sfi"))
        return QStringLiteral("two letters and four digits, for instance SD0109");
    if (kind == QLatin1String("regex"))
        return QStringLiteral("pattern %1").arg(description.section(QLatin1Char(';'), 1));
    return QString();
}

QString SettingField::storedText(const QString &entered, QString *why) const
{
    if (editor() != Editor::Number)
        return entered;
    bool ok = false;
    const double shown = QLocale::c().toDouble(entered.trimmed(), &ok);
    if (!ok) {
        if (why)
            *why = QStringLiteral("not a number");
        return QString();
    }
    if (isInteger()) {
        if (shown != std::floor(shown)) {
            if (why)
                *why = QStringLiteral("a whole number is needed");
            return QString();
        }
        return QString::number(qint64(shown));
    }
    const Limits l = limits();
    // The "off" figure is taken as it is, whatever the unit.
    if (l.hasException && std::abs(shown - exceptionValue()) < 1e-9)
        return QString::number(l.exception, 'g', 12);
    return QString::number(m_units.toStored(m_meta, shown), 'g', 12);
}

bool SettingField::apply(const QString &entered, QString *why) const
{
    if (isReadOnly()) {
        if (why)
            *why = QStringLiteral("this setting cannot be changed here");
        return false;
    }
    QString reason;
    const QString text = storedText(entered, &reason);
    if (text.isEmpty() && !reason.isEmpty()) {
        if (why)
            *why = reason;
        return false;
    }
    if (!m_object->validateText(name(), text, &reason)) {
        if (reason.isEmpty())
            reason = editor() == Editor::Text ? QStringLiteral("expected: %1").arg(textHint())
                                              : QStringLiteral("not accepted");
        if (editor() == Editor::Number && m_units.converts(m_meta))
            reason += QStringLiteral(" (in %1: %2)").arg(unit(), rangeText());
        if (why)
            *why = reason;
        return false;
    }
    if (!m_object->changeValue(name(), text)) {
        if (why)
            *why = QStringLiteral("the value could not be stored");
        return false;
    }
    return true;
}
