#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

// A steady tone on the host's default sound output (ALSA), switched on and off as the beeper is.
// The sound library is loaded when the tone is opened, so a host without it, or without a sound
// device, simply has no tone.
class AudioTone : public QObject
{
    Q_OBJECT
public:
    static constexpr unsigned SampleRate = 16000;
    static constexpr unsigned ToneHz = 2000;

    // The tone on the default output; null when there is no sound library or device.
    static std::unique_ptr<AudioTone> open(QObject *parent = nullptr);
    ~AudioTone() override;

    void setOn(bool on);

private:
    struct Library;
    AudioTone(std::unique_ptr<Library> library, void *pcm, QObject *parent);
    void feed();

    std::unique_ptr<Library> m_library;
    void *m_pcm;
    QTimer m_feed;
    QByteArray m_period;
    bool m_on = false;
};
