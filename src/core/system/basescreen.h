#pragma once

#include <QWidget>

#include <utility>

class QLabel;
class QHBoxLayout;
class QTimer;
class QVBoxLayout;

// The main screen of the unit: a status bar across the top, the echogram area in the middle and
// the alert panel at the bottom. Subsystems place their widgets into the areas.
class BaseScreen : public QWidget
{
    Q_OBJECT
public:
    explicit BaseScreen(QWidget *parent = nullptr);

    void setEchogramArea(QWidget *widget);
    void setAlertArea(QWidget *widget);
    QString linkStatusText() const;
    QString messageText() const;

public slots:
    void setLinkToJunctionBox(bool up);
    void setInterfaceName(const QString &name);
    // A message the operator must see (for instance incompatible software versions); empty hides it.
    void showMessage(const QString &text);
    // The clock in local time (the unit's UTC-to-local offset) instead of UTC.
    void setLocalTimeShown(bool local);

signals:
    // The operator touched the screen.
    void touchBeep();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void updateClock();

private:
    QLabel *m_product;
    QLabel *m_interface;
    QLabel *m_link;
    QLabel *m_clock;
    QLabel *m_message;
    QVBoxLayout *m_echogramLayout;
    QVBoxLayout *m_alertLayout;
    QWidget *m_echogram = nullptr;
    QWidget *m_alerts = nullptr;
    QTimer *m_clockTimer;
    bool m_localTime = false;
    std::pair<const void *, ulong> m_lastTouch{nullptr, 0};
};
