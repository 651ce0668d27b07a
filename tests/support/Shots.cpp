// Window snapshots.
#include "Shots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace tavoro::test {

QString saveShot(QWidget *widget, const QString &name)
{
    const QString dir = QStringLiteral(TAVORO_SHOTS_DIR);
    QDir().mkpath(dir);
    const QString path = dir + u'/' + name + QStringLiteral(".png");
    widget->grab().save(path);
    return path;
}

} // namespace tavoro::test
