// The seam that starts the outside launcher program without waiting for it.
#pragma once

#include <QString>
#include <QStringList>

namespace tavoro::platform {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` with `arguments`, detached. False with `error` filled on failure.
    virtual bool start(const QString &program, const QStringList &arguments, QString *error) = 0;
};

class ProcessLauncher final : public Launcher {
public:
    bool start(const QString &program, const QStringList &arguments, QString *error) override;
};

} // namespace tavoro::platform
