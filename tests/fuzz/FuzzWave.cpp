// The wave file parser behind the sound player.
#include "FuzzSupport.h"

#include "platform/WaveFile.h"

#include <cmath>

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    platform::WaveData wave;
    QString reason;
    if (!platform::parseWave(bytes, &wave, &reason)) {
        FUZZ_CHECK(!reason.isEmpty());
        return 0;
    }
    FUZZ_CHECK(wave.bitsPerSample == 8 || wave.bitsPerSample == 16 || wave.bitsPerSample == 24 ||
               wave.bitsPerSample == 32);
    FUZZ_CHECK(wave.channels > 0 && wave.sampleRate > 0);
    FUZZ_CHECK(wave.samples.size() <= bytes.size());
    FUZZ_CHECK(wave.frameCount() >= 0);
    FUZZ_CHECK(std::isfinite(wave.durationSeconds()) && wave.durationSeconds() >= 0);
    return 0;
}
