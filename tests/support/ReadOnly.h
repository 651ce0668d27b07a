// Files and folders that may only be read, and other accounts. Permission bits do not stop
// root, and the tests run as root in CI: there, while a ReadOnlyUser lives, the process acts
// as the unprivileged user "nobody", for whom every folder that root owns and that is not
// writable by all may only be read.
#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tavoro::test {

constexpr QFile::Permissions kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner |
                                               QFile::ReadGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions kOpenFolder =
    kReadOnlyFolder | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
constexpr QFile::Permissions kReadOnlyFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;

// Sets the permissions of each path; folders on the way to a test's files must let every
// user through (QTemporaryDir makes its folder the owner's alone).
inline void setPermissions(const QString &path, QFile::Permissions permissions)
{
    ASSERT_TRUE(QFile::setPermissions(path, permissions)) << path.toStdString();
}

// While it lives, the process acts as another account (effective ids only, so that it can
// return) of the given group, as the pupils' accounts of a school share one. Only root can
// switch; elsewhere nothing changes (possible() tells).
class OtherAccount {
public:
    OtherAccount(unsigned uid, unsigned gid)
    {
#ifndef _WIN32
        if (!possible())
            return;
        m_switched = ::setegid(gid) == 0 && ::seteuid(uid) == 0;
        EXPECT_TRUE(m_switched) << "cannot act as " << uid;
#else
        Q_UNUSED(uid);
        Q_UNUSED(gid);
#endif
    }
    ~OtherAccount()
    {
#ifndef _WIN32
        if (m_switched) {
            EXPECT_EQ(::seteuid(0), 0);
            EXPECT_EQ(::setegid(0), 0);
        }
#endif
    }
    OtherAccount(const OtherAccount &) = delete;
    OtherAccount &operator=(const OtherAccount &) = delete;

    static bool possible()
    {
#ifndef _WIN32
        return ::geteuid() == 0;
#else
        return false;
#endif
    }

private:
    bool m_switched = false;
};

class ReadOnlyUser : public OtherAccount {
public:
    static constexpr unsigned kNobody = 65534;
    ReadOnlyUser() : OtherAccount(kNobody, kNobody) {}
};

} // namespace tavoro::test
