#pragma once

#include <QWidget>

class EchogramPanel;
class ESData;
class QLabel;
class QPushButton;

// Printing from the main screen: the echogram of channel 1, channel 2 or both, on the printer or
// as a PDF file in the "Printouts" folder.
class PrintScreen : public QWidget
{
    Q_OBJECT
public:
    PrintScreen(ESData *data, EchogramPanel *echograms, QWidget *parent = nullptr);

    QString statusText() const;
    static QString printoutDirectory();

public slots:
    // The file written, or empty when nothing could be written.
    QString saveAsPdf();
    bool printOnPrinter();

signals:
    void backRequested();

private:
    QList<int> chosenChannels() const;

    ESData *m_data;
    EchogramPanel *m_echograms;
    QPushButton *m_choice[3];
    QPushButton *m_printer;
    QLabel *m_status;
};
