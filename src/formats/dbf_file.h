#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/error.h"

// A table file held open under an exclusive advisory lock (flock), so that a second opener,
// in this process or another, is refused while it stays open.
namespace ttp::dbf {

// The error of a table that someone else holds open.
class InUseError : public Error {
  public:
    using Error::Error;
};

class LockedFile {
  public:
    LockedFile() = default;
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile();

    // Opens an existing table, read-write when allowed, else read-only. Throws ttp::Error
    // naming the file when it is missing or not a file, InUseError when it is in use.
    static LockedFile open(const std::filesystem::path& file);
    // Opens `file` for writing, creating it when missing; its contents stay until truncate().
    static LockedFile openForCreate(const std::filesystem::path& file);

    bool isOpen() const { return fd_ >= 0; }
    void close();

    std::string readAll() const;
    void writeAt(std::uint64_t offset, std::string_view bytes);
    void truncate();

  private:
    LockedFile(int fd, std::string shown, bool readOnly);
    [[noreturn]] void failed(const char* what, int error) const;

    int fd_ = -1;
    std::string shown_;
    bool readOnly_ = false;
};

}  // namespace ttp::dbf
