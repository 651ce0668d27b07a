#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavoro::fuzz {

void CheckFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

std::vector<QByteArray> SplitParts(const std::uint8_t *data, std::size_t size, int count)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray separator(kPartSeparator);
    std::vector<QByteArray> parts;
    qsizetype from = 0;
    while (int(parts.size()) < count - 1) {
        const qsizetype at = input.indexOf(separator, from);
        if (at < 0)
            break;
        parts.push_back(input.mid(from, at - from));
        from = at + separator.size();
    }
    parts.push_back(input.mid(from));
    parts.resize(std::size_t(count));
    return parts;
}

test::FakeWorld &World()
{
    static test::FakeWorld world;
    return world;
}

test::Installation &SharedInstallation()
{
    static test::Installation installation;
    return installation;
}

} // namespace tavoro::fuzz
