#include "nmeadataholders.h"

ValidatedProperty *NmeaDataHolder::field(const QString &name) const
{
    for (ValidatedProperty *f : m_fields) {
        if (f->objectName() == name)
            return f;
    }
    return nullptr;
}

void NmeaDataHolder::resetFields()
{
    for (ValidatedProperty *f : qAsConst(m_fields))
        f->resetToInitial();
}
