#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>

class EchogramPanel;
class EchoScopeView;
class ESData;
class HistoryLogger;
class HistoryView;
class MultipleES_TransducersBuffer;
class PrintScreen;
class PropertyEditor;
class QStackedWidget;
class QuickControlBar;
class ScreenLighting;
class SerializableClass;
class ServiceAccess;
class SetupMenu;
class SetupPage;

// The operator's screens in the middle of the main window: the echogram, the setup menu and its
// pages, and the other views, with the quick control bar beside them. The status line above and
// the alert panel below stay in sight on every screen.
class OperatorScreens : public QWidget
{
    Q_OBJECT
public:
    OperatorScreens(ESData *data, QWidget *echogram, QWidget *parent = nullptr);
    ~OperatorScreens() override;

    QuickControlBar *controls() const { return m_controls; }
    ServiceAccess *serviceAccess() const { return m_access; }
    ScreenLighting *lighting() const { return m_lighting; }
    SetupMenu *setupMenu() const { return m_menu; }
    // The page of a group, built on first use.
    SetupPage *setupPage(int group);
    QWidget *currentScreen() const;
    PropertyEditor *quickEditor() const;

    // The views of the echo data: depth history, echo scope and printing of the echograms.
    void addEchoViews(EchogramPanel *echograms, MultipleES_TransducersBuffer *records, HistoryLogger *channel1,
                      HistoryLogger *channel2);
    HistoryView *historyView() const { return m_history; }
    EchoScopeView *scopeView() const { return m_scope; }
    PrintScreen *printScreen() const { return m_print; }

public slots:
    void showEchogram();
    void showSetupMenu();
    void showSetupPage(int group);
    // The full editor of one setting over the current screen (the alarm limits of the quick controls).
    void editSetting(SerializableClass *object, const QString &property);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showScreen(QWidget *screen);

    ESData *m_data;
    QStackedWidget *m_stack;
    QWidget *m_echogram;
    QuickControlBar *m_controls;
    ServiceAccess *m_access;
    ScreenLighting *m_lighting;
    SetupMenu *m_menu;
    QHash<int, SetupPage *> m_pages;
    QPointer<PropertyEditor> m_quickEditor;
    HistoryView *m_history = nullptr;
    EchoScopeView *m_scope = nullptr;
    PrintScreen *m_print = nullptr;
};
