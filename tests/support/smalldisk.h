#pragma once

#include <QString>
#include <QTemporaryDir>

// A file system of a few hundred KiB mounted on a temporary folder (a tmpfs), for tests of
// what the store does when the disk runs full. Mounting needs the right to mount (root or
// CAP_SYS_ADMIN); without it isMounted() is false and whyNot() says why, for a skip message.
class SmallDisk
{
public:
    explicit SmallDisk(int kib = 256);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.path(); }

    // Fills the disk with a filler file so that exactly `freeKiB` KiB stay free (in whole
    // pages); call again to change the amount. False when the disk cannot be filled so.
    bool leaveFree(int freeKiB);
    // Removes the filler file.
    void unfill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};
