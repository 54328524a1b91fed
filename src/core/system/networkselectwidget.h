#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// The first window of an unconfigured unit: the operator picks the network connection over which
// the unit talks to its junction box. Later it serves as the loading screen while the system builds.
class NetworkSelectWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int refreshIntervalMsecs = 2000;

    explicit NetworkSelectWidget(QWidget *parent = nullptr);

    // Names of the host's interfaces that are up, as offered to the operator.
    static QStringList interfacesUp();
    static bool isInterfaceUp(const QString &humanReadableName);

    QStringList offeredInterfaces() const;
    QString loadingText() const;
    // Whether the operator sees the list of interfaces and the "Confirm" button.
    bool isSelectionShown() const;

public slots:
    void refreshInterfaces();
    // The text of the loading state; the window stays in the state it is in.
    void setLoadMessage(const QString &message);
    // Switches the window to its loading state (list and button hidden).
    void showLoading();
    // Switches the window to the choice of an interface (list and button shown, kept up to date).
    void showSelection();

signals:
    void networkName(const QString &name);

private slots:
    void onConfirmClicked();

private:
    QLabel *m_prompt;
    QListWidget *m_list;
    QPushButton *m_confirm;
    QLabel *m_loading;
    QTimer m_refreshTimer;
};
