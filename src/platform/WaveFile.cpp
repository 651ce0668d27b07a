// RIFF/WAVE reading and writing.
#include "WaveFile.h"

#include <QtEndian>

namespace tavoro::platform {
namespace {

std::uint32_t u32(const char *p)
{
    return qFromLittleEndian<std::uint32_t>(p);
}
std::uint16_t u16(const char *p)
{
    return qFromLittleEndian<std::uint16_t>(p);
}

} // namespace

bool parseWave(const QByteArray &bytes, WaveData *out, QString *reason)
{
    auto fail = [&](const char *why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return false;
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail("not a RIFF/WAVE file");
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    bool haveFormat = false;
    int formatTag = 0;
    WaveData w;
    qsizetype pos = 12;
    while (pos + 8 <= size) {
        const QByteArray id(data + pos, 4);
        const std::uint32_t len = u32(data + pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype avail = std::min<qsizetype>(len, size - body);
        if (id == "fmt ") {
            if (avail < 16)
                return fail("format chunk too short");
            formatTag = u16(data + body);
            w.channels = u16(data + body + 2);
            w.sampleRate = int(u32(data + body + 4));
            w.bitsPerSample = u16(data + body + 14);
            if (formatTag == 0xFFFE && avail >= 26)
                formatTag = u16(data + body + 24); // sub-format GUID starts with the tag
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail("data before format");
            w.samples = QByteArray(data + body, avail);
            break;
        }
        pos = body + qsizetype(len) + (len & 1);
    }
    if (!haveFormat)
        return fail("no format chunk");
    if (formatTag == 3) {
        w.isFloat = true;
        if (w.bitsPerSample != 32)
            return fail("unsupported float sample size");
    } else if (formatTag != 1) {
        return fail("compressed wave files are not supported");
    }
    if (w.channels < 1 || w.channels > 8 || w.sampleRate < 1000 || w.sampleRate > 384000)
        return fail("implausible wave format");
    if (w.bitsPerSample != 8 && w.bitsPerSample != 16 && w.bitsPerSample != 24 &&
        w.bitsPerSample != 32)
        return fail("unsupported sample size");
    if (w.samples.isEmpty())
        return fail("no samples");
    *out = std::move(w);
    return true;
}

QByteArray makeWave16(const std::vector<std::int16_t> &samples, int sampleRate, int channels)
{
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    auto put32 = [&](std::uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto put16 = [&](std::uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    put32(36 + dataBytes);
    out.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(std::uint16_t(channels));
    put32(std::uint32_t(sampleRate));
    put32(std::uint32_t(sampleRate * channels * 2));
    put16(std::uint16_t(channels * 2));
    put16(16);
    out.append("data");
    put32(dataBytes);
    for (std::int16_t s : samples)
        put16(std::uint16_t(s));
    return out;
}

} // namespace tavoro::platform
