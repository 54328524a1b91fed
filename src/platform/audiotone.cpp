#include "audiotone.h"

#include <QDebug>
#include <QLibrary>
#include <QtEndian>

#include <cerrno>
#include <cmath>

namespace {
// Values of the sound library's interface that the tone uses.
constexpr int PcmStreamPlayback = 0;
constexpr int PcmNonBlock = 1;
constexpr int PcmFormatS16Le = 2;
constexpr int PcmAccessRwInterleaved = 3;
constexpr unsigned LatencyUs = 60000;
constexpr int FeedMsecs = 20;

void quietErrors(const char *, int, const char *, int, const char *, ...) {}
}

struct AudioTone::Library
{
    QLibrary library{QStringLiteral("asound"), 2};
    int (*pcmOpen)(void **, const char *, int, int) = nullptr;
    int (*setParams)(void *, int, int, unsigned, unsigned, int, unsigned) = nullptr;
    long (*writei)(void *, const void *, unsigned long) = nullptr;
    int (*drop)(void *) = nullptr;
    int (*prepare)(void *) = nullptr;
    int (*recover)(void *, int, int) = nullptr;
    int (*close)(void *) = nullptr;
    int (*setErrorHandler)(void (*)(const char *, int, const char *, int, const char *, ...)) = nullptr;

    bool load()
    {
        if (!library.load())
            return false;
        auto get = [this](auto &fn, const char *name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(library.resolve(name));
            return fn != nullptr;
        };
        return get(pcmOpen, "snd_pcm_open") && get(setParams, "snd_pcm_set_params") && get(writei, "snd_pcm_writei")
               && get(drop, "snd_pcm_drop") && get(prepare, "snd_pcm_prepare") && get(recover, "snd_pcm_recover")
               && get(close, "snd_pcm_close") && get(setErrorHandler, "snd_lib_error_set_handler");
    }
};

std::unique_ptr<AudioTone> AudioTone::open(QObject *parent)
{
    auto library = std::make_unique<Library>();
    if (!library->load())
        return nullptr;
    // Without a sound card the library explains itself at length; the caller logs instead.
    library->setErrorHandler(&quietErrors);
    void *pcm = nullptr;
    if (library->pcmOpen(&pcm, "default", PcmStreamPlayback, PcmNonBlock) < 0 || !pcm)
        return nullptr;
    if (library->setParams(pcm, PcmFormatS16Le, PcmAccessRwInterleaved, 1, SampleRate, 1, LatencyUs) < 0) {
        library->close(pcm);
        return nullptr;
    }
    return std::unique_ptr<AudioTone>(new AudioTone(std::move(library), pcm, parent));
}

AudioTone::AudioTone(std::unique_ptr<Library> library, void *pcm, QObject *parent)
    : QObject(parent), m_library(std::move(library)), m_pcm(pcm)
{
    // One feed period of a sine tone that ends where it begins (whole cycles), so periods join.
    const int frames = int(SampleRate) * FeedMsecs / 1000;
    m_period.resize(frames * 2);
    for (int i = 0; i < frames; ++i) {
        const double phase = 2.0 * M_PI * ToneHz * i / SampleRate;
        qToLittleEndian<qint16>(qint16(std::lround(12000.0 * std::sin(phase))), m_period.data() + 2 * i);
    }
    m_feed.setInterval(FeedMsecs);
    m_feed.setTimerType(Qt::PreciseTimer);
    connect(&m_feed, &QTimer::timeout, this, &AudioTone::feed);
}

AudioTone::~AudioTone()
{
    m_library->drop(m_pcm);
    m_library->close(m_pcm);
}

void AudioTone::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    if (on) {
        feed();
        feed(); // a little ahead, so that a late timer does not leave a gap
        m_feed.start();
    } else {
        m_feed.stop();
        m_library->drop(m_pcm); // silent at once, not after what is queued
        m_library->prepare(m_pcm);
    }
}

void AudioTone::feed()
{
    const auto frames = static_cast<unsigned long>(m_period.size() / 2);
    long written = m_library->writei(m_pcm, m_period.constData(), frames);
    if (written == -EAGAIN)
        return; // the device has enough queued
    if (written < 0 && m_library->recover(m_pcm, int(written), 1) < 0)
        qDebug().noquote() << QStringLiteral("Sound output failed: ") + QString::number(written);
}
