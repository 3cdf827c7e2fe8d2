// The fuzzer's files, kept in memory: fopen, stat, rename and remove are wrapped at link time
// (-Wl,--wrap, fuzz/CMakeLists.txt), so the settings code runs unchanged, on real stdio streams
// (fopencookie) whose bytes live here. Every other path goes to the real functions.
#include "memory_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <string>

extern "C" {
std::FILE* __real_fopen(const char* path, const char* mode);
int __real_stat(const char* path, struct stat* status);
int __real_rename(const char* from, const char* to);
int __real_remove(const char* path);
int __real_fsync(int descriptor);
}

namespace {

struct MemoryFile {
    std::string name;
    std::string bytes;
    bool exists = false;
};

// The five names a run uses: the input, two settings files and their temporary twins.
MemoryFile files[8];

// One open stream: the file and the position in it.
struct OpenStream {
    MemoryFile* file;
    std::size_t position;
};

OpenStream streams[8];
bool stream_used[8];

// One fixed last-write time for every file, so that file_exists, like names_file, sees an existing file.
const std::time_t write_time = std::time(nullptr);

bool in_memory(const char* path)
{
    return std::strncmp(path, memory_folder, std::strlen(memory_folder)) == 0;
}

MemoryFile* find(const char* path, bool create)
{
    MemoryFile* free_slot = nullptr;
    for (MemoryFile& file : files) {
        if (!file.name.empty() && file.name == path) return &file;
        if (file.name.empty() && free_slot == nullptr) free_slot = &file;
    }
    if (create && free_slot != nullptr) {
        free_slot->name = path;
        return free_slot;
    }
    return nullptr;
}

ssize_t read_stream(void* cookie, char* buffer, std::size_t size)
{
    OpenStream& stream = *static_cast<OpenStream*>(cookie);
    const std::string& bytes = stream.file->bytes;
    if (stream.position >= bytes.size()) return 0;
    const std::size_t count = std::min(size, bytes.size() - stream.position);
    std::memcpy(buffer, bytes.data() + stream.position, count);
    stream.position += count;
    return static_cast<ssize_t>(count);
}

ssize_t write_stream(void* cookie, const char* buffer, std::size_t size)
{
    OpenStream& stream = *static_cast<OpenStream*>(cookie);
    std::string& bytes = stream.file->bytes;
    if (bytes.size() < stream.position + size) bytes.resize(stream.position + size);
    std::memcpy(&bytes[stream.position], buffer, size);
    stream.position += size;
    return static_cast<ssize_t>(size);
}

int seek_stream(void* cookie, off64_t* offset, int whence)
{
    OpenStream& stream = *static_cast<OpenStream*>(cookie);
    const off64_t base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? static_cast<off64_t>(stream.position)
                                              : static_cast<off64_t>(stream.file->bytes.size());
    if (base + *offset < 0) {
        errno = EINVAL;
        return -1;
    }
    stream.position = static_cast<std::size_t>(base + *offset);
    *offset = static_cast<off64_t>(stream.position);
    return 0;
}

int close_stream(void* cookie)
{
    stream_used[static_cast<OpenStream*>(cookie) - streams] = false;
    return 0;
}

}  // namespace

void set_memory_file(const char* path, const std::uint8_t* data, std::size_t size)
{
    MemoryFile* file = find(path, true);
    file->bytes.assign(reinterpret_cast<const char*>(data), size);
    file->exists = true;
}

bool memory_file_bytes(const char* path, std::string& bytes)
{
    const MemoryFile* file = find(path, false);
    if (file == nullptr || !file->exists) return false;
    bytes = file->bytes;
    return true;
}

extern "C" {

// "r+b" opens an existing file at its start; "w+b" creates or empties one.
std::FILE* __wrap_fopen(const char* path, const char* mode)
{
    if (!in_memory(path)) return __real_fopen(path, mode);
    const bool create = mode[0] == 'w';
    MemoryFile* file = find(path, create);
    if (file == nullptr || (!create && !file->exists)) {
        errno = ENOENT;
        return nullptr;
    }
    std::size_t slot = 0;
    while (slot < std::size(streams) && stream_used[slot]) ++slot;
    if (slot == std::size(streams)) {
        errno = EMFILE;
        return nullptr;
    }
    if (create) {
        file->bytes.clear();
        file->exists = true;
    }
    streams[slot] = OpenStream{file, 0};
    stream_used[slot] = true;
    const cookie_io_functions_t functions = {read_stream, write_stream, seek_stream, close_stream};
    std::FILE* stream = fopencookie(&streams[slot], mode, functions);
    if (stream == nullptr) stream_used[slot] = false;
    return stream;
}

int __wrap_stat(const char* path, struct stat* status)
{
    if (!in_memory(path)) return __real_stat(path, status);
    const MemoryFile* file = find(path, false);
    if (file == nullptr || !file->exists) {
        errno = ENOENT;
        return -1;
    }
    std::memset(status, 0, sizeof *status);
    status->st_mode = S_IFREG | 0600;
    status->st_size = static_cast<off_t>(file->bytes.size());
    status->st_mtime = write_time;
    return 0;
}

int __wrap_rename(const char* from, const char* to)
{
    if (!in_memory(from) && !in_memory(to)) return __real_rename(from, to);
    MemoryFile* source = find(from, false);
    MemoryFile* target = in_memory(to) && in_memory(from) ? find(to, true) : nullptr;
    if (source == nullptr || !source->exists || target == nullptr) {
        errno = source == nullptr || !source->exists ? ENOENT : EXDEV;
        return -1;
    }
    if (source != target) {
        target->bytes.swap(source->bytes);
        target->exists = true;
        source->exists = false;
        source->bytes.clear();
    }
    return 0;
}

int __wrap_remove(const char* path)
{
    if (!in_memory(path)) return __real_remove(path);
    MemoryFile* file = find(path, false);
    if (file == nullptr || !file->exists) {
        errno = ENOENT;
        return -1;
    }
    file->exists = false;
    file->bytes.clear();
    return 0;
}

// A memory stream has no descriptor (fileno gives -1): its bytes are as safe as they will ever be.
int __wrap_fsync(int descriptor)
{
    return descriptor == -1 ? 0 : __real_fsync(descriptor);
}

}  // extern "C"
