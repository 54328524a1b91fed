#include "looptest.h"

#include <QTimer>

LoopTest::LoopTest(QObject *parent)
    : QObject(parent)
    , m_cycleTimer(new QTimer(this))
{
    m_cycleTimer->setSingleShot(true);
    m_cycleTimer->setInterval(CycleMsecs);
    connect(m_cycleTimer, &QTimer::timeout, this, &LoopTest::sendTestMessage);
}

QString LoopTest::testSentence()
{
    return QStringLiteral("$PZTQTEST,0,1,2,3,4,5,6,7,8,9\r\n");
}

QString LoopTest::statusName(int index)
{
    return QStringLiteral("NmeaPort%1Status").arg(index + 1);
}

bool LoopTest::init()
{
    m_ports = {{0, 1, 2}};
    return true;
}

void LoopTest::runTest()
{
    emit aboutToStartTest();
    if (m_result.running)
        return;
    m_result = Result();
    m_result.running = true;
    m_received.fill(0);
    m_correct.fill(0);
    m_cycle = 0;
    sendTestMessage();
}

void LoopTest::sendTestMessage()
{
    ++m_cycle;
    if (m_cycle > Cycles) {
        // The last sentences are still on their way back.
        QTimer::singleShot(EvaluationDelayMsecs, this, &LoopTest::evaluate);
        return;
    }
    for (int port : m_ports)
        emit sendMessage(testSentence(), port);
    m_cycleTimer->start();
}

int LoopTest::indexOfPort(int port) const
{
    for (int i = 0; i < PortCount; ++i) {
        if (m_ports[i] == port)
            return i;
    }
    return -1;
}

void LoopTest::messageReceived(QString msg, int port)
{
    const int index = indexOfPort(port);
    if (index < 0 || !m_result.running)
        return;
    ++m_received[index];
    if (msg == testSentence())
        ++m_correct[index];
}

void LoopTest::evaluate()
{
    m_result.testDone = true;
    m_result.running = false;
    for (int i = 0; i < PortCount; ++i)
        m_result.passed[i] = m_correct[i] >= MinIntact;
    // The results first: whoever follows the end of the test finds them in place.
    for (int i = 0; i < PortCount; ++i)
        emit portStatusDetermined(statusName(i), m_result.passed[i] ? StatusPassed : StatusFailed);
    emit finishedTesting();
}
