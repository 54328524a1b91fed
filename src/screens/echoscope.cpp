#include "echoscope.h"

#include "esdata.h"
#include "essetup.h"
#include "esunitconverter.h"
#include "multiplees_transducersbuffer.h"
#include "settingfield.h"
#include "touchtheme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

EchoScopePlot::EchoScopePlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EchoScopePlot"));
    setMinimumSize(400, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EchoScopePlot::setChannel(int channel)
{
    if (channel == m_channel)
        return;
    m_channel = channel & 1;
    m_raw.clear();
    m_filtered.clear();
    m_info = EchoRecordInfo();
    m_range = 0.0;
    update();
}

void EchoScopePlot::setDepthUnit(int unit)
{
    m_depthUnit = unit;
    update();
}

double EchoScopePlot::bottomDepth() const
{
    return m_info.hasDepth() ? double(m_info.depth()) : -1.0;
}

void EchoScopePlot::rawPing(QByteArray samples, EchoRecordInfo info, int channel)
{
    if (channel != m_channel)
        return;
    m_raw = samples;
    m_info = info;
    if (info.bufferRange() > 0)
        m_range = info.bufferRange();
    update();
}

void EchoScopePlot::filteredPing(QByteArray samples, EchoRecordInfo info, int channel)
{
    if (channel != m_channel)
        return;
    m_filtered = samples;
    if (!m_info.isComplete())
        m_info = info;
    if (info.bufferRange() > 0)
        m_range = info.bufferRange();
    update();
}

void EchoScopePlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette pal = palette();
    const TouchTheme::Lighting lighting = pal.color(QPalette::Window).lightness() > 128 ? TouchTheme::Lighting::Day
                                          : pal.color(QPalette::WindowText).blue() < 80 ? TouchTheme::Lighting::Night
                                                                                         : TouchTheme::Lighting::Dusk;
    p.fillRect(rect(), pal.color(QPalette::Base));
    const QRect r = rect().adjusted(70, 30, -16, -36);
    QFont small = font();
    small.setPointSizeF(11);
    p.setFont(small);
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(r);
    if (m_range <= 0.0 || (m_raw.isEmpty() && m_filtered.isEmpty())) {
        p.setPen(pal.color(QPalette::Text));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("Waiting for pings of CH%1").arg(m_channel + 1));
        return;
    }
    const double shownRange = ESUnitConverter::convertDepth(float(m_range), 0, m_depthUnit);
    // Depth scale down the left, amplitude across.
    for (int i = 0; i <= 10; ++i) {
        const int y = r.top() + i * r.height() / 10;
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.left(), y, r.right(), y);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(0, y - 10, 62, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(shownRange * i / 10, 'f', shownRange < 20 ? 1 : 0));
    }
    for (int a = 0; a <= 256; a += 64) {
        const int x = r.left() + a * r.width() / 256;
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(x, r.top(), x, r.bottom());
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawText(QRect(0, r.bottom() + 4, 62, 20), Qt::AlignRight, DisplayUnits::depthUnitText(m_depthUnit));
    p.drawText(QRect(r.left(), r.bottom() + 4, r.width(), 20), Qt::AlignHCenter, QStringLiteral("echo amplitude"));

    auto trace = [&](const QByteArray &samples, const QColor &colour, int width) {
        if (samples.isEmpty())
            return;
        QPainterPath path;
        const int n = samples.size();
        for (int i = 0; i < n; ++i) {
            const double x = r.left() + double(quint8(samples.at(i))) / 256.0 * r.width();
            const double y = r.top() + (i + 0.5) / n * r.height();
            if (i == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.setPen(QPen(colour, width));
        p.drawPath(path);
    };
    QColor rawColour = pal.color(QPalette::Dark);
    trace(m_raw, rawColour, 1);
    trace(m_filtered, TouchTheme::channelColor(lighting, m_channel), 2);

    const double bottom = bottomDepth();
    if (bottom >= 0.0 && bottom <= m_range) {
        const int y = int(r.top() + bottom / m_range * r.height());
        const QColor warn = TouchTheme::warningColor(lighting);
        p.setPen(QPen(warn, 3));
        p.drawLine(r.left(), y, r.right(), y);
        p.drawText(QRect(r.right() - 300, y - 22, 296, 20), Qt::AlignRight,
                   QStringLiteral("Bottom %1 %2").arg(ESUnitConverter::convertDepth(float(bottom), 0, m_depthUnit), 0, 'f', 1)
                       .arg(DisplayUnits::depthUnitText(m_depthUnit)));
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawText(QRect(r.left(), 4, r.width(), 22), Qt::AlignLeft,
               QStringLiteral("CH%1   raw (thin) and filtered (bold)   %2")
                   .arg(m_channel + 1)
                   .arg(m_info.dateTimeUtc().toString(QStringLiteral("hh:mm:ss.zzz 'UTC'"))));
}

EchoScopeView::EchoScopeView(ESData *data, MultipleES_TransducersBuffer *source, QWidget *parent)
    : QWidget(parent), m_data(data), m_source(source), m_plot(new EchoScopePlot(this))
{
    setObjectName(QStringLiteral("EchoScopeView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    const TouchTheme::ScreenHeader top = TouchTheme::screenHeader(this, QStringLiteral("Echo scope"));
    QHBoxLayout *header = top.layout;
    QPushButton *back = top.back;
    for (int ch = 0; ch < 2; ++ch) {
        m_channels[ch] = new QPushButton(QStringLiteral("CH%1").arg(ch + 1), this);
        m_channels[ch]->setObjectName(QStringLiteral("channel_%1").arg(ch + 1));
        m_channels[ch]->setCheckable(true);
        m_channels[ch]->setChecked(ch == 0);
        m_channels[ch]->setMinimumWidth(96);
        header->addWidget(m_channels[ch]);
        connect(m_channels[ch], &QPushButton::clicked, this, [this, ch] {
            m_plot->setChannel(ch);
            m_channels[0]->setChecked(ch == 0);
            m_channels[1]->setChecked(ch == 1);
        });
    }
    layout->addLayout(header);
    layout->addWidget(m_plot, 1);
    connect(back, &QPushButton::clicked, this, &EchoScopeView::backRequested);
    connect(source, &MultipleES_TransducersBuffer::sendRawDataToScope, m_plot, &EchoScopePlot::rawPing);
    connect(source, &MultipleES_TransducersBuffer::sendFilteredDataToScope, m_plot, &EchoScopePlot::filteredPing);
    ESOptionsSetup *options = data->setup()->SetupSetup()->OptionsSetup();
    connect(options, &ESOptionsSetup::ScalesDepthChanged, m_plot, &EchoScopePlot::setDepthUnit);
    m_plot->setDepthUnit(options->ScalesDepth());
}

void EchoScopeView::setOpen(bool open)
{
    m_source->setEchoScopeShown(open);
    ESTestScreenSetup *test = m_data->setup()->TestScreenSetup();
    if (test->ScopeScreenOpen() != (open ? 1 : 0))
        test->changeValue(QStringLiteral("ScopeScreenOpen"), open ? 1 : 0);   // No;Yes
}

void EchoScopeView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setOpen(true);
}

void EchoScopeView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    setOpen(false);
}
