#include "formats/dbf_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/error.h"

namespace ttp::dbf {
namespace {

std::string reason(int error) {
    switch (error) {
        case ENOENT:
            return "la carpeta no existe";
        case EACCES:
        case EPERM:
            return "permiso denegado";
        case EROFS:
            return "el sistema de ficheros es de solo lectura";
        case ENOSPC:
            return "no queda espacio en el disco";
        case EISDIR:
            return "es una carpeta";
        default:
            return std::strerror(error);
    }
}

// Takes the lock or closes `fd` and throws the in-use error.
void lockOrRefuse(int fd, const std::string& shown) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) continue;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            throw InUseError("La tabla " + shown + " está en uso por otro programa");
        }
        throw Error("No se puede bloquear la tabla " + shown + ": " + reason(error));
    }
}

void requireRegular(int fd, const std::string& shown) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Error("La tabla " + shown + " no es un fichero");
    }
}

}  // namespace

LockedFile::LockedFile(int fd, std::string shown, bool readOnly)
    : fd_(fd), shown_(std::move(shown)), readOnly_(readOnly) {}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      shown_(std::move(other.shown_)),
      readOnly_(other.readOnly_) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        shown_ = std::move(other.shown_);
        readOnly_ = other.readOnly_;
    }
    return *this;
}

LockedFile::~LockedFile() {
    close();
}

void LockedFile::close() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
    fd_ = -1;
}

LockedFile LockedFile::open(const std::filesystem::path& file) {
    const std::string shown = file.string();
    bool readOnly = false;
    int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        readOnly = true;
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) throw Error("No existe la tabla " + shown);
        throw Error("No se puede abrir la tabla " + shown + ": " + reason(error));
    }
    requireRegular(fd, shown);
    lockOrRefuse(fd, shown);
    return LockedFile(fd, shown, readOnly);
}

LockedFile LockedFile::openForCreate(const std::filesystem::path& file) {
    const std::string shown = file.string();
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) throw Error("No se puede crear la tabla " + shown + ": " + reason(errno));
    requireRegular(fd, shown);
    lockOrRefuse(fd, shown);
    return LockedFile(fd, shown, false);
}

std::string LockedFile::readAll() const {
    std::string bytes;
    char chunk[65536];
    std::uint64_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd_, chunk, sizeof chunk, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            failed("No se puede leer la tabla ", errno);
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return bytes;
}

void LockedFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    if (readOnly_) throw Error("La tabla " + shown_ + " es de solo lectura");
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            failed("No se puede escribir en la tabla ", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
}

void LockedFile::truncate() {
    if (::ftruncate(fd_, 0) != 0) failed("No se puede vaciar la tabla ", errno);
}

void LockedFile::failed(const char* what, int error) const {
    throw Error(what + shown_ + ": " + reason(error));
}

}  // namespace ttp::dbf
