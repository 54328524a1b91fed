#include "nmeacatalogue.h"

#include "nmeamessageregistry.h"

void registerNmeaCatalogue(NmeaMessageRegistry &registry)
{
#define KVE_REGISTER_STANDARD(Cls)                                                                  \
    registry.registerStandard(Cls::staticFormatter(), &NmeaMessageRegistry::construct<Cls>);
#define KVE_REGISTER_PROPRIETARY(Cls)                                                               \
    registry.registerProprietary(Cls::staticFormatter(), &NmeaMessageRegistry::construct<Cls>);
    KVE_STANDARD_SENTENCES(KVE_REGISTER_STANDARD)
    KVE_PROPRIETARY_SENTENCES(KVE_REGISTER_PROPRIETARY)
#undef KVE_REGISTER_STANDARD
#undef KVE_REGISTER_PROPRIETARY
}
