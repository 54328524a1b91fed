#include "setupmenu.h"

#include "esdata.h"
#include "serviceaccess.h"
#include "setupgroups.h"
#include "touchtheme.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SetupMenu::SetupMenu(ESData *data, ServiceAccess *access, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SetupMenu"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    const TouchTheme::ScreenHeader top = TouchTheme::screenHeader(this, QStringLiteral("Setup"));
    QHBoxLayout *header = top.layout;
    QPushButton *close = top.back;
    close->setMinimumSize(200, TouchTheme::kButtonHeight);
    auto *service = new QPushButton(this);
    service->setObjectName(QStringLiteral("service"));
    service->setMinimumSize(200, TouchTheme::kButtonHeight);
    header->addWidget(service);
    layout->addLayout(header);
    connect(close, &QPushButton::clicked, this, &SetupMenu::closeRequested);

    auto showAccess = [service](bool unlocked) {
        service->setText(unlocked ? QStringLiteral("Service: open") : QStringLiteral("Service: locked"));
    };
    connect(access, &ServiceAccess::unlockedChanged, service, showAccess);
    showAccess(access->isUnlocked());
    // Closing needs no code; opening is asked for on the first protected setting.
    connect(service, &QPushButton::clicked, access, &ServiceAccess::lock);

    auto *grid = new QGridLayout;
    grid->setSpacing(12);
    const QList<SetupGroup> &groups = SetupGroups::all();
    for (int i = 0; i < groups.size(); ++i) {
        int count = 0;
        for (const SetupSection &s : SetupGroups::sections(*data, groups.at(i)))
            count += s.properties.size();
        auto *b = new QPushButton(QStringLiteral("%1\n%2 settings").arg(groups.at(i).title).arg(count), this);
        b->setObjectName(QStringLiteral("group_%1").arg(i));
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumHeight(96);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(b, &QPushButton::clicked, this, [this, i] { emit groupChosen(i); });
        grid->addWidget(b, i / 3, i % 3);
        m_groups << b;
    }
    layout->addLayout(grid, 1);
}

QPushButton *SetupMenu::groupButton(int group) const
{
    return m_groups.value(group);
}
