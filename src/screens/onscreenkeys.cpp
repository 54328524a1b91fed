#include "onscreenkeys.h"

#include "touchtheme.h"

#include <QGridLayout>
#include <QPushButton>

OnScreenKeys::OnScreenKeys(Layout layout, QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    if (layout == Layout::Numeric) {
        const char *const rows[4][4] = {{"7", "8", "9", "backspace"},
                                        {"4", "5", "6", "clear"},
                                        {"1", "2", "3", "sign"},
                                        {"0", ".", nullptr, nullptr}};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                if (!rows[r][c])
                    continue;
                const QString name = QLatin1String(rows[r][c]);
                const QString label = name == QLatin1String("backspace") ? QStringLiteral("\u232B")
                                      : name == QLatin1String("clear")   ? QStringLiteral("C")
                                      : name == QLatin1String("sign")    ? QStringLiteral("\u00B1")
                                                                         : name;
                QPushButton *b = addKey(name, label);
                b->setMinimumSize(72, 64);
                grid->addWidget(b, r, c, 1, name == QLatin1String(".") ? 2 : 1);
            }
        }
        return;
    }
    const QStringList rows = {QStringLiteral("1234567890"), QStringLiteral("qwertyuiop"), QStringLiteral("asdfghjkl-"),
                              QStringLiteral("zxcvbnm._/")};
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString ch = rows.at(r).mid(c, 1);
            grid->addWidget(addKey(ch, ch), r, c);
        }
    }
    QPushButton *shift = addKey(QStringLiteral("shift"), QStringLiteral("\u21E7 ABC"));
    shift->setCheckable(true);
    connect(shift, &QPushButton::toggled, this, &OnScreenKeys::setShifted);
    grid->addWidget(shift, 4, 0, 1, 2);
    grid->addWidget(addKey(QStringLiteral(":"), QStringLiteral(":")), 4, 2);
    grid->addWidget(addKey(QStringLiteral(" "), QStringLiteral("space")), 4, 3, 1, 4);
    grid->addWidget(addKey(QStringLiteral("clear"), QStringLiteral("C")), 4, 7);
    grid->addWidget(addKey(QStringLiteral("backspace"), QStringLiteral("\u232B")), 4, 8, 1, 2);
}

QPushButton *OnScreenKeys::addKey(const QString &name, const QString &label)
{
    auto *b = new QPushButton(label, this);
    b->setObjectName(QStringLiteral("key_") + name);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumSize(TouchTheme::kMinTarget + 8, TouchTheme::kButtonHeight);
    b->setAutoRepeat(name == QLatin1String("backspace"));
    connect(b, &QPushButton::clicked, this, [this, name] {
        if (name.size() == 1 && m_shifted)
            emit keyPressed(name.toUpper());
        else
            emit keyPressed(name);
    });
    m_keys << b;
    return b;
}

QPushButton *OnScreenKeys::key(const QString &name) const
{
    for (QPushButton *b : m_keys) {
        if (b->objectName() == QStringLiteral("key_") + name)
            return b;
    }
    return nullptr;
}

void OnScreenKeys::setShifted(bool shifted)
{
    m_shifted = shifted;
    for (QPushButton *b : m_keys) {
        const QString name = b->objectName().mid(4);
        if (name.size() == 1 && name.at(0).isLetter())
            b->setText(shifted ? name.toUpper() : name);
    }
}
