#pragma once

#include "validatedproperty.h"

#include <QString>
#include <QVector>

class QObject;
class QValidator;

// Declares one validated field of a sentence or data holder: its class-info entry (blank-separated
// key=value pairs) and the Qt property that holds the field object, both under the field's name.
// Field lists are written once as tables: #define KVE_FIELDS_X(F) F(Name, "type=... ") ...
#define KVE_NMEA_FIELD(Name, Meta)                                                                 \
    Q_CLASSINFO(#Name, Meta)                                                                       \
    Q_PROPERTY(ValidatedProperty *Name MEMBER m_##Name)                                            \
public:                                                                                            \
    ValidatedProperty *Name() const { return m_##Name; }                                           \
                                                                                                   \
private:                                                                                           \
    ValidatedProperty *m_##Name = nullptr;

// Builds the field objects of an object from its class metadata: class-info entry i-1 describes
// property i (property 0 is the object name). Faults in the metadata are programming errors.
namespace FieldSchema {

QVector<ValidatedProperty *> initializeProperties(QObject *owner);
QValidator *createValidator(const QString &type, const QString &validatorText);

// Field objects of an already initialised object, in property order.
QVector<ValidatedProperty *> fieldsOf(const QObject *owner);

}
