#include "propertyeditor.h"

#include "onscreenkeys.h"
#include "serializableclass.h"
#include "touchtheme.h"

#include <QButtonGroup>
#include <QDebug>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLabel *label(const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumHeight(TouchTheme::kButtonHeight);
    return b;
}

}

PropertyEditor::PropertyEditor(const SettingField &field, QWidget *parent) : QFrame(parent), m_field(field)
{
    setObjectName(QStringLiteral("PropertyEditor"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    QString title = field.label();
    if (!field.unit().isEmpty())
        title += QStringLiteral(" [%1]").arg(field.unit());
    layout->addWidget(label(title, "title", this));
    layout->addWidget(label(QStringLiteral("Now: %1 %2").arg(field.valueText(), field.unit()).trimmed(), "secondary", this));

    m_message = label(QString(), "reason", this);
    auto *body = new QWidget(this);
    switch (field.editor()) {
    case SettingField::Editor::Choice:
        buildChoices(body);
        break;
    case SettingField::Editor::Number:
        buildNumber(body);
        break;
    case SettingField::Editor::Text:
        buildText(body);
        break;
    case SettingField::Editor::ReadOnly:
        new QVBoxLayout(body);
        body->layout()->addWidget(label(QStringLiteral("This setting is shown only."), "secondary", body));
        break;
    }
    layout->addWidget(body, 1);

    layout->addWidget(m_message);

    auto *buttons = new QHBoxLayout;
    QPushButton *cancel = button(QStringLiteral("Cancel"), "cancel", this);
    QPushButton *apply = button(QStringLiteral("Apply"), "apply", this);
    apply->setEnabled(!field.isReadOnly());
    apply->setMinimumWidth(180);
    cancel->setMinimumWidth(180);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &PropertyEditor::cancel);
    connect(apply, &QPushButton::clicked, this, &PropertyEditor::confirm);
}

void PropertyEditor::buildChoices(QWidget *body)
{
    const QStringList list = m_field.choices();
    auto *outer = new QVBoxLayout(body);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *holder = new QWidget;
    auto *grid = new QGridLayout(holder);
    grid->setSpacing(8);
    const int columns = list.size() <= 4 ? list.size() : list.size() <= 12 ? 3 : 4;
    m_choices = new QButtonGroup(this);
    m_choices->setExclusive(true);
    for (int i = 0; i < list.size(); ++i) {
        QString text = list.at(i);
        if (!m_field.unit().isEmpty() && m_field.metadata().kind() != QLatin1String("enum"))
            text += QLatin1Char(' ') + m_field.unit();
        else if (!m_field.unit().isEmpty() && !text.isEmpty() && text.at(0).isDigit())
            text += QLatin1Char(' ') + m_field.unit();
        QPushButton *b = button(text, "choice", holder);
        b->setObjectName(QStringLiteral("choice_%1").arg(i));
        b->setCheckable(true);
        b->setChecked(i == m_field.currentChoice());
        m_choices->addButton(b, i);
        grid->addWidget(b, i / qMax(1, columns), i % qMax(1, columns));
    }
    connect(m_choices, &QButtonGroup::idClicked, this,
            [this](int id) { m_entry = QString::number(id); m_message->clear(); });
    m_entry = QString::number(m_field.currentChoice());
    if (list.size() > 16) {
        auto *scroll = new QScrollArea(body);
        scroll->setWidget(holder);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        outer->addWidget(scroll);
    } else {
        outer->addWidget(holder);
        outer->addStretch(1);
    }
}

void PropertyEditor::buildNumber(QWidget *body)
{
    auto *layout = new QHBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    auto *left = new QVBoxLayout;
    m_entryLabel = label(QString(), "entry", body);
    m_entryLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    left->addWidget(m_entryLabel);
    const QString range = m_field.rangeText();
    if (!range.isEmpty())
        left->addWidget(label(QStringLiteral("Range: ") + range, "secondary", body));
    auto *steps = new QHBoxLayout;
    QPushButton *down = button(QStringLiteral("\u2212"), "step_down", body);
    QPushButton *up = button(QStringLiteral("+"), "step_up", body);
    down->setAutoRepeat(true);
    up->setAutoRepeat(true);
    steps->addWidget(down);
    steps->addWidget(up);
    connect(down, &QPushButton::clicked, this, [this] { step(-1); });
    connect(up, &QPushButton::clicked, this, [this] { step(1); });
    if (m_field.hasExceptionValue()) {
        QPushButton *off = button(QStringLiteral("Off"), "off", body);
        steps->addWidget(off);
        connect(off, &QPushButton::clicked, this, [this] { setEntry(m_field.formatNumber(m_field.exceptionValue())); });
    }
    left->addLayout(steps);
    const double span = m_field.maximum() - m_field.minimum();
    if (m_field.isInteger() && span > 0 && span <= 200) {
        m_slider = new QSlider(Qt::Horizontal, body);
        m_slider->setObjectName(QStringLiteral("slider"));
        m_slider->setMinimumHeight(TouchTheme::kButtonHeight);
        m_slider->setRange(int(m_field.minimum()), int(m_field.maximum()));
        m_slider->setValue(int(std::lround(m_field.currentNumber())));
        m_slider->setStyleSheet(QStringLiteral("QSlider::handle:horizontal { width: 48px; margin: -16px 0; }"
                                               "QSlider::groove:horizontal { height: 16px; }"));
        connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
            if (m_entry != QString::number(v))
                setEntry(QString::number(v));
        });
        left->addWidget(m_slider);
    }
    left->addStretch(1);
    layout->addLayout(left, 1);
    m_keys = new OnScreenKeys(OnScreenKeys::Layout::Numeric, body);
    if (m_field.isInteger())
        m_keys->key(QStringLiteral("."))->setEnabled(false);
    if (m_field.minimum() >= 0 && !(m_field.hasExceptionValue() && m_field.exceptionValue() < 0))
        m_keys->key(QStringLiteral("sign"))->setEnabled(false);
    connect(m_keys, &OnScreenKeys::keyPressed, this, &PropertyEditor::typeKey);
    layout->addWidget(m_keys);
    setEntry(m_field.valueText() == QLatin1String("Off") ? m_field.formatNumber(m_field.exceptionValue())
                                                         : m_field.formatNumber(m_field.currentNumber()));
}

void PropertyEditor::buildText(QWidget *body)
{
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    m_entryLabel = label(QString(), "entry", body);
    layout->addWidget(m_entryLabel);
    const QString hint = m_field.textHint();
    if (!hint.isEmpty())
        layout->addWidget(label(QStringLiteral("Expected: ") + hint, "secondary", body));
    m_keys = new OnScreenKeys(OnScreenKeys::Layout::Text, body);
    connect(m_keys, &OnScreenKeys::keyPressed, this, &PropertyEditor::typeKey);
    layout->addWidget(m_keys, 1);
    const QString now = m_field.object()->property(m_field.name().toLatin1().constData()).toString();
    setEntry(now);
}

QString PropertyEditor::enteredText() const
{
    return m_entry;
}

QString PropertyEditor::message() const
{
    return m_message->text();
}

void PropertyEditor::setEntry(const QString &text)
{
    m_entry = text;
    if (m_entryLabel)
        m_entryLabel->setText(text.isEmpty() ? QStringLiteral(" ") : text);
    if (m_slider) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok && v != m_slider->value()) {
            const QSignalBlocker block(m_slider);
            m_slider->setValue(v);
        }
    }
    m_message->clear();
}

void PropertyEditor::typeKey(const QString &key)
{
    if (key == QLatin1String("backspace")) {
        setEntry(m_entry.left(m_entry.size() - 1));
    } else if (key == QLatin1String("clear")) {
        setEntry(QString());
    } else if (key == QLatin1String("sign")) {
        setEntry(m_entry.startsWith(QLatin1Char('-')) ? m_entry.mid(1) : QStringLiteral("-") + m_entry);
    } else if (key.size() == 1) {
        // The first digit typed replaces the value shown when the editor opened.
        const bool replace = m_field.editor() == SettingField::Editor::Number && !m_typed;
        m_typed = true;
        setEntry(replace ? key : m_entry + key);
    }
}

void PropertyEditor::step(int direction)
{
    bool ok = false;
    double v = QLocale::c().toDouble(m_entry, &ok);
    if (!ok)
        v = m_field.currentNumber();
    const double unit = std::pow(10.0, -m_field.decimals());
    const double span = m_field.maximum() - m_field.minimum();
    const double stepSize = m_field.isInteger() || span >= 20.0 ? 1.0 : std::max(unit, 0.1);
    v = std::round((v + direction * stepSize) / unit) * unit;
    v = qBound(m_field.minimum(), v, m_field.maximum());
    m_typed = true;
    setEntry(m_field.formatNumber(v));
}

bool PropertyEditor::confirm()
{
    QString why;
    const QString before = m_field.valueText();
    if (!m_field.apply(m_entry, &why)) {
        m_message->setText(QStringLiteral("Not changed: ") + why);
        qDebug().noquote() << QStringLiteral("Setting refused: %1 %2 = %3 (%4)")
                                  .arg(m_field.object()->objectName(), m_field.name(), m_entry, why);
        return false;
    }
    qDebug().noquote() << QStringLiteral("Setting changed by operator: %1 %2 %3 -> %4")
                              .arg(m_field.object()->objectName(), m_field.name(), before, m_field.valueText());
    m_message->clear();
    emit finished(true);
    return true;
}

void PropertyEditor::cancel()
{
    emit finished(false);
}

void PropertyEditor::keyPressEvent(QKeyEvent *event)
{
    // A keyboard plugged into the unit types like the on-screen keys.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return;
    case Qt::Key_Escape:
        cancel();
        return;
    case Qt::Key_Backspace:
        typeKey(QStringLiteral("backspace"));
        return;
    default:
        break;
    }
    if (m_keys && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        typeKey(event->text());
        return;
    }
    QFrame::keyPressEvent(event);
}
