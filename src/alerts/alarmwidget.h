#pragma once

#include "alerticonpainter.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class AlertMirrorController;
class ES_Alerts;
class ESSetup;
class QButtonGroup;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The alert panel of the main screen: one icon for the alarms and one for the warnings, showing the
// most severe state of each group and blinking while something in the group is unacknowledged, and
// a short list of the alerts that are not Normal with arrows to scroll and "Acknowledge".
class AlarmWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmWidget(AlertMirrorController *alerts, QWidget *parent = nullptr);

    static constexpr int blinkIntervalMs = 500;
    static constexpr int defaultRows = 3;
    static QColor backgroundColour() { return QColor(84, 84, 84); }

    // What the panel shows at this moment.
    QString alarmIconPath() const { return m_alarmIconPath; }
    QString warningIconPath() const { return m_warningIconPath; }
    bool isAlarmIconVisible() const;
    bool isWarningIconVisible() const;
    bool isBlinking() const { return m_blinkTimer.isActive(); }
    bool alarmsNeedAttention() const { return m_alarmAttention; }
    bool warningsNeedAttention() const { return m_warningAttention; }
    QStringList activeAlertTexts() const; // every alert that is not Normal, alarms first
    QStringList visibleRowTexts() const;  // the rows on screen, top to bottom
    int firstVisibleRow() const { return m_firstRow; }
    // The row on screen that "Acknowledge" acts on; -1 when the chosen alert is scrolled away or
    // nothing is chosen.
    int selectedRow() const;
    // Text of the alert that "Acknowledge" acts on; empty when nothing is listed.
    QString selectedAlertText() const;
    bool isListOpen() const;

    int maximumRows() const { return m_maxRows; }
    int iconSize() const { return m_iconSize; }

    // Driven by flags of other settings objects (sensor muted, simulated depth).
    void setMuteIconVisible(bool visible);
    void setSimulatorIconVisible(bool visible);
    bool isMuteIconVisible() const;
    // Shows the mute icon while the sensor is muted and the simulator icon while the depth is
    // simulated, following the shared settings.
    void followSettings(ESSetup *setup);
    bool isSimulatorIconVisible() const;

signals:
    void changeDisplayDimming(bool alarm_active);
    // Whether any alert (alarm or warning) waits for acknowledgement, whenever that changes.
    void attentionNeededChanged(bool needed);
    // A second tap on a communication alert: its causes are looked into on the diagnostics page.
    void navigateToDiagnosticSetup();

public slots:
    void setAlarm();
    void toggleIcon();
    void buttonClicked();
    void closeClicked();
    void upButtonClicked();
    void downButtonClicked();
    // A line for the operator beside the alerts, such as why a depth readout shows no depth;
    // empty hides it.
    void setNotice(const QString &text);

public:
    QString noticeText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QString name; // the mirror's child
        int group;
        int state;
        QString text;
    };

    void buildLayout();
    void applyIconSize(int size);
    void watchMirror(ES_Alerts *mirror);
    void rowClicked(int row);
    void showIcons();
    void showRows();
    void setListOpen(bool open);
    int indexOf(const QString &name) const;
    // The alert that waits for acknowledgement since the latest scan; alarms first among equals.
    QString newestNeedingAttention() const;
    void bringSelectionIntoView();

    QPointer<AlertMirrorController> m_alerts;
    AlertIconPainter m_icons;
    QTimer m_blinkTimer;
    QTimer m_refreshTimer;

    QLabel *m_alarmIcon = nullptr;
    QLabel *m_warningIcon = nullptr;
    QLabel *m_muteIcon = nullptr;
    QLabel *m_simulatorIcon = nullptr;
    QLabel *m_notice = nullptr;
    QWidget *m_iconArea = nullptr;
    QWidget *m_listArea = nullptr;
    QVBoxLayout *m_rowsLayout = nullptr;
    QList<QPushButton *> m_rowButtons;
    QButtonGroup *m_rowGroup = nullptr;
    QToolButton *m_upButton = nullptr;
    QToolButton *m_downButton = nullptr;
    QPushButton *m_ackButton = nullptr;
    QToolButton *m_closeButton = nullptr;

    QList<Entry> m_entries;
    QString m_alarmIconPath;
    QString m_warningIconPath;
    bool m_alarmAttention = false;
    bool m_warningAttention = false;
    bool m_blinkOn = true;
    bool m_muteShown = false;
    bool m_simulatorShown = false;
    int m_firstRow = 0;
    QString m_selected;
    QString m_tapped;
    // Scan number at which each alert began to wait for acknowledgement.
    QHash<QString, quint64> m_attentionSince;
    quint64 m_scan = 0;
    int m_maxRows = defaultRows;
    int m_iconSize = 48;
};
