#pragma once

#include <QFrame>

class QLabel;
class ServiceAccess;

// Asks for the service code on a numeric pad; the digits are shown as dots.
class ServiceCodePad : public QFrame
{
    Q_OBJECT
public:
    ServiceCodePad(ServiceAccess *access, QWidget *parent = nullptr);

    QString message() const;

public slots:
    bool confirm();

signals:
    void finished(bool unlocked);

private:
    void typeKey(const QString &key);

    ServiceAccess *m_access;
    QString m_code;
    QLabel *m_entry;
    QLabel *m_message;
};
