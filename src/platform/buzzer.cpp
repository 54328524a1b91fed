#include "buzzer.h"

#include "audiotone.h"
#include "beepgenerator.h"

#include <QDebug>

Buzzer::Buzzer(BeepGenerator *generator, QObject *parent)
    : QObject(parent), m_generator(generator), m_tone(AudioTone::open(this))
{
    qDebug().noquote() << (m_tone ? QStringLiteral("Buzzer sounds on the default sound output")
                                  : QStringLiteral("Buzzer without sound output: its changes are logged"));
    connect(m_generator, &BeepGenerator::beepStateChanged, this, &Buzzer::setOn);
    m_touch.setSingleShot(true);
    m_touch.setInterval(TouchBeepMsecs);
    connect(&m_touch, &QTimer::timeout, this, [this] {
        if (!m_generator->isRunning())
            setOn(false);
    });
}

Buzzer::~Buzzer() = default;

void Buzzer::playPattern(QList<int> pattern, QString reason)
{
    m_touch.stop();
    if (pattern.isEmpty()) {
        if (m_generator->isRunning())
            qDebug().noquote() << "Buzzer silent";
        m_generator->stopBeepFuction();
        setOn(false);
        return;
    }
    QStringList steps;
    for (int ms : pattern)
        steps << QString::number(ms);
    qDebug().noquote() << "Buzzer pattern: " + steps.join(QLatin1Char(',')) + " (" + reason + ")";
    m_generator->setPattern(pattern);
    m_generator->startBeepFuction(true);
}

void Buzzer::touchBeep()
{
    if (m_generator->isRunning())
        return; // an alert sounds: a touch adds nothing to it
    setOn(true);
    m_touch.start();
}

void Buzzer::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    if (m_tone)
        m_tone->setOn(on);
    else
        qDebug().noquote() << (on ? "Buzzer on" : "Buzzer off");
}
