#pragma once

// Two ways to make writes run out of room, for the save tests.

#include <csignal>
#include <cstdio>
#include <string>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

// While this lives, no file of the process may grow past `bytes`: a write that crosses the
// limit comes up short and the next one fails, as on a disk that fills up during the write.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        // The kernel would otherwise end the process with SIGXFSZ.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

// A real, tiny file system (tmpfs) mounted on `folder`, an existing empty folder. Mounting
// needs administrator rights: mounted() says whether it worked, and tests skip when not.
class SmallDisk {
  public:
    SmallDisk(const std::string& folder, unsigned kilobytes) : folder_(folder) {
        const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0755";
        mounted_ =
            mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }

    // Fills the disk with a file "filler" until about `bytes` stay free.
    bool leaveFree(unsigned long bytes) const {
        struct statvfs info {};
        if (statvfs(folder_.c_str(), &info) != 0) return false;
        const unsigned long freeBytes = info.f_bavail * info.f_frsize;
        if (freeBytes <= bytes) return true;
        std::FILE* file = std::fopen((folder_ + "/filler").c_str(), "wb");
        if (!file) return false;
        const std::string block(freeBytes - bytes, 'f');
        const bool ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
        return std::fclose(file) == 0 && ok;
    }

  private:
    std::string folder_;
    bool mounted_ = false;
};
