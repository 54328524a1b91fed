#include "fieldschema.h"

#include <QDebug>
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLocale>
#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QRegularExpressionValidator>

namespace {

struct FieldConfig
{
    QString type;
    QString validator;
    uint fixedLength = 0;
    uint maxFieldLength = 0;
    uint fixedDigitsBeforePoint = 0;
    uint leastDecimalsReceived = 0;
    uint sendDecimals = 1;
    int validityLimit = ValidatedProperty::defaultValidityLimit;
    bool canBeNullField = true;
    bool hasDefault = false;
    QString defaultValue;
};

int integerKey(const QString &value, const char *propertyName, const QString &key)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok) {
        qDebug() << "void NmeaMessage::initializeProperties(): classinfo error: " << propertyName
                 << key;
        throw "void NmeaMessage::initializeProperties(): classinfo error!";
    }
    return number;
}

uint unsignedKey(const QString &value, const char *propertyName, const QString &key)
{
    const int number = integerKey(value, propertyName, key);
    if (number < 0) {
        qDebug() << "void NmeaMessage::initializeProperties(): classinfo error: " << propertyName
                 << key;
        throw "void NmeaMessage::initializeProperties(): classinfo error!";
    }
    return uint(number);
}

FieldConfig parseEntry(const QString &entry, const char *propertyName)
{
    FieldConfig config;
    const QStringList items = entry.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const int eq = item.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? item : item.left(eq);
        const QString value = eq < 0 ? QString() : item.mid(eq + 1);
        if (key == QLatin1String("type"))
            config.type = value;
        else if (key == QLatin1String("validator"))
            config.validator = value;
        else if (key == QLatin1String("fixedLength"))
            config.fixedLength = unsignedKey(value, propertyName, key);
        else if (key == QLatin1String("maxFieldLength"))
            config.maxFieldLength = unsignedKey(value, propertyName, key);
        else if (key == QLatin1String("fixedDigitsBeforePoint"))
            config.fixedDigitsBeforePoint = unsignedKey(value, propertyName, key);
        else if (key == QLatin1String("leastDecimalsReceived"))
            config.leastDecimalsReceived = unsignedKey(value, propertyName, key);
        else if (key == QLatin1String("sendDecimals"))
            config.sendDecimals = unsignedKey(value, propertyName, key);
        else if (key == QLatin1String("validityLimit"))
            config.validityLimit = integerKey(value, propertyName, key);
        else if (key == QLatin1String("canBeNullField")) {
            if (value == QLatin1String("false"))
                config.canBeNullField = false;
        } else if (key == QLatin1String("defaultValue")) {
            config.hasDefault = true;
            config.defaultValue = value;
        } else {
            qDebug() << "void NmeaMessage::initializeProperties(): classinfo field error: "
                     << propertyName << " " << key;
            throw "void NmeaMessage::initializeProperties(): classinfo field error!";
        }
    }
    return config;
}

bool parseBounds(const QString &text, double &bottom, double &top)
{
    const QStringList bounds = text.split(QLatin1Char(';'));
    if (bounds.size() != 2)
        return false;
    bool okBottom = false;
    bool okTop = false;
    bottom = bounds.at(0).toDouble(&okBottom);
    top = bounds.at(1).toDouble(&okTop);
    return okBottom && okTop;
}

} // namespace

namespace FieldSchema {

QValidator *createValidator(const QString &type, const QString &validatorText)
{
    if (validatorText.isEmpty())
        return nullptr;
    double bottom = 0;
    double top = 0;
    if (type == QLatin1String("float")) {
        if (!parseBounds(validatorText, bottom, top)) {
            qDebug() << "QValidator *NmeaMessage::createValidator: classinfo error : "
                     << validatorText;
            throw "QValidator *NmeaMessage::createValidator: classinfo error!";
        }
        auto *validator = new QDoubleValidator(bottom, top, 1000);
        validator->setNotation(QDoubleValidator::StandardNotation);
        validator->setLocale(QLocale::c());
        return validator;
    }
    if (type == QLatin1String("int")) {
        if (!parseBounds(validatorText, bottom, top)) {
            qDebug() << "QValidator *NmeaMessage::createValidator: classinfo error: "
                     << validatorText;
            throw "QValidator *NmeaMessage::createValidator: classinfo error!";
        }
        auto *validator = new QIntValidator(qRound(bottom), qRound(top));
        validator->setLocale(QLocale::c());
        return validator;
    }
    if (type == QLatin1String("string"))
        return new QRegularExpressionValidator(QRegularExpression(validatorText));
    qDebug() << "QValidator *NmeaMessage::createValidator: classinfo type error: " << validatorText;
    throw "QValidator *NmeaMessage::createValidator: classinfo type error!";
}

QVector<ValidatedProperty *> initializeProperties(QObject *owner)
{
    static const int registered = qRegisterMetaType<ValidatedProperty *>();
    Q_UNUSED(registered)
    const QMetaObject *meta = owner->metaObject();
    QVector<ValidatedProperty *> fields;
    fields.reserve(meta->propertyCount() - 1);
    for (int i = 1; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (i - 1 >= meta->classInfoCount()
            || qstrcmp(meta->classInfo(i - 1).name(), property.name()) != 0) {
            qDebug() << "void NmeaMessage::initializeProperties(): classinfo name and property "
                        "name don't match: "
                     << property.name();
            throw "void NmeaMessage::initializeProperties(): classinfo name and property name "
                  "don't match!";
        }
        const FieldConfig config =
            parseEntry(QString::fromLatin1(meta->classInfo(i - 1).value()), property.name());
        QValidator *validator = createValidator(config.type, config.validator);
        ValidatedProperty *field = nullptr;
        if (config.type == QLatin1String("int")) {
            field = new ValidatedIntProperty(owner, validator, config.fixedLength,
                                             config.maxFieldLength, config.canBeNullField,
                                             config.validityLimit);
        } else if (config.type == QLatin1String("float")) {
            field = new ValidatedFloatProperty(owner, validator, config.fixedLength,
                                               config.maxFieldLength, config.canBeNullField,
                                               config.validityLimit, config.fixedDigitsBeforePoint,
                                               config.leastDecimalsReceived, config.sendDecimals);
        } else {
            field = new ValidatedStringProperty(owner, validator, config.fixedLength,
                                                config.maxFieldLength, config.canBeNullField,
                                                config.validityLimit);
        }
        field->setObjectName(QString::fromLatin1(property.name()));
        if (config.hasDefault) {
            field->setDefaultValue(config.defaultValue, true);
            field->resetToInitial();
        }
        if (!property.write(owner, QVariant::fromValue(field))) {
            qDebug() << "void NmeaMessage::initializeProperties(): classinfo error: "
                     << property.name() << "not a field property";
            throw "void NmeaMessage::initializeProperties(): classinfo error!";
        }
        fields.append(field);
    }
    return fields;
}

QVector<ValidatedProperty *> fieldsOf(const QObject *owner)
{
    const QMetaObject *meta = owner->metaObject();
    QVector<ValidatedProperty *> fields;
    for (int i = 1; i < meta->propertyCount(); ++i)
        fields.append(meta->property(i).read(owner).value<ValidatedProperty *>());
    return fields;
}

}
