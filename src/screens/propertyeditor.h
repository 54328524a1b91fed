#pragma once

#include "settingfield.h"

#include <QFrame>

class QButtonGroup;
class QLabel;
class QPushButton;
class QSlider;
class OnScreenKeys;

// The editor of one setting, as its kind needs it: a list of choices, a numeric pad with the
// validator's range (and a slider for short whole-number ranges), or a keyboard with the expected
// pattern. Nothing changes until the operator confirms with Apply; a refused value stays on screen
// with the reason, and the setting keeps its value.
class PropertyEditor : public QFrame
{
    Q_OBJECT
public:
    PropertyEditor(const SettingField &field, QWidget *parent = nullptr);

    const SettingField &field() const { return m_field; }
    // What the operator has entered or chosen so far (a choice is given by its index).
    QString enteredText() const;
    // The reason the last value was refused; empty after a good one.
    QString message() const;

public slots:
    // Apply: the setting takes the entered value if its validator accepts it.
    bool confirm();
    void cancel();

signals:
    void finished(bool applied);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildChoices(QWidget *body);
    void buildNumber(QWidget *body);
    void buildText(QWidget *body);
    void typeKey(const QString &key);
    void setEntry(const QString &text);
    void step(int direction);

    SettingField m_field;
    QString m_entry;
    bool m_typed = false;
    QLabel *m_entryLabel = nullptr;
    QLabel *m_message = nullptr;
    QButtonGroup *m_choices = nullptr;
    QSlider *m_slider = nullptr;
    OnScreenKeys *m_keys = nullptr;
};
