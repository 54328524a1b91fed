// The setup pages built from the real settings catalogue: every shown property has an editor that
// sets it through its own validator and change path, protected settings wait for the service code,
// and values are shown and entered in the chosen unit system.
#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "operatorscreens.h"
#include "propertyeditor.h"
#include "quickcontrolbar.h"
#include "serviceaccess.h"
#include "servicecodepad.h"
#include "setupgroups.h"
#include "setuppage.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void press(QWidget *parent, const QString &name)
{
    auto *b = parent->findChild<QPushButton *>(name);
    QVERIFY2(b, qPrintable(QStringLiteral("no button ") + name));
    QVERIFY2(b->isEnabled(), qPrintable(QStringLiteral("button disabled: ") + name));
    QTest::mouseClick(b, Qt::LeftButton);
}

QString fileOf(const SerializableClass *object)
{
    QFile f(object->filePath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}

class TestSetupPages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ESData *m_data = nullptr;

    QString setupDir() const { return m_dir.path() + QStringLiteral("/Setup_Files/KVE 420/"); }

private slots:
    void init()
    {
        m_data = new ESData(setupDir());
        m_data->loadFromFiles();
    }
    void cleanup()
    {
        delete m_data;
        QDir(m_dir.path()).removeRecursively();
    }

    void everyShownPropertyHasAWorkingEditor()
    {
        ServiceAccess access;
        QVERIFY(access.unlock(QStringLiteral("0420")));
        QSignalSpy sent(m_data->setup(), &SerializableClass::singlePropertyTextReady);
        int shown = 0;
        for (const SetupGroup &group : SetupGroups::all()) {
            SetupPage page(group, m_data, &access);
            page.resize(1100, 700);
            QVERIFY2(!page.rows().isEmpty(), qPrintable(group.title));
            for (PropertyRow *row : page.rows()) {
                ++shown;
                const SettingField &f = row->field();
                const QString what = group.title + QLatin1Char(':') + row->objectName();
                QTest::mouseClick(row, Qt::LeftButton);
                PropertyEditor *editor = page.editor();
                QVERIFY2(editor, qPrintable(what));
                const QVariant before = f.object()->property(f.name().toLatin1().constData());
                const int sentBefore = sent.count();
                QString expected;
                switch (f.editor()) {
                case SettingField::Editor::ReadOnly:
                    QVERIFY2(!editor->findChild<QPushButton *>(QStringLiteral("apply"))->isEnabled(), qPrintable(what));
                    press(editor, QStringLiteral("cancel"));
                    QCOMPARE(f.object()->property(f.name().toLatin1().constData()), before);
                    continue;
                case SettingField::Editor::Choice: {
                    const int target = (f.currentChoice() + 1) % qMax(1, f.choices().size());
                    press(editor, QStringLiteral("choice_%1").arg(target));
                    expected = QString::number(target);
                    break;
                }
                case SettingField::Editor::Number: {
                    const double target = f.currentNumber() == f.maximum() ? f.minimum() : f.maximum();
                    expected = f.formatNumber(target);
                    press(editor, QStringLiteral("key_clear"));
                    QTest::keyClicks(editor, expected);
                    break;
                }
                case SettingField::Editor::Text:
                    // The first text that the property's own validator takes.
                    for (const char *candidate : {"AB12", "SD0123", "192.168.1.20", "x", "D", "."}) {
                        press(editor, QStringLiteral("key_clear"));
                        QTest::keyClicks(editor, QLatin1String(candidate));
                        expected = QLatin1String(candidate);
                        if (editor->confirm())
                            break;
                        expected.clear();
                    }
                    QVERIFY2(!expected.isEmpty(), qPrintable(what + QStringLiteral(": no text accepted")));
                    break;
                }
                if (page.editor()) {
                    QCOMPARE(editor->enteredText(), expected);
                    press(editor, QStringLiteral("apply"));
                }
                QVERIFY2(!page.editor(), qPrintable(what + QStringLiteral(" refused: ") + (page.editor() ? page.editor()->message() : QString())));
                const SettingField after(f.object(), f.metadata(), f.units());
                if (f.editor() == SettingField::Editor::Number)
                    QCOMPARE(after.formatNumber(after.currentNumber()), expected);
                else if (f.editor() == SettingField::Editor::Choice)
                    QCOMPARE(after.currentChoice(), expected.toInt());
                else
                    QCOMPARE(f.object()->property(f.name().toLatin1().constData()).toString(), expected);
                // The road of one setting: shared settings go to the junction box, every change to its file.
                const bool shared = f.object()->topObject() == m_data->setup();
                QCOMPARE(sent.count(), sentBefore + (shared ? 1 : 0));
                if (shared)
                    QVERIFY2(sent.last().at(0).toString().contains(f.name() + QLatin1Char('=')), qPrintable(what));
                // (A container's own properties travel with the tree but have no file.)
                if (!f.object()->isContainer())
                    QVERIFY2(fileOf(f.object()).contains(f.name() + QLatin1Char('=')), qPrintable(what));
            }
        }
        QVERIFY(shown > 300);
    }

    void protectedSettingsWaitForTheServiceCode()
    {
        OperatorScreens screens(m_data, new QWidget);
        screens.resize(1280, 700);
        SetupPage *page = screens.setupPage(SetupGroups::indexOf(QStringLiteral("Alarms")));
        PropertyRow *row = page->row(QStringLiteral("AlertSetup"), QStringLiteral("AlertType"));
        QVERIFY(row && row->statusWords().contains(QStringLiteral("service")));
        QTest::mouseClick(row, Qt::LeftButton);
        QVERIFY(!page->editor());
        ServiceCodePad *pad = page->codePad();
        QVERIFY(pad);
        for (const char *k : {"key_1", "key_2", "key_3", "key_4"})
            press(pad, QLatin1String(k));
        press(pad, QStringLiteral("apply"));
        QCOMPARE(pad->message(), QStringLiteral("Wrong code"));
        QVERIFY(!page->editor());
        for (const char *k : {"key_0", "key_4", "key_2", "key_0"})
            press(pad, QLatin1String(k));
        press(pad, QStringLiteral("apply"));
        QVERIFY(page->editor());
        QCOMPARE(page->editor()->field().name(), QStringLiteral("AlertType"));
        press(page->editor(), QStringLiteral("choice_2"));
        press(page->editor(), QStringLiteral("apply"));
        QCOMPARE(m_data->setup()->AlertSetup()->AlertType(), 2);

        // Back on the echogram the service settings are closed again.
        screens.showEchogram();
        QVERIFY(!screens.serviceAccess()->isUnlocked());
        QTest::mouseClick(row, Qt::LeftButton);
        QVERIFY(page->codePad() && !page->editor());
    }

    void valuesAreShownAndEnteredInTheChosenUnitAndRefusedWithTheReason()
    {
        ESAlertSetup *alerts = m_data->setup()->AlertSetup();
        QVERIFY(m_data->setup()->SetupSetup()->OptionsSetup()->changeValue(QStringLiteral("ScalesDepth"), 1));
        ServiceAccess access;
        SetupPage page(SetupGroups::all().at(SetupGroups::indexOf(QStringLiteral("Alarms"))), m_data, &access);
        PropertyRow *row = page.row(QStringLiteral("AlertSetup"), QStringLiteral("AlarmShallow"));
        QCOMPARE(row->valueText(), QStringLiteral("32.8 ft"));

        QSignalSpy sent(m_data->setup(), &SerializableClass::singlePropertyTextReady);
        QTest::mouseClick(row, Qt::LeftButton);
        QTest::keyClicks(page.editor(), QStringLiteral("50"));
        press(page.editor(), QStringLiteral("apply"));
        QVERIFY(!page.editor());
        QVERIFY(qAbs(alerts->AlarmShallow() - 15.24) < 1e-6);
        QCOMPARE(sent.count(), 1);
        QVERIFY(sent.at(0).at(0).toString().endsWith(QStringLiteral("AlertSetup,AlarmShallow=15.24")));
        QVERIFY(fileOf(alerts).contains(QStringLiteral("AlarmShallow=15.24,")));
        QCOMPARE(row->valueText(), QStringLiteral("50.0 ft"));

        // 400 ft is 121.9 m, beyond the shallow alarm's 100 m: refused, with the reason, nothing sent.
        const QString file = fileOf(alerts);
        QTest::mouseClick(row, Qt::LeftButton);
        QTest::keyClicks(page.editor(), QStringLiteral("400"));
        press(page.editor(), QStringLiteral("apply"));
        QVERIFY(page.editor());
        QVERIFY2(page.editor()->message().contains(QStringLiteral("between 1 and 100")), qPrintable(page.editor()->message()));
        QVERIFY(page.editor()->message().contains(QStringLiteral("328.0 ft")));
        QVERIFY(qAbs(alerts->AlarmShallow() - 15.24) < 1e-6);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(fileOf(alerts), file);
        press(page.editor(), QStringLiteral("cancel"));

        // The shallow alarm's "off" figure is taken whatever the unit.
        QTest::mouseClick(row, Qt::LeftButton);
        press(page.editor(), QStringLiteral("off"));
        press(page.editor(), QStringLiteral("apply"));
        QCOMPARE(alerts->AlarmShallow(), 0.0);
        QCOMPARE(row->valueText(), QStringLiteral("Off"));
    }

    void quickControlsStepRangeAndGainUnlessAutomatic()
    {
        OperatorScreens screens(m_data, new QWidget);
        QuickControlBar *bar = screens.controls();
        EsTransducerSetup *t = m_data->setup()->transducer(1);
        ESOptionsSetup *options = m_data->setup()->SetupSetup()->OptionsSetup();
        options->changeValue(QStringLiteral("AutoFunctions"), 1);
        const int range = t->Range();
        QSignalSpy sent(m_data->setup(), &SerializableClass::singlePropertyTextReady);
        press(bar, QStringLiteral("range2_up"));
        QCOMPARE(t->Range(), range + 1);
        QCOMPARE(bar->rangeText(1), QStringLiteral("250 m"));
        press(bar, QStringLiteral("gain2_down"));   // gain 2 -> 1
        press(bar, QStringLiteral("gain2_down"));   // already the lowest: nothing
        QCOMPARE(t->CombinedGain(), 0);
        QCOMPARE(sent.count(), 2);

        press(bar, QStringLiteral("auto"));
        QCOMPARE(options->AutoFunctions(), 0);
        QVERIFY(!bar->findChild<QPushButton *>(QStringLiteral("range2_up"))->isEnabled());
        bar->stepRange(1, 1);
        QCOMPARE(t->Range(), range + 1);

        press(bar, QStringLiteral("deep"));
        QVERIFY(screens.quickEditor());
        QCOMPARE(screens.quickEditor()->field().name(), QStringLiteral("AlertDeep"));
        QTest::keyClicks(screens.quickEditor(), QStringLiteral("150"));
        press(screens.quickEditor(), QStringLiteral("apply"));
        QCOMPARE(m_data->setup()->AlertSetup()->AlertDeep(), 150.0);
        QCOMPARE(bar->deepText(), QStringLiteral("Deep\n150.0 m"));
    }
};

QTEST_MAIN(TestSetupPages)
#include "tst_setuppages.moc"
