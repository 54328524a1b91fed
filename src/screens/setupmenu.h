#pragma once

#include <QWidget>

class ESData;
class QPushButton;
class ServiceAccess;

// The setup menu: one large button per settings group, and the service code.
class SetupMenu : public QWidget
{
    Q_OBJECT
public:
    SetupMenu(ESData *data, ServiceAccess *access, QWidget *parent = nullptr);

    QPushButton *groupButton(int group) const;

signals:
    void groupChosen(int group);
    void closeRequested();

private:
    QList<QPushButton *> m_groups;
};
