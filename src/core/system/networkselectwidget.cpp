#include "networkselectwidget.h"

#include <QLabel>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

NetworkSelectWidget::NetworkSelectWidget(QWidget *parent)
    : QWidget(parent)
    , m_prompt(new QLabel(tr("Please select network connection for\n communication with Velmora products."), this))
    , m_list(new QListWidget(this))
    , m_confirm(new QPushButton(tr("Confirm"), this))
    , m_loading(new QLabel(tr("Loading..."), this))
{
    setWindowTitle(tr("Velmora Vantis series: Network Selection"));
    setObjectName(QStringLiteral("NetworkSelectWidget"));
    setStyleSheet(QStringLiteral(
        "QWidget { background-color: rgb(30,30,34); color: rgb(230,230,230); font-size: 18pt; }"
        "QListWidget { background-color: rgb(50,50,56); border: 1px solid rgb(90,90,96); }"
        "QListWidget::item:selected { background-color: rgb(0,110,180); }"
        "QPushButton { background-color: rgb(70,70,78); border: 1px solid rgb(120,120,128);"
        " padding: 10px 30px; }"));

    m_prompt->setAlignment(Qt::AlignCenter);
    m_loading->setAlignment(Qt::AlignCenter);
    m_loading->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->setSpacing(20);
    layout->addWidget(m_prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_confirm, 0, Qt::AlignHCenter);
    layout->addWidget(m_loading);
    resize(640, 480);

    connect(m_confirm, &QPushButton::clicked, this, &NetworkSelectWidget::onConfirmClicked);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &NetworkSelectWidget::onConfirmClicked);
    m_refreshTimer.setInterval(refreshIntervalMsecs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &NetworkSelectWidget::refreshInterfaces);
    refreshInterfaces();
}

QStringList NetworkSelectWidget::interfacesUp()
{
    QStringList names;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags().testFlag(QNetworkInterface::IsUp))
            names << iface.humanReadableName();
    }
    return names;
}

bool NetworkSelectWidget::isInterfaceUp(const QString &humanReadableName)
{
    return !humanReadableName.isEmpty() && interfacesUp().contains(humanReadableName);
}

QStringList NetworkSelectWidget::offeredInterfaces() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i)
        names << m_list->item(i)->text();
    return names;
}

QString NetworkSelectWidget::loadingText() const
{
    return m_loading->text();
}

void NetworkSelectWidget::refreshInterfaces()
{
    const QStringList names = interfacesUp();
    if (names == offeredInterfaces())
        return;
    // The operator's choice stays selected while the list changes around it.
    const QString chosen = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    m_list->clear();
    m_list->addItems(names);
    const int row = names.indexOf(chosen);
    if (m_list->count() > 0)
        m_list->setCurrentRow(row >= 0 ? row : 0);
}

void NetworkSelectWidget::setLoadMessage(const QString &message)
{
    m_loading->setText(message);
}

void NetworkSelectWidget::showLoading()
{
    m_refreshTimer.stop();
    m_list->hide();
    m_confirm->hide();
    m_prompt->hide();
    m_loading->show();
}

void NetworkSelectWidget::showSelection()
{
    refreshInterfaces();
    m_loading->hide();
    m_prompt->show();
    m_list->show();
    m_confirm->show();
    // An interface that comes up later (a cable plugged in) appears without a restart.
    m_refreshTimer.start();
}

bool NetworkSelectWidget::isSelectionShown() const
{
    return !m_list->isHidden() && !m_confirm->isHidden();
}

void NetworkSelectWidget::onConfirmClicked()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    showLoading();
    emit networkName(item->text());
}
