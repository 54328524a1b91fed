#pragma once

#include "settingfield.h"
#include "setupgroups.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

class ESData;
class PropertyEditor;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class ServiceAccess;
class ServiceCodePad;

// One line of a setup page: the setting's name, its value and unit, and what stands in the way of
// changing it. Tapping it opens the editor; it follows the setting as it changes.
class PropertyRow : public QAbstractButton
{
    Q_OBJECT
public:
    PropertyRow(const SettingField &field, QWidget *parent = nullptr);

    const SettingField &field() const { return m_field; }
    void setUnits(const DisplayUnits &units);
    // The status words shown under the name: "read only", "service", "not confirmed", "outside limits".
    QStringList statusWords() const;
    QString valueText() const;

    QSize sizeHint() const override;

public slots:
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SettingField m_field;
    bool m_serviceOpen = false;
    friend class SetupPage;
};

// The page of one settings group, generated from the settings metadata: a heading per settings
// object and a row per property. Protected rows ask for the service code first.
class SetupPage : public QWidget
{
    Q_OBJECT
public:
    SetupPage(const SetupGroup &group, ESData *data, ServiceAccess *access, QWidget *parent = nullptr);
    ~SetupPage() override;

    QString title() const { return m_title; }
    QList<PropertyRow *> rows() const { return m_rows; }
    PropertyRow *row(const QString &objectName, const QString &property) const;
    PropertyEditor *editor() const;
    ServiceCodePad *codePad() const;

public slots:
    void closeEditor();

signals:
    void backRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void unitsChanged();
    void serviceAccessChanged(bool unlocked);
    // As when the row is tapped: the editor, or the service code pad for a locked protected row.
    void openRow(PropertyRow *row);
    void openEditor(PropertyRow *row);
    void scrollPage(int direction);

    QString m_title;
    ESData *m_data;
    ServiceAccess *m_access;
    QScrollArea *m_scroll;
    QList<PropertyRow *> m_rows;
    QPointer<PropertyEditor> m_editor;
    QPointer<ServiceCodePad> m_codePad;
    QPushButton *m_serviceButton;
};
