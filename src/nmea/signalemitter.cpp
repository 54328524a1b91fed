#include "signalemitter.h"

SignalEmitter &SignalEmitter::instance()
{
    static SignalEmitter *emitter = new SignalEmitter;
    return *emitter;
}

SignalEmitter::SignalEmitter(QObject *parent)
    : QObject(parent)
{
    registerNmeaMetaTypes();
}
