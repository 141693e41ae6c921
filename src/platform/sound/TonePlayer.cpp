#include "platform/sound/TonePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

std::vector<std::int16_t> ToneSamples(const std::vector<TTone>& tones, int sampleRate) {
    constexpr double kAmplitude = 32767.0 * 2 / 3;
    const int fade = std::max(1, sampleRate / 200); // 5 ms
    std::vector<std::int16_t> samples;
    for (const TTone& tone : tones) {
        const int count = static_cast<int>(std::lround(tone.ms * sampleRate / 1000.0));
        if (count <= 0)
            continue;
        const std::size_t start = samples.size();
        samples.resize(start + static_cast<std::size_t>(count), 0);
        if (tone.hz <= 0)
            continue; // a rest: silence
        const double step = 2 * std::numbers::pi * tone.hz / sampleRate;
        for (int i = 0; i < count; ++i) {
            const double edge = std::min(
                {1.0, static_cast<double>(i) / fade, static_cast<double>(count - 1 - i) / fade});
            samples[start + static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(std::lround(kAmplitude * edge * std::sin(step * i)));
        }
    }
    return samples;
}

TTonePlayer::TTonePlayer(QObject* parent) : QObject(parent) {}

TTonePlayer::~TTonePlayer() {
    stop();
}

bool TTonePlayer::soundAvailable() {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool TTonePlayer::play(const std::vector<TTone>& tones) {
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;
    const std::vector<std::int16_t> samples = ToneSamples(tones, kSampleRate);
    m_bytes = QByteArray(reinterpret_cast<const char*>(samples.data()),
                         static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
    m_buffer = std::make_unique<QBuffer>(&m_bytes);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        // Played out: the sink runs dry once the buffer is read to its end.
        if (state == QAudio::IdleState && !m_stopping) {
            m_sink->stop();
            emit finished();
        }
    });
    m_sink->start(m_buffer.get());
    return m_sink->error() == QAudio::NoError;
}

void TTonePlayer::stop() {
    if (!m_sink)
        return;
    m_stopping = true;
    m_sink->stop();
    m_sink.reset();
    m_buffer.reset();
    m_stopping = false;
}

bool TTonePlayer::playing() const {
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

} // namespace platform
