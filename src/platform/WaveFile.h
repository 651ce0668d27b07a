// Wave files: the PCM reader behind the sound player, and the writer of the demo sounds.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tavoro::platform {

struct WaveData {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0; // 8, 16, 24 or 32
    bool isFloat = false;
    QByteArray samples; // interleaved, little-endian, as stored

    std::int64_t frameCount() const
    {
        const int frameBytes = channels * bitsPerSample / 8;
        return frameBytes > 0 ? samples.size() / frameBytes : 0;
    }
    double durationSeconds() const
    {
        return sampleRate > 0 ? double(frameCount()) / sampleRate : 0.0;
    }
};

// Parses a RIFF/WAVE image holding uncompressed PCM or float samples. False with a reason
// for anything else.
bool parseWave(const QByteArray &bytes, WaveData *out, QString *reason);

// The bytes of a 16-bit PCM wave file holding `samples` (interleaved).
QByteArray makeWave16(const std::vector<std::int16_t> &samples, int sampleRate, int channels);

} // namespace tavoro::platform
