// Writes the default sound folder: tavoro-default-sounds FOLDER. The build runs it so that
// the installation carries the same sound table and wave files that `tavoro-data init` lays
// into a new data folder.
#include "DefaultData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(f.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tavoro-default-sounds FOLDER\n");
        return 2;
    }
    const QString folder = args.at(1) + u'/';
    QDir().mkpath(folder);
    bool ok = write(folder + QStringLiteral("新音ファイル.txt"),
                    tavoro::defaults::TextFileBytes(tavoro::defaults::SoundTableLines()));
    for (const tavoro::defaults::Sound &s : tavoro::defaults::Sounds())
        ok &= write(folder + s.name + QStringLiteral(".wav"), s.wave);
    return ok ? 0 : 1;
}
