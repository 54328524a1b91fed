#include "alarmwidget.h"

#include "alertmirrorcontroller.h"
#include "alertvocabulary.h"
#include "esalerts.h"
#include "essetup.h"

#include <QButtonGroup>
#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

bool isCommunicationAlert(const QString &text)
{
    // Faults of the links are looked into on the diagnostic setup.
    return text.contains(QLatin1String("Comms"));
}

} // namespace

AlarmWidget::AlarmWidget(AlertMirrorController *alerts, QWidget *parent) : QWidget(parent), m_alerts(alerts)
{
    setObjectName(QStringLiteral("AlarmWidget"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, backgroundColour());
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    m_blinkTimer.setInterval(blinkIntervalMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &AlarmWidget::toggleIcon);
    // Several properties of several alerts change at once; one scan afterwards is enough.
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &AlarmWidget::setAlarm);

    buildLayout();
    if (m_alerts && m_alerts->mirror())
        watchMirror(m_alerts->mirror());
    setAlarm();
}

void AlarmWidget::buildLayout()
{
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);

    m_iconArea = new QWidget(this);
    m_iconArea->setObjectName(QStringLiteral("iconArea"));
    m_iconArea->installEventFilter(this);
    auto *icons = new QVBoxLayout(m_iconArea);
    icons->setContentsMargins(0, 0, 0, 0);
    auto makeIcon = [this](const QString &name) {
        auto *label = new QLabel(m_iconArea);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    m_alarmIcon = makeIcon(QStringLiteral("alarmIcon"));
    m_warningIcon = makeIcon(QStringLiteral("warningIcon"));
    m_muteIcon = makeIcon(QStringLiteral("muteIcon"));
    m_simulatorIcon = makeIcon(QStringLiteral("simulatorIcon"));
    icons->addWidget(m_alarmIcon);
    icons->addWidget(m_warningIcon);
    auto *extras = new QHBoxLayout;
    extras->addWidget(m_muteIcon);
    extras->addWidget(m_simulatorIcon);
    icons->addLayout(extras);
    outer->addWidget(m_iconArea);

    m_listArea = new QWidget(this);
    m_listArea->setObjectName(QStringLiteral("alertList"));
    auto *list = new QHBoxLayout(m_listArea);
    list->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout = new QVBoxLayout;
    list->addLayout(m_rowsLayout, 1);
    // Selection is kept by the panel itself, so that no row stays marked when the list empties.
    m_rowGroup = new QButtonGroup(this);
    m_rowGroup->setExclusive(false);
    connect(m_rowGroup, &QButtonGroup::idClicked, this, &AlarmWidget::rowClicked);

    auto *controls = new QVBoxLayout;
    m_upButton = new QToolButton(m_listArea);
    m_upButton->setObjectName(QStringLiteral("upButton"));
    m_downButton = new QToolButton(m_listArea);
    m_downButton->setObjectName(QStringLiteral("downButton"));
    m_ackButton = new QPushButton(QStringLiteral("Acknowledge"), m_listArea);
    m_ackButton->setObjectName(QStringLiteral("ackButton"));
    m_closeButton = new QToolButton(m_listArea);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setText(QStringLiteral("X"));
    controls->addWidget(m_closeButton, 0, Qt::AlignRight);
    controls->addWidget(m_upButton);
    controls->addWidget(m_ackButton);
    controls->addWidget(m_downButton);
    list->addLayout(controls);
    outer->addWidget(m_listArea, 1);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setStyleSheet(QStringLiteral("color: rgb(255,200,0); font-weight: bold;"));
    m_notice->hide();
    outer->addWidget(m_notice);

    connect(m_upButton, &QToolButton::clicked, this, &AlarmWidget::upButtonClicked);
    connect(m_downButton, &QToolButton::clicked, this, &AlarmWidget::downButtonClicked);
    connect(m_ackButton, &QPushButton::clicked, this, &AlarmWidget::buttonClicked);
    connect(m_closeButton, &QToolButton::clicked, this, &AlarmWidget::closeClicked);
    applyIconSize(m_iconSize);
}

void AlarmWidget::setNotice(const QString &text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString AlarmWidget::noticeText() const
{
    return m_notice->text();
}

void AlarmWidget::watchMirror(ES_Alerts *mirror)
{
    connect(mirror, &ES_Alerts::dataReceivedFromCommunication, this, &AlarmWidget::setAlarm);
    for (SerializableAlertInfo *alert : mirror->alerts()) {
        auto later = [this] { m_refreshTimer.start(); };
        connect(alert, &SerializableAlertInfo::AlertStateChanged, this, later);
        connect(alert, &SerializableAlertInfo::AlertPriorityChanged, this, later);
        connect(alert, &SerializableAlertInfo::AlertTextChanged, this, later);
    }
}

void AlarmWidget::setAlarm()
{
    m_refreshTimer.stop();
    QList<Entry> alarms;
    QList<Entry> warnings;
    ES_Alerts *mirror = m_alerts ? m_alerts->mirror() : nullptr;
    if (mirror) {
        for (SerializableAlertInfo *alert : mirror->alerts()) {
            // Defaults are not news from the junction box; only received (or own) states count.
            if (!alert->isValid(QStringLiteral("AlertState")))
                continue;
            const int state = alert->AlertState();
            if (state == AlertVocabulary::Normal)
                continue;
            if (!AlertVocabulary::isKnownState(state)) {
                qDebug().noquote() << "Alert " + alert->objectName() + " has unknown state " + QString::number(state);
                continue;
            }
            const int group = AlertVocabulary::panelGroup(alert->AlertPriority());
            if (group < 0) {
                qDebug().noquote() << "Alert " + alert->objectName() + " has unknown priority "
                                          + QString::number(alert->AlertPriority());
                continue;
            }
            QString text = alert->AlertText();
            if (text.isEmpty()) {
                const AlertDescriptor *d = AlertVocabulary::descriptor(alert->objectName());
                text = d ? d->text : alert->objectName();
            }
            (group == AlertVocabulary::Alarm ? alarms : warnings).append({alert->objectName(), group, state, text});
        }
    }

    auto mostSevere = [](const QList<Entry> &entries, bool *attention) {
        int worst = AlertVocabulary::Normal;
        *attention = false;
        for (const Entry &e : entries) {
            worst = qMin(worst, e.state);
            *attention = *attention || AlertVocabulary::needsAttention(e.state);
        }
        return worst;
    };
    bool alarmAttention = false;
    bool warningAttention = false;
    const int alarmState = mostSevere(alarms, &alarmAttention);
    const int warningState = mostSevere(warnings, &warningAttention);

    const bool newAttention = (alarmAttention && !m_alarmAttention) || (warningAttention && !m_warningAttention);
    const bool alarmAttentionChanged = alarmAttention != m_alarmAttention;
    const bool attentionChanged = (alarmAttention || warningAttention) != (m_alarmAttention || m_warningAttention);
    m_alarmAttention = alarmAttention;
    m_warningAttention = warningAttention;
    m_entries = alarms + warnings;

    // The choice of the operator stays on its alert; a new alert that waits for acknowledgement,
    // or the chosen one no longer waiting, moves it to the newest alert that waits.
    ++m_scan;
    bool newcomer = false;
    QHash<QString, quint64> since;
    for (const Entry &e : qAsConst(m_entries)) {
        if (!AlertVocabulary::needsAttention(e.state))
            continue;
        const auto it = m_attentionSince.constFind(e.name);
        newcomer = newcomer || it == m_attentionSince.constEnd();
        since.insert(e.name, it == m_attentionSince.constEnd() ? m_scan : it.value());
    }
    const bool selectedWasWaiting = m_attentionSince.contains(m_selected);
    m_attentionSince = since;
    const int selectedIndex = indexOf(m_selected);
    const bool selectedStoppedWaiting = selectedWasWaiting && !since.contains(m_selected);
    if (newcomer || selectedIndex < 0 || selectedStoppedWaiting) {
        const QString newest = newestNeedingAttention();
        m_tapped.clear();
        if (!newest.isEmpty())
            m_selected = newest;
        else if (selectedIndex < 0)
            m_selected = m_entries.isEmpty() ? QString() : m_entries.first().name;
        if (newcomer)
            bringSelectionIntoView();
    }
    m_alarmIconPath = AlertVocabulary::iconPath(AlertVocabulary::Alarm, alarmState);
    m_warningIconPath = AlertVocabulary::iconPath(AlertVocabulary::Warning, warningState);

    if (alarmAttention || warningAttention) {
        if (!m_blinkTimer.isActive()) {
            m_blinkOn = true;
            m_blinkTimer.start();
        }
    } else {
        m_blinkTimer.stop();
        m_blinkOn = true;
    }
    if (newAttention)
        setListOpen(true);

    const int lastFirst = qMax(0, m_entries.size() - m_maxRows);
    m_firstRow = qBound(0, m_firstRow, lastFirst);
    showIcons();
    showRows();

    if (alarmAttentionChanged)
        emit changeDisplayDimming(alarmAttention || warningAttention);
    if (attentionChanged)
        emit attentionNeededChanged(alarmAttention || warningAttention);
}

void AlarmWidget::showIcons()
{
    auto show = [this](QLabel *label, const QString &path, bool blinking) {
        label->setProperty("iconPath", path);
        const bool visible = !path.isEmpty() && (!blinking || m_blinkOn);
        label->setPixmap(visible ? m_icons.pixmap(path, m_iconSize) : QPixmap());
    };
    show(m_alarmIcon, m_alarmIconPath, m_alarmAttention);
    show(m_warningIcon, m_warningIconPath, m_warningAttention);
    const int small = qMax(8, m_iconSize / 2);
    m_muteIcon->setPixmap(m_muteShown ? m_icons.pixmap(AlertVocabulary::muteIconPath(), small) : QPixmap());
    m_muteIcon->setVisible(m_muteShown);
    m_simulatorIcon->setPixmap(m_simulatorShown ? m_icons.pixmap(AlertVocabulary::simulatorIconPath(), small)
                                                : QPixmap());
    m_simulatorIcon->setVisible(m_simulatorShown);
}

void AlarmWidget::showRows()
{
    while (m_rowButtons.size() < m_maxRows) {
        auto *row = new QPushButton(m_listArea);
        row->setObjectName(QStringLiteral("alertRow%1").arg(m_rowButtons.size()));
        row->setCheckable(true);
        row->setFlat(true);
        row->setStyleSheet(QStringLiteral("text-align: left; color: white;"));
        m_rowGroup->addButton(row, m_rowButtons.size());
        m_rowsLayout->addWidget(row);
        m_rowButtons.append(row);
    }
    while (m_rowButtons.size() > m_maxRows) {
        QPushButton *row = m_rowButtons.takeLast();
        m_rowGroup->removeButton(row);
        delete row;
    }

    const int shown = qMin(m_maxRows, m_entries.size() - m_firstRow);
    const int selected = selectedRow();
    const int rowIcon = qMax(8, m_iconSize / 2);
    for (int i = 0; i < m_rowButtons.size(); ++i) {
        QPushButton *row = m_rowButtons.at(i);
        if (i < shown) {
            const Entry &e = m_entries.at(m_firstRow + i);
            row->setText(e.text);
            row->setIcon(m_icons.pixmap(AlertVocabulary::iconPath(e.group, e.state), rowIcon));
            row->setIconSize(QSize(rowIcon, rowIcon));
            row->setProperty("alertState", e.state);
            row->setChecked(i == selected);
            row->setEnabled(true);
        } else {
            row->setText(QString());
            row->setIcon(QIcon());
            row->setProperty("alertState", QVariant());
            row->setChecked(false);
            row->setEnabled(false);
        }
    }
    m_upButton->setEnabled(m_firstRow > 0);
    m_downButton->setEnabled(m_firstRow + m_maxRows < m_entries.size());
    m_ackButton->setEnabled(!m_selected.isEmpty());
}

int AlarmWidget::indexOf(const QString &name) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

QString AlarmWidget::newestNeedingAttention() const
{
    QString newest;
    quint64 latest = 0;
    for (const Entry &e : m_entries) {
        const quint64 since = m_attentionSince.value(e.name, 0);
        if (since > latest) {
            latest = since;
            newest = e.name;
        }
    }
    return newest;
}

void AlarmWidget::bringSelectionIntoView()
{
    const int index = indexOf(m_selected);
    if (index < 0)
        return;
    if (index < m_firstRow)
        m_firstRow = index;
    else if (index >= m_firstRow + m_maxRows)
        m_firstRow = index - m_maxRows + 1;
}

int AlarmWidget::selectedRow() const
{
    const int row = indexOf(m_selected) - m_firstRow;
    return row >= 0 && row < m_maxRows ? row : -1;
}

QString AlarmWidget::selectedAlertText() const
{
    const int index = indexOf(m_selected);
    return index < 0 ? QString() : m_entries.at(index).text;
}

QStringList AlarmWidget::activeAlertTexts() const
{
    QStringList texts;
    for (const Entry &e : m_entries)
        texts.append(e.text);
    return texts;
}

QStringList AlarmWidget::visibleRowTexts() const
{
    QStringList texts;
    for (QPushButton *row : m_rowButtons) {
        if (row->isEnabled())
            texts.append(row->text());
    }
    return texts;
}

bool AlarmWidget::isAlarmIconVisible() const
{
    return !m_alarmIcon->pixmap(Qt::ReturnByValue).isNull();
}

bool AlarmWidget::isWarningIconVisible() const
{
    return !m_warningIcon->pixmap(Qt::ReturnByValue).isNull();
}

bool AlarmWidget::isListOpen() const
{
    return !m_listArea->isHidden();
}

void AlarmWidget::setMuteIconVisible(bool visible)
{
    m_muteShown = visible;
    showIcons();
}

void AlarmWidget::setSimulatorIconVisible(bool visible)
{
    m_simulatorShown = visible;
    showIcons();
}

void AlarmWidget::followSettings(ESSetup *setup)
{
    if (!setup)
        return;
    // Both are choice lists "ON;off": index 0 is on.
    ESTestScreenSetup *test = setup->TestScreenSetup();
    ESDiagnosticsSetup *diagnostics = setup->DiagnosticsSetup();
    connect(test, &ESTestScreenSetup::SensorMuteChanged, this, [this](int v) { setMuteIconVisible(v == 0); });
    connect(diagnostics, &ESDiagnosticsSetup::SimulateDepthChanged, this,
            [this](int v) { setSimulatorIconVisible(v == 0); });
    setMuteIconVisible(test->SensorMute() == 0);
    setSimulatorIconVisible(diagnostics->SimulateDepth() == 0);
}

bool AlarmWidget::isMuteIconVisible() const
{
    return m_muteShown;
}

bool AlarmWidget::isSimulatorIconVisible() const
{
    return m_simulatorShown;
}

void AlarmWidget::toggleIcon()
{
    m_blinkOn = !m_blinkOn;
    showIcons();
}

void AlarmWidget::buttonClicked()
{
    const QString text = selectedAlertText();
    if (text.isEmpty() || !m_alerts)
        return;
    m_alerts->acknowledgeFromDisplay(text);
    setAlarm();
}

void AlarmWidget::closeClicked()
{
    setListOpen(false);
}

void AlarmWidget::upButtonClicked()
{
    if (m_firstRow > 0) {
        --m_firstRow;
        showRows();
    }
}

void AlarmWidget::downButtonClicked()
{
    if (m_firstRow + m_maxRows < m_entries.size()) {
        ++m_firstRow;
        showRows();
    }
}

void AlarmWidget::applyIconSize(int size)
{
    if (size <= 0)
        return;
    m_iconSize = size;
    const int arrow = qMax(8, size / 2);
    m_upButton->setIcon(m_icons.pixmap(AlertVocabulary::arrowUpIconPath(), arrow));
    m_downButton->setIcon(m_icons.pixmap(AlertVocabulary::arrowDownIconPath(), arrow));
    m_upButton->setIconSize(QSize(arrow, arrow));
    m_downButton->setIconSize(QSize(arrow, arrow));
    m_alarmIcon->setMinimumSize(size, size);
    m_warningIcon->setMinimumSize(size, size);
    showIcons();
    if (!m_rowButtons.isEmpty())
        showRows();
}

void AlarmWidget::rowClicked(int row)
{
    const int index = m_firstRow + row;
    if (row < 0 || index >= m_entries.size())
        return;
    // A second tap on the same row, not a tap on a row the panel chose by itself.
    const bool again = m_entries.at(index).name == m_tapped;
    m_selected = m_tapped = m_entries.at(index).name;
    showRows();
    const QStringList rows = visibleRowTexts();
    if (again && row < rows.size() && isCommunicationAlert(rows.at(row)))
        emit navigateToDiagnosticSetup();
}

void AlarmWidget::setListOpen(bool open)
{
    m_listArea->setVisible(open);
}

bool AlarmWidget::eventFilter(QObject *watched, QEvent *event)
{
    // A tap on the icons brings the list back after it was closed.
    if (watched == m_iconArea && event->type() == QEvent::MouseButtonRelease)
        setListOpen(true);
    return QWidget::eventFilter(watched, event);
}
