#include "setuppage.h"

#include "esdata.h"
#include "essetup.h"
#include "propertyeditor.h"
#include "serializableclass.h"
#include "serviceaccess.h"
#include "servicecodepad.h"
#include "touchtheme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

PropertyRow::PropertyRow(const SettingField &field, QWidget *parent) : QAbstractButton(parent), m_field(field)
{
    setObjectName(field.object()->objectName() + QLatin1Char('/') + field.name());
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(TouchTheme::kRowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Follow the setting: every property announces each write through its change signal.
    const QMetaObject *mo = field.object()->metaObject();
    const QMetaProperty p = mo->property(mo->indexOfProperty(field.name().toLatin1().constData()));
    if (p.hasNotifySignal())
        connect(field.object(), p.notifySignal(), this, metaObject()->method(metaObject()->indexOfSlot("refresh()")));
}

QSize PropertyRow::sizeHint() const
{
    return QSize(600, TouchTheme::kRowHeight);
}

void PropertyRow::setUnits(const DisplayUnits &units)
{
    m_field = SettingField(m_field.object(), m_field.metadata(), units);
    update();
}

void PropertyRow::refresh()
{
    update();
}

QString PropertyRow::valueText() const
{
    const QString unit = m_field.unit();
    const QString value = m_field.valueText();
    return unit.isEmpty() || value == QLatin1String("Off") ? value : value + QLatin1Char(' ') + unit;
}

QStringList PropertyRow::statusWords() const
{
    QStringList words;
    if (m_field.isReadOnly())
        words << QStringLiteral("read only");
    else if (m_field.isProtected() && !m_serviceOpen)
        words << QStringLiteral("service");
    if (!m_field.isValid())
        words << QStringLiteral("not confirmed");
    if (!m_field.isWithinLimits())
        words << QStringLiteral("outside limits");
    return words;
}

void PropertyRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette pal = palette();
    const QRect r = rect().adjusted(0, 2, 0, -2);
    const bool editable = !m_field.isReadOnly();
    p.fillRect(r, isDown() ? pal.color(QPalette::Highlight) : editable ? pal.color(QPalette::Button)
                                                                       : pal.color(QPalette::Window));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const QColor text = isDown() ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
    QFont nameFont = font();
    nameFont.setPointSizeF(15);
    p.setFont(nameFont);
    p.setPen(text);
    const QRect nameRect = r.adjusted(14, 4, -r.width() / 2, -r.height() / 2 + 6);
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, m_field.label());

    const QStringList words = statusWords();
    if (!words.isEmpty()) {
        QFont small = font();
        small.setPointSizeF(11);
        p.setFont(small);
        const bool alarming = words.contains(QStringLiteral("outside limits"));
        p.setPen(alarming ? pal.color(QPalette::BrightText) : pal.color(QPalette::Dark));
        p.drawText(r.adjusted(14, r.height() / 2 + 2, -r.width() / 2, -2), Qt::AlignLeft | Qt::AlignVCenter,
                   words.join(QStringLiteral(" \u00B7 ")));
    }

    QFont valueFont = font();
    valueFont.setPointSizeF(17);
    valueFont.setBold(true);
    p.setFont(valueFont);
    p.setPen(isDown() ? text : editable ? pal.color(QPalette::Link) : pal.color(QPalette::Dark));
    const QString shown = valueText() + (editable ? QStringLiteral("  \u203A") : QString());
    p.drawText(r.adjusted(r.width() / 2, 0, -14, 0), Qt::AlignRight | Qt::AlignVCenter,
               p.fontMetrics().elidedText(shown, Qt::ElideMiddle, r.width() / 2 - 14));
}

SetupPage::SetupPage(const SetupGroup &group, ESData *data, ServiceAccess *access, QWidget *parent)
    : QWidget(parent), m_title(group.title), m_data(data), m_access(access), m_scroll(new QScrollArea(this))
{
    setObjectName(QStringLiteral("SetupPage"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);

    auto *header = new QHBoxLayout;
    auto *back = new QPushButton(QStringLiteral("\u2039 Setup menu"), this);
    back->setObjectName(QStringLiteral("back"));
    auto *title = new QLabel(group.title, this);
    title->setObjectName(QStringLiteral("title"));
    m_serviceButton = new QPushButton(this);
    m_serviceButton->setObjectName(QStringLiteral("service"));
    for (QPushButton *b : {back, m_serviceButton}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(200, TouchTheme::kButtonHeight);
    }
    header->addWidget(back);
    header->addSpacing(12);
    header->addWidget(title, 1);
    header->addWidget(m_serviceButton);
    layout->addLayout(header);
    connect(back, &QPushButton::clicked, this, &SetupPage::backRequested);
    connect(m_serviceButton, &QPushButton::clicked, this, [this] {
        if (m_access->isUnlocked())
            m_access->lock();
        else
            openRow(nullptr);
    });

    auto *body = new QHBoxLayout;
    auto *list = new QWidget;
    auto *rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, 0, 4, 0);
    rows->setSpacing(2);
    const DisplayUnits units = DisplayUnits::of(data->setup()->SetupSetup()->OptionsSetup());
    for (const SetupSection &section : SetupGroups::sections(*data, group)) {
        auto *heading = new QLabel(section.heading, list);
        heading->setObjectName(QStringLiteral("secondary"));
        heading->setContentsMargins(6, 10, 0, 2);
        rows->addWidget(heading);
        const ClassMetadata &meta = ClassMetadata::of(section.object->metaObject());
        for (const QString &name : section.properties) {
            auto *row = new PropertyRow(SettingField(section.object, *meta.property(name), units), list);
            connect(row, &PropertyRow::clicked, this, [this, row] { openRow(row); });
            rows->addWidget(row);
            m_rows << row;
        }
    }
    rows->addStretch(1);
    m_scroll->setWidget(list);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body->addWidget(m_scroll, 1);

    // Gloved fingers page through the list with large buttons rather than a thin bar.
    auto *paging = new QVBoxLayout;
    auto *up = new QPushButton(QStringLiteral("\u25B2"), this);
    up->setObjectName(QStringLiteral("page_up"));
    auto *down = new QPushButton(QStringLiteral("\u25BC"), this);
    down->setObjectName(QStringLiteral("page_down"));
    for (QPushButton *b : {up, down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(72, 120);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(500);
        b->setAutoRepeatInterval(400);
    }
    paging->addWidget(up);
    paging->addStretch(1);
    paging->addWidget(down);
    body->addLayout(paging);
    layout->addLayout(body, 1);
    connect(up, &QPushButton::clicked, this, [this] { scrollPage(-1); });
    connect(down, &QPushButton::clicked, this, [this] { scrollPage(1); });

    ESOptionsSetup *options = data->setup()->SetupSetup()->OptionsSetup();
    connect(options, &ESOptionsSetup::ScalesDepthChanged, this, &SetupPage::unitsChanged);
    connect(options, &ESOptionsSetup::ScalesSpeedChanged, this, &SetupPage::unitsChanged);
    connect(access, &ServiceAccess::unlockedChanged, this, &SetupPage::serviceAccessChanged);
    serviceAccessChanged(access->isUnlocked());
}

SetupPage::~SetupPage() = default;

PropertyEditor *SetupPage::editor() const
{
    return m_editor;
}

ServiceCodePad *SetupPage::codePad() const
{
    return m_codePad;
}

PropertyRow *SetupPage::row(const QString &objectName, const QString &property) const
{
    for (PropertyRow *r : m_rows) {
        if (r->field().object()->objectName() == objectName && r->field().name() == property)
            return r;
    }
    return nullptr;
}

void SetupPage::unitsChanged()
{
    const DisplayUnits units = DisplayUnits::of(m_data->setup()->SetupSetup()->OptionsSetup());
    for (PropertyRow *r : m_rows)
        r->setUnits(units);
}

void SetupPage::serviceAccessChanged(bool unlocked)
{
    m_serviceButton->setText(unlocked ? QStringLiteral("Service: open") : QStringLiteral("Service: locked"));
    for (PropertyRow *r : m_rows) {
        r->m_serviceOpen = unlocked;
        r->update();
    }
}

void SetupPage::scrollPage(int direction)
{
    QScrollBar *bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->value() + direction * qMax(TouchTheme::kRowHeight, m_scroll->viewport()->height() - TouchTheme::kRowHeight));
}

void SetupPage::openRow(PropertyRow *row)
{
    closeEditor();
    if (row && (!row->field().isProtected() || row->field().isReadOnly() || m_access->isUnlocked())) {
        openEditor(row);
        return;
    }
    // Locked protected setting (or the service button): the code first, then the editor.
    m_codePad = new ServiceCodePad(m_access, this);
    m_codePad->setGeometry(rect());
    m_codePad->show();
    m_codePad->raise();
    QPointer<PropertyRow> wanted(row);
    connect(m_codePad, &ServiceCodePad::finished, this, [this, wanted](bool unlocked) {
        m_codePad->deleteLater();
        m_codePad = nullptr;
        if (unlocked && wanted)
            openEditor(wanted);
    });
}

void SetupPage::openEditor(PropertyRow *row)
{
    m_editor = new PropertyEditor(row->field(), this);
    m_editor->setGeometry(rect());
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus();
    connect(m_editor, &PropertyEditor::finished, this, &SetupPage::closeEditor);
}

void SetupPage::closeEditor()
{
    if (m_editor) {
        m_editor->hide();
        m_editor->deleteLater();
        m_editor = nullptr;
    }
    if (m_codePad) {
        m_codePad->hide();
        m_codePad->deleteLater();
        m_codePad = nullptr;
    }
}

void SetupPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_editor)
        m_editor->setGeometry(rect());
    if (m_codePad)
        m_codePad->setGeometry(rect());
}
