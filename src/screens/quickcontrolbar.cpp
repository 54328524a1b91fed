#include "quickcontrolbar.h"

#include "esdata.h"
#include "essetup.h"
#include "settingfield.h"
#include "touchtheme.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

SettingField fieldOf(SerializableClass *object, const QString &name, const ESData *data)
{
    return SettingField(object, *ClassMetadata::of(object->metaObject()).property(name),
                        DisplayUnits::of(data->setup()->SetupSetup()->OptionsSetup()));
}

bool autoOn(const ESData *data)
{
    return data->setup()->SetupSetup()->OptionsSetup()->AutoFunctions() == 0;   // ON;off
}

}

QuickControlBar::QuickControlBar(ESData *data, QWidget *parent) : QWidget(parent), m_data(data)
{
    setObjectName(QStringLiteral("QuickControlBar"));
    setFixedWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto *nav = new QGridLayout;
    nav->setSpacing(6);
    QPushButton *setup = addButton(QStringLiteral("Setup"), QStringLiteral("setup"));
    QPushButton *history = addButton(QStringLiteral("History"), QStringLiteral("history"));
    QPushButton *scope = addButton(QStringLiteral("Scope"), QStringLiteral("scope"));
    QPushButton *print = addButton(QStringLiteral("Print"), QStringLiteral("print"));
    QPushButton *echogram = addButton(QStringLiteral("Echogram"), QStringLiteral("echogram"));
    m_lighting = addButton(QStringLiteral("Day"), QStringLiteral("lighting"));
    nav->addWidget(setup, 0, 0);
    nav->addWidget(history, 0, 1);
    nav->addWidget(scope, 1, 0);
    nav->addWidget(print, 1, 1);
    nav->addWidget(echogram, 2, 0);
    nav->addWidget(m_lighting, 2, 1);
    layout->addLayout(nav);
    connect(setup, &QPushButton::clicked, this, &QuickControlBar::setupRequested);
    connect(history, &QPushButton::clicked, this, &QuickControlBar::historyRequested);
    connect(scope, &QPushButton::clicked, this, &QuickControlBar::scopeRequested);
    connect(print, &QPushButton::clicked, this, &QuickControlBar::printRequested);
    connect(echogram, &QPushButton::clicked, this, &QuickControlBar::echogramRequested);
    connect(m_lighting, &QPushButton::clicked, this, &QuickControlBar::lightingRequested);

    for (int ch = 0; ch < 2; ++ch) {
        auto *heading = new QLabel(QStringLiteral("CH%1").arg(ch + 1), this);
        heading->setObjectName(QStringLiteral("secondary"));
        layout->addWidget(heading);
        auto *grid = new QGridLayout;
        grid->setSpacing(4);
        const struct
        {
            QLabel **label;
            QPushButton **steps;
            const char *name;
        } lines[] = {{&m_range[ch], m_rangeStep[ch], "range"}, {&m_gain[ch], m_gainStep[ch], "gain"}};
        for (int l = 0; l < 2; ++l) {
            const QString base = QStringLiteral("%1%2").arg(QLatin1String(lines[l].name)).arg(ch + 1);
            lines[l].steps[0] = addButton(QStringLiteral("\u2212"), base + QStringLiteral("_down"));
            lines[l].steps[1] = addButton(QStringLiteral("+"), base + QStringLiteral("_up"));
            *lines[l].label = new QLabel(this);
            (*lines[l].label)->setObjectName(base);
            (*lines[l].label)->setAlignment(Qt::AlignCenter);
            grid->addWidget(lines[l].steps[0], l, 0);
            grid->addWidget(*lines[l].label, l, 1);
            grid->addWidget(lines[l].steps[1], l, 2);
        }
        grid->setColumnStretch(1, 1);
        layout->addLayout(grid);
        connect(m_rangeStep[ch][0], &QPushButton::clicked, this, [this, ch] { stepRange(ch, -1); });
        connect(m_rangeStep[ch][1], &QPushButton::clicked, this, [this, ch] { stepRange(ch, 1); });
        connect(m_gainStep[ch][0], &QPushButton::clicked, this, [this, ch] { stepGain(ch, -1); });
        connect(m_gainStep[ch][1], &QPushButton::clicked, this, [this, ch] { stepGain(ch, 1); });
    }
    m_auto = addButton(QString(), QStringLiteral("auto"));
    m_auto->setCheckable(true);
    layout->addWidget(m_auto);
    connect(m_auto, &QPushButton::clicked, this, &QuickControlBar::toggleAuto);

    auto *alarms = new QHBoxLayout;
    m_shallow = addButton(QString(), QStringLiteral("shallow"));
    m_deep = addButton(QString(), QStringLiteral("deep"));
    m_shallow->setMinimumHeight(64);
    m_deep->setMinimumHeight(64);
    alarms->addWidget(m_shallow);
    alarms->addWidget(m_deep);
    layout->addLayout(alarms);
    layout->addStretch(1);
    ESAlertSetup *alerts = data->setup()->AlertSetup();
    connect(m_shallow, &QPushButton::clicked, this, [this, alerts] { emit editRequested(alerts, QStringLiteral("AlarmShallow")); });
    connect(m_deep, &QPushButton::clicked, this, [this, alerts] { emit editRequested(alerts, QStringLiteral("AlertDeep")); });

    // Follow every setting shown, whoever changes it (this bar, a setup page or the junction box).
    ESOptionsSetup *options = data->setup()->SetupSetup()->OptionsSetup();
    for (int ch = 0; ch < 2; ++ch) {
        EsTransducerSetup *t = data->setup()->transducer(ch);
        connect(t, &EsTransducerSetup::RangeChanged, this, &QuickControlBar::refresh);
        connect(t, &EsTransducerSetup::CombinedGainChanged, this, &QuickControlBar::refresh);
    }
    connect(options, &ESOptionsSetup::ScalesDepthChanged, this, &QuickControlBar::refresh);
    connect(options, &ESOptionsSetup::AutoFunctionsChanged, this, &QuickControlBar::refresh);
    connect(alerts, &ESAlertSetup::AlarmShallowChanged, this, &QuickControlBar::refresh);
    connect(alerts, &ESAlertSetup::AlertDeepChanged, this, &QuickControlBar::refresh);
    refresh();
}

QPushButton *QuickControlBar::addButton(const QString &text, const QString &name)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumSize(TouchTheme::kMinTarget + 8, TouchTheme::kButtonHeight);
    return b;
}

QString QuickControlBar::rangeText(int channel) const
{
    return m_range[channel & 1]->text();
}

QString QuickControlBar::gainText(int channel) const
{
    return m_gain[channel & 1]->text();
}

QString QuickControlBar::shallowText() const
{
    return m_shallow->text();
}

QString QuickControlBar::deepText() const
{
    return m_deep->text();
}

void QuickControlBar::setLightingName(const QString &name)
{
    m_lighting->setText(name);
}

bool QuickControlBar::stepChoice(SerializableClass *object, const QString &property, int direction)
{
    const SettingField field = fieldOf(object, property, m_data);
    const int next = field.currentChoice() + direction;
    if (next < 0 || next >= field.choices().size())
        return false;
    QString why;
    if (!field.apply(QString::number(next), &why)) {
        qDebug().noquote() << QStringLiteral("Quick control refused: %1 (%2)").arg(property, why);
        return false;
    }
    qDebug().noquote() << QStringLiteral("Setting changed by operator: %1 %2 -> %3")
                              .arg(object->objectName(), property, fieldOf(object, property, m_data).valueText());
    return true;
}

void QuickControlBar::stepRange(int channel, int direction)
{
    if (!autoOn(m_data))
        stepChoice(m_data->setup()->transducer(channel & 1), QStringLiteral("Range"), direction);
}

void QuickControlBar::stepGain(int channel, int direction)
{
    if (!autoOn(m_data))
        stepChoice(m_data->setup()->transducer(channel & 1), QStringLiteral("CombinedGain"), direction);
}

void QuickControlBar::toggleAuto()
{
    ESOptionsSetup *options = m_data->setup()->SetupSetup()->OptionsSetup();
    fieldOf(options, QStringLiteral("AutoFunctions"), m_data).apply(QString::number(autoOn(m_data) ? 1 : 0));
}

void QuickControlBar::refresh()
{
    const bool automatic = autoOn(m_data);
    for (int ch = 0; ch < 2; ++ch) {
        EsTransducerSetup *t = m_data->setup()->transducer(ch);
        const SettingField range = fieldOf(t, QStringLiteral("Range"), m_data);
        const SettingField gain = fieldOf(t, QStringLiteral("CombinedGain"), m_data);
        m_range[ch]->setText(QStringLiteral("%1 %2").arg(range.valueText(), range.unit()));
        m_gain[ch]->setText(QStringLiteral("Gain %1").arg(gain.valueText()));
        for (int d = 0; d < 2; ++d) {
            m_rangeStep[ch][d]->setEnabled(!automatic);
            m_gainStep[ch][d]->setEnabled(!automatic);
        }
    }
    m_auto->setChecked(automatic);
    m_auto->setText(automatic ? QStringLiteral("Auto range/gain: ON") : QStringLiteral("Auto range/gain: off"));
    ESAlertSetup *alerts = m_data->setup()->AlertSetup();
    for (auto [button, name, title] : {std::make_tuple(m_shallow, QStringLiteral("AlarmShallow"), QStringLiteral("Shallow")),
                                       std::make_tuple(m_deep, QStringLiteral("AlertDeep"), QStringLiteral("Deep"))}) {
        const SettingField f = fieldOf(alerts, name, m_data);
        const QString value = f.valueText();
        button->setText(QStringLiteral("%1\n%2").arg(title, value == QLatin1String("Off") ? value : value + QLatin1Char(' ') + f.unit()));
    }
}
