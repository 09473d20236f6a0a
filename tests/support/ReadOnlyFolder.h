#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder refuse new entries while the object lives: permissions for ordinary users,
// the immutable attribute when running as root (who ignores permissions). Files already in
// the folder stay writable.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& path) : m_path(path) {
        ::chmod(path.c_str(), 0555);
        if (canCreateIn())
            setImmutable(true);
        m_works = !canCreateIn();
    }
    ~ReadOnlyFolder() {
        setImmutable(false);
        ::chmod(m_path.c_str(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False where neither way works (a file system without the attribute, say): the caller
    // skips its test.
    [[nodiscard]] bool works() const { return m_works; }

private:
    bool canCreateIn() const {
        const std::string probe = m_path + "/.probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    void setImmutable(bool on) const {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    std::string m_path;
    bool m_works = false;
};
