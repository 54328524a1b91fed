#include "echodepthsupervisor.h"

#include "validatedproperty.h"

#include <QStringList>

EchoDepthSupervisor::EchoDepthSupervisor(QObject *parent) : QObject(parent)
{
    for (int ch = 0; ch < kChannels; ++ch) {
        auto *field = new ValidatedFloatProperty(this);
        m_depth[size_t(ch)] = field;
        // The validity tick ages the depth out; the readout and the notice follow at once.
        connect(field, &ValidatedProperty::valueChanged, this, [this, ch] { publish(ch); });
    }
}

EchoDepthSupervisor::~EchoDepthSupervisor() = default;

bool EchoDepthSupervisor::isDepthValid(int channel) const
{
    return channel >= 0 && channel < kChannels && m_depth[size_t(channel)]->isValid();
}

double EchoDepthSupervisor::depth(int channel) const
{
    return channel >= 0 && channel < kChannels ? m_depth[size_t(channel)]->value() : double(EchoRecordInfo::kNoDepth);
}

int EchoDepthSupervisor::validityLimitSecs() const
{
    return m_depth[0]->validityLimit();
}

void EchoDepthSupervisor::setValidityLimitSecs(int secs)
{
    for (ValidatedFloatProperty *field : m_depth)
        field->setValidityLimit(secs);
}

void EchoDepthSupervisor::setReference(int reference)
{
    if (reference < BelowTransducer || reference > BelowKeel)
        return;
    m_reference = Reference(reference);
}

void EchoDepthSupervisor::recordAdded(EchoRecordInfo info, int channel)
{
    if (channel < 0 || channel >= kChannels)
        return;
    float d = EchoRecordInfo::kNoDepth;
    switch (m_reference) {
    case BelowTransducer: d = info.depth(); break;
    case BelowSurface: d = info.value(EchoRecordInfo::DepthBlwSurface, EchoRecordInfo::kNoDepth); break;
    case BelowKeel: d = info.value(EchoRecordInfo::DepthBlwKeel, EchoRecordInfo::kNoDepth); break;
    }
    m_heard[size_t(channel)] = true;
    // A ping without a bottom leaves the last depth to age out: one missed ping does not blank
    // the readout, a bottom lost for longer than the validity limit does.
    if (d > EchoRecordInfo::kNoDepth)
        m_depth[size_t(channel)]->setValue(double(d));
    else
        publish(channel);
}

void EchoDepthSupervisor::channelSilenceChanged(int channel, bool silent)
{
    if (channel < 0 || channel >= kChannels)
        return;
    m_silent[size_t(channel)] = silent;
    updateNotice();
}

QString EchoDepthSupervisor::reason(int channel) const
{
    if (channel < 0 || channel >= kChannels || isDepthValid(channel))
        return QString();
    const QString name = QStringLiteral("CH%1 depth: ").arg(channel + 1);
    if (m_silent[size_t(channel)] || !m_heard[size_t(channel)])
        return name + tr("no echo data from the junction box");
    return name + tr("bottom not found");
}

QString EchoDepthSupervisor::notice() const
{
    QStringList lines;
    for (int ch = 0; ch < kChannels; ++ch) {
        const QString r = reason(ch);
        if (!r.isEmpty())
            lines << r;
    }
    return lines.join(QLatin1Char('\n'));
}

void EchoDepthSupervisor::publish(int channel)
{
    const bool valid = isDepthValid(channel);
    const double d = depth(channel);
    if (valid != m_shownValid[size_t(channel)] || (valid && d != m_shownDepth[size_t(channel)])) {
        m_shownValid[size_t(channel)] = valid;
        m_shownDepth[size_t(channel)] = d;
        emit depthChanged(channel, d, valid);
    }
    updateNotice();
}

void EchoDepthSupervisor::updateNotice()
{
    const QString text = notice();
    if (text == m_notice)
        return;
    m_notice = text;
    emit noticeChanged(text);
}
