#include "printscreen.h"

#include "touchtheme.h"

#include "echogramprinter.h"
#include "echogrampanel.h"
#include "esdata.h"
#include "essetup.h"
#include "singlees_transducerruntimewidget.h"
#include "unitclock.h"

#include <QDebug>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

PrintScreen::PrintScreen(ESData *data, EchogramPanel *echograms, QWidget *parent)
    : QWidget(parent), m_data(data), m_echograms(echograms), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("PrintScreen"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(16);
    const TouchTheme::ScreenHeader top = TouchTheme::screenHeader(this, QStringLiteral("Print echogram"));
    QHBoxLayout *header = top.layout;
    QPushButton *back = top.back;
    layout->addLayout(header);
    connect(back, &QPushButton::clicked, this, &PrintScreen::backRequested);

    auto *channels = new QHBoxLayout;
    const char *const names[] = {"Channel 1", "Channel 2", "Both channels"};
    // The print channel setting chooses the default (Channel_1, Channel_2, Primary_Ch, Both_Ch).
    const int setting = data->setup()->KX12Setup()->PrintChannel();
    const int preset = setting == 1 ? 1 : setting == 3 ? 2 : 0;
    for (int i = 0; i < 3; ++i) {
        m_choice[i] = new QPushButton(QLatin1String(names[i]), this);
        m_choice[i]->setObjectName(QStringLiteral("print_choice_%1").arg(i));
        m_choice[i]->setCheckable(true);
        m_choice[i]->setChecked(i == preset);
        m_choice[i]->setMinimumHeight(80);
        channels->addWidget(m_choice[i]);
        connect(m_choice[i], &QPushButton::clicked, this, [this, i] {
            for (int k = 0; k < 3; ++k)
                m_choice[k]->setChecked(k == i);
        });
    }
    layout->addLayout(channels);

    auto *actions = new QHBoxLayout;
    auto *pdf = new QPushButton(QStringLiteral("Save as PDF"), this);
    pdf->setObjectName(QStringLiteral("save_pdf"));
    m_printer = new QPushButton(QStringLiteral("Print on printer"), this);
    m_printer->setObjectName(QStringLiteral("print_printer"));
    for (QPushButton *b : {pdf, m_printer})
        b->setMinimumHeight(96);
    actions->addWidget(pdf);
    actions->addWidget(m_printer);
    layout->addLayout(actions);
    connect(pdf, &QPushButton::clicked, this, &PrintScreen::saveAsPdf);
    connect(m_printer, &QPushButton::clicked, this, &PrintScreen::printOnPrinter);
    const bool printerThere = !QPrinterInfo::defaultPrinter().isNull() || !QPrinterInfo::availablePrinterNames().isEmpty();
    m_printer->setEnabled(printerThere);
    m_status->setObjectName(QStringLiteral("secondary"));
    m_status->setWordWrap(true);
    m_status->setText(printerThere ? QString() : QStringLiteral("No printer connected: the echogram can be saved as a PDF file."));
    layout->addWidget(m_status);
    layout->addStretch(1);
}

QString PrintScreen::printoutDirectory()
{
    return QDir::current().filePath(QStringLiteral("Printouts"));
}

QString PrintScreen::statusText() const
{
    return m_status->text();
}

QList<int> PrintScreen::chosenChannels() const
{
    if (m_choice[2]->isChecked())
        return {0, 1};
    return {m_choice[1]->isChecked() ? 1 : 0};
}

QString PrintScreen::saveAsPdf()
{
    const QDateTime now = UnitClock::instance().currentDateTimeUtc();
    QList<EchogramPrinter::Sheet> sheets;
    for (int ch : chosenChannels())
        sheets << EchogramPrinter::Sheet::of(m_echograms->channelView(ch), now);
    QDir().mkpath(printoutDirectory());
    const QString path = QDir(printoutDirectory())
                             .filePath(QStringLiteral("Echogram_%1.pdf").arg(now.toString(QStringLiteral("yyyyMMdd_hhmmss"))));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("KVE 420 echogram"));
    QString error;
    if (!EchogramPrinter::print(&printer, sheets, &error)) {
        m_status->setText(QStringLiteral("Not saved: ") + error);
        qDebug().noquote() << QStringLiteral("Echogram not saved as PDF: ") + error;
        return QString();
    }
    m_status->setText(QStringLiteral("Saved: ") + path);
    qDebug().noquote() << QStringLiteral("Echogram printed to PDF: ") + path;
    return path;
}

bool PrintScreen::printOnPrinter()
{
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("KVE 420 echogram"));
    const QDateTime now = UnitClock::instance().currentDateTimeUtc();
    QList<EchogramPrinter::Sheet> sheets;
    for (int ch : chosenChannels())
        sheets << EchogramPrinter::Sheet::of(m_echograms->channelView(ch), now);
    QString error;
    if (!EchogramPrinter::print(&printer, sheets, &error)) {
        m_status->setText(QStringLiteral("Not printed: ") + error);
        return false;
    }
    m_status->setText(QStringLiteral("Sent to printer ") + printer.printerName());
    qDebug().noquote() << QStringLiteral("Echogram printed on ") + printer.printerName();
    return true;
}
