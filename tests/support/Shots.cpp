// Window snapshots.
#include "Shots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace tavoro::test {

QString shotsDir()
{
    const QString dir = QStringLiteral(TAVORO_SHOTS_DIR);
    QDir().mkpath(dir);
    return dir;
}

QString saveShot(QWidget *widget, const QString &name)
{
    const QString dir = shotsDir();
    const QString path = dir + u'/' + name + QStringLiteral(".png");
    widget->grab().save(path);
    return path;
}

} // namespace tavoro::test
