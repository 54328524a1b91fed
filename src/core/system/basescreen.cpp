#include "basescreen.h"

#include "systeminformation.h"
#include "unitclock.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

BaseScreen::BaseScreen(QWidget *parent)
    : QWidget(parent)
    , m_product(new QLabel(this))
    , m_interface(new QLabel(this))
    , m_link(new QLabel(this))
    , m_clock(new QLabel(this))
    , m_message(new QLabel(this))
    , m_echogramLayout(new QVBoxLayout)
    , m_alertLayout(new QVBoxLayout)
    , m_clockTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("BaseScreen"));
    qApp->installEventFilter(this);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(12, 14, 18));
    pal.setColor(QPalette::WindowText, QColor(225, 225, 225));
    setPalette(pal);
    setStyleSheet(QStringLiteral("QLabel#status { font-size: 16pt; color: rgb(225,225,225); }"
                                 "QLabel#message { font-size: 18pt; color: rgb(255,200,0);"
                                 " background-color: rgb(60,40,0); padding: 8px; }"));

    for (QLabel *label : {m_product, m_interface, m_link, m_clock})
        label->setObjectName(QStringLiteral("status"));
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->hide();

    m_product->setText(SystemInformation::instance().displayName());
    auto *top = new QHBoxLayout;
    top->setContentsMargins(12, 6, 12, 6);
    top->addWidget(m_product);
    top->addSpacing(30);
    top->addWidget(m_interface);
    top->addStretch(1);
    top->addWidget(m_link);
    top->addSpacing(30);
    top->addWidget(m_clock);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_message);
    layout->addLayout(m_echogramLayout, 1);
    layout->addLayout(m_alertLayout);

    setLinkToJunctionBox(false);
    connect(m_clockTimer, &QTimer::timeout, this, &BaseScreen::updateClock);
    m_clockTimer->start(1000);
    updateClock();
    resize(1280, 800);
}

void BaseScreen::setEchogramArea(QWidget *widget)
{
    delete m_echogram;
    m_echogram = widget;
    if (widget)
        m_echogramLayout->addWidget(widget);
}

void BaseScreen::setAlertArea(QWidget *widget)
{
    delete m_alerts;
    m_alerts = widget;
    if (widget)
        m_alertLayout->addWidget(widget);
}

QString BaseScreen::linkStatusText() const
{
    return m_link->text();
}

QString BaseScreen::messageText() const
{
    return m_message->isVisible() || !m_message->text().isEmpty() ? m_message->text() : QString();
}

void BaseScreen::setLinkToJunctionBox(bool up)
{
    m_link->setText(up ? tr("Junction box: connected") : tr("Junction box: no link"));
    m_link->setStyleSheet(up ? QStringLiteral("color: rgb(80,220,80);")
                             : QStringLiteral("color: rgb(255,120,60);"));
}

void BaseScreen::setInterfaceName(const QString &name)
{
    m_interface->setText(tr("Network: %1").arg(name));
}

void BaseScreen::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

bool BaseScreen::eventFilter(QObject *watched, QEvent *event)
{
    // Every touch anywhere on the screen, once: a press that no widget takes travels up to its
    // parents, each seeing the same press again.
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        const auto touch = std::make_pair(static_cast<const void *>(event), static_cast<QMouseEvent *>(event)->timestamp());
        if (touch != m_lastTouch) {
            m_lastTouch = touch;
            emit touchBeep();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BaseScreen::setLocalTimeShown(bool local)
{
    m_localTime = local;
    updateClock();
}

void BaseScreen::updateClock()
{
    const UnitClock &clock = UnitClock::instance();
    m_clock->setText(m_localTime
                         ? clock.currentDateTimeLocal().toString(QStringLiteral("yyyy-MM-dd  hh:mm:ss 'LT'"))
                         : clock.currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd  hh:mm:ss 'UTC'")));
}
