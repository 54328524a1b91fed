#pragma once

#include <QWidget>

class QPushButton;

// On-screen keys for a touch display without a keyboard: a numeric pad or a full keyboard. Every
// key is a button of at least the minimum target size; a key reports what it types, or one of
// the commands "backspace", "clear", "sign" and "shift".
class OnScreenKeys : public QWidget
{
    Q_OBJECT
public:
    enum class Layout { Numeric, Text };

    OnScreenKeys(Layout layout, QWidget *parent = nullptr);

    // The button of a key ("7", ".", "backspace", "a" ...), for instance to hide the decimal point
    // where only whole numbers are allowed.
    QPushButton *key(const QString &name) const;

signals:
    void keyPressed(const QString &key);

private:
    QPushButton *addKey(const QString &name, const QString &label);
    void setShifted(bool shifted);

    QList<QPushButton *> m_keys;
    bool m_shifted = false;
};
