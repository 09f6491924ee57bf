// The store's file operations on POSIX systems, for the native build that
// runs the unit tests, the fuzzer and the benchmark.
#include "settings/StorageFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/PosixStorageFiles.h"

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : Fd(fd) {}
    ~FileDescriptor() { if (Fd >= 0) ::close(Fd); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return Fd; }
    int Release() { int fd = Fd; Fd = -1; return fd; }
private:
    int Fd;
};

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw EInOutError(what + " " + path, static_cast<uint32_t>(errno));
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace

bool PosixStorageFiles::Exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

void PosixStorageFiles::CreateEmpty(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

std::string PosixStorageFiles::ReadAll(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) Fail("cannot open", path);
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail("cannot read", path);
        }
        if (got == 0) break;
        content.append(buffer, static_cast<size_t>(got));
    }
    return content;
}

void PosixStorageFiles::WriteDurably(const std::string& path, const std::string& bytes)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.Get() < 0) Fail("cannot create", path);
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t put = ::write(fd.Get(), bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR) continue;
            Fail("cannot write", path);
        }
        written += static_cast<size_t>(put);
    }
    if (Flush && ::fsync(fd.Get()) != 0) Fail("cannot flush", path);
    if (::close(fd.Release()) != 0) Fail("cannot close", path);
}

uint32_t PosixStorageFiles::GetAttributes(const std::string&) { return 0; }

void PosixStorageFiles::SetAttributes(const std::string&, uint32_t) {}

void PosixStorageFiles::Replace(const std::string& source, const std::string& target)
{
    if (::rename(source.c_str(), target.c_str()) != 0) Fail("cannot replace", target);
    if (Flush) {
        // The rename itself is durable only once its folder is.
        FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.Get() >= 0) ::fsync(folder.Get());
    }
}

void PosixStorageFiles::Remove(const std::string& path) { ::unlink(path.c_str()); }

StorageFiles& PlatformStorageFiles()
{
    static PosixStorageFiles files;
    return files;
}
