#include "operatorscreens.h"

#include "echoscope.h"
#include "esdata.h"
#include "historyview.h"
#include "printscreen.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "propertyeditor.h"
#include "quickcontrolbar.h"
#include "serviceaccess.h"
#include "setupgroups.h"
#include "setupmenu.h"
#include "servicecodepad.h"
#include "setuppage.h"
#include "touchtheme.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QStackedWidget>

OperatorScreens::OperatorScreens(ESData *data, QWidget *echogram, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_stack(new QStackedWidget(this))
    , m_echogram(echogram)
    , m_controls(new QuickControlBar(data, this))
    , m_access(new ServiceAccess(this))
{
    setObjectName(QStringLiteral("OperatorScreens"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_stack, 1);
    layout->addWidget(m_controls);
    m_stack->addWidget(echogram);
    m_menu = new SetupMenu(data, m_access, this);
    m_stack->addWidget(m_menu);

    m_lighting = new ScreenLighting(this, data->localSetup()->DimmingSetup(), this);
    auto showLighting = [this] { m_controls->setLightingName(TouchTheme::name(m_lighting->lighting())); };
    connect(m_lighting, &ScreenLighting::lightingChanged, this, showLighting);
    showLighting();

    connect(m_controls, &QuickControlBar::setupRequested, this, &OperatorScreens::showSetupMenu);
    connect(m_controls, &QuickControlBar::echogramRequested, this, &OperatorScreens::showEchogram);
    connect(m_controls, &QuickControlBar::lightingRequested, m_lighting, &ScreenLighting::stepLighting);
    connect(m_controls, &QuickControlBar::editRequested, this, &OperatorScreens::editSetting);
    connect(m_menu, &SetupMenu::groupChosen, this, &OperatorScreens::showSetupPage);
    connect(m_menu, &SetupMenu::closeRequested, this, &OperatorScreens::showEchogram);
}

OperatorScreens::~OperatorScreens() = default;

SetupPage *OperatorScreens::setupPage(int group)
{
    if (group < 0 || group >= SetupGroups::all().size())
        return nullptr;
    SetupPage *&page = m_pages[group];
    if (!page) {
        page = new SetupPage(SetupGroups::all().at(group), m_data, m_access, this);
        m_stack->addWidget(page);
        connect(page, &SetupPage::backRequested, this, &OperatorScreens::showSetupMenu);
    }
    return page;
}

PropertyEditor *OperatorScreens::quickEditor() const
{
    return m_quickEditor;
}

QWidget *OperatorScreens::currentScreen() const
{
    return m_stack->currentWidget();
}

void OperatorScreens::addEchoViews(EchogramPanel *echograms, MultipleES_TransducersBuffer *records,
                                   HistoryLogger *channel1, HistoryLogger *channel2)
{
    m_history = new HistoryView(m_data, channel1, channel2, this);
    m_scope = new EchoScopeView(m_data, records, this);
    m_print = new PrintScreen(m_data, echograms, this);
    for (QWidget *w : {static_cast<QWidget *>(m_history), static_cast<QWidget *>(m_scope), static_cast<QWidget *>(m_print)})
        m_stack->addWidget(w);
    connect(m_history, &HistoryView::backRequested, this, &OperatorScreens::showEchogram);
    connect(m_scope, &EchoScopeView::backRequested, this, &OperatorScreens::showEchogram);
    connect(m_print, &PrintScreen::backRequested, this, &OperatorScreens::showEchogram);
    connect(m_controls, &QuickControlBar::historyRequested, this, [this] { showScreen(m_history); });
    connect(m_controls, &QuickControlBar::scopeRequested, this, [this] { showScreen(m_scope); });
    connect(m_controls, &QuickControlBar::printRequested, this, [this] { showScreen(m_print); });
}

void OperatorScreens::showScreen(QWidget *screen)
{
    if (m_quickEditor)
        m_quickEditor->cancel();
    if (m_stack->indexOf(screen) < 0)
        return;
    // Leaving the setup screens closes the service settings again.
    if (qobject_cast<SetupPage *>(screen) == nullptr && screen != m_menu)
        m_access->lock();
    m_stack->setCurrentWidget(screen);
}

void OperatorScreens::showEchogram()
{
    showScreen(m_echogram);
}

void OperatorScreens::showSetupMenu()
{
    showScreen(m_menu);
}

void OperatorScreens::showSetupPage(int group)
{
    if (SetupPage *page = setupPage(group))
        showScreen(page);
}

void OperatorScreens::editSetting(SerializableClass *object, const QString &property)
{
    const PropertyMetadata *meta = ClassMetadata::of(object->metaObject()).property(property);
    if (!meta)
        return;
    if (m_quickEditor)
        m_quickEditor->cancel();
    const SettingField field(object, *meta, DisplayUnits::of(m_data->setup()->SetupSetup()->OptionsSetup()));
    auto *editor = new PropertyEditor(field, this);
    m_quickEditor = editor;
    editor->setGeometry(m_stack->geometry());
    editor->show();
    editor->raise();
    editor->setFocus();
    connect(editor, &PropertyEditor::finished, editor, [editor] {
        editor->hide();
        editor->deleteLater();
    });
}

void OperatorScreens::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_quickEditor)
        m_quickEditor->setGeometry(m_stack->geometry());
}
