#include "servicecodepad.h"

#include "onscreenkeys.h"
#include "serviceaccess.h"
#include "touchtheme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ServiceCodePad::ServiceCodePad(ServiceAccess *access, QWidget *parent)
    : QFrame(parent), m_access(access), m_entry(new QLabel(QStringLiteral(" "), this)), m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("ServiceCodePad"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    auto *title = new QLabel(QStringLiteral("Service code"), this);
    title->setObjectName(QStringLiteral("title"));
    layout->addWidget(title);
    auto *hint = new QLabel(QStringLiteral("This setting is for service engineers. Enter the service code."), this);
    hint->setObjectName(QStringLiteral("secondary"));
    layout->addWidget(hint);
    m_entry->setObjectName(QStringLiteral("entry"));
    m_entry->setMaximumWidth(340);
    layout->addWidget(m_entry);
    auto *keys = new OnScreenKeys(OnScreenKeys::Layout::Numeric, this);
    keys->key(QStringLiteral("."))->setEnabled(false);
    keys->key(QStringLiteral("sign"))->setEnabled(false);
    keys->setMaximumWidth(420);
    connect(keys, &OnScreenKeys::keyPressed, this, &ServiceCodePad::typeKey);
    layout->addWidget(keys);
    m_message->setObjectName(QStringLiteral("reason"));
    layout->addWidget(m_message);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto *open = new QPushButton(QStringLiteral("Open"), this);
    open->setObjectName(QStringLiteral("apply"));
    for (QPushButton *b : {cancel, open}) {
        b->setMinimumSize(180, TouchTheme::kButtonHeight);
        b->setFocusPolicy(Qt::NoFocus);
    }
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(open);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, [this] { emit finished(false); });
    connect(open, &QPushButton::clicked, this, &ServiceCodePad::confirm);
}

QString ServiceCodePad::message() const
{
    return m_message->text();
}

void ServiceCodePad::typeKey(const QString &key)
{
    if (key == QLatin1String("backspace"))
        m_code.chop(1);
    else if (key == QLatin1String("clear"))
        m_code.clear();
    else if (key.size() == 1 && m_code.size() < 12)
        m_code += key;
    m_entry->setText(m_code.isEmpty() ? QStringLiteral(" ") : QString(m_code.size(), QChar(0x25CF)));
    m_message->clear();
}

bool ServiceCodePad::confirm()
{
    if (!m_access->unlock(m_code)) {
        m_code.clear();
        m_entry->setText(QStringLiteral(" "));
        m_message->setText(QStringLiteral("Wrong code"));
        return false;
    }
    emit finished(true);
    return true;
}
