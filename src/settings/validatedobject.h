#pragma once

#include <QHash>
#include <QObject>
#include <QString>

// Base of every settings and runtime object: per-property validity that ages with a tick, and a
// per-property integrity flag carried with published values.
class ValidatedObject : public QObject
{
    Q_OBJECT

public:
    // The name is the object name; "UNINITIALIZED" (or empty) is refused with a C-string error.
    explicit ValidatedObject(const QString &name, QObject *parent = nullptr);

    bool isValid(const QString &name) const;
    void setValid(const QString &name, bool valid);
    bool integrity(const QString &name) const;
    void setIntegrity(const QString &name, bool integrity);

    int validityLimit() const { return m_validityLimit; }
    void setValidityLimit(int ticks) { m_validityLimit = ticks; }

public slots:
    // One tick: a property not marked again for more than the validity limit becomes invalid and
    // is written back with its current value so that observers hear of it.
    void increaseValidityCounters();

private:
    QHash<QString, bool> m_valid;
    QHash<QString, bool> m_integrity;
    QHash<QString, int> m_validityCounters;
    int m_validityLimit = 10;
};
