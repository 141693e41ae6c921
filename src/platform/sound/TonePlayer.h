#pragma once

// Tunes through the sound output: a list of tones (a pitch and a length each, a rest being a
// tone of no pitch) played as plain sine waves, where the system has a sound device; silently
// nothing where it has none.

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

class QAudioSink;
class QBuffer;

namespace platform {

struct TTone {
    double hz = 0; // 0: a rest
    int ms = 0;
};

// The samples of the tones one after the other: 16-bit mono at sampleRate, each tone a sine at
// two thirds of full scale whose first and last milliseconds fade, so that notes do not click.
std::vector<std::int16_t> ToneSamples(const std::vector<TTone>& tones, int sampleRate);

class TTonePlayer : public QObject {
    Q_OBJECT
public:
    explicit TTonePlayer(QObject* parent = nullptr);
    ~TTonePlayer() override;

    // Whether the system has a sound device to play on.
    static bool soundAvailable();
    // Plays the tones from the start, after stopping what was playing; false (and nothing
    // played) without a sound device.
    bool play(const std::vector<TTone>& tones);
    void stop();
    bool playing() const;

signals:
    // The tune has been played to its end (not after stop()).
    void finished();

private:
    static constexpr int kSampleRate = 22050;
    std::unique_ptr<QAudioSink> m_sink;
    std::unique_ptr<QBuffer> m_buffer;
    QByteArray m_bytes;
    bool m_stopping = false;
};

} // namespace platform
