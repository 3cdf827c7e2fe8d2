// The settings fuzzer's files in memory, behind link-time wrappers of fopen, stat, rename, remove.
#ifndef ONDULOR_FUZZ_MEMORY_FILES_H
#define ONDULOR_FUZZ_MEMORY_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>

// Paths under this folder name memory files; no such folder exists on disk.
inline constexpr char memory_folder[] = "/ondulor-fuzz-memory/";

// Creates or replaces the memory file at path with the given bytes.
void set_memory_file(const char* path, const std::uint8_t* data, std::size_t size);

// Copies the bytes of the memory file at path; false when there is no such file.
bool memory_file_bytes(const char* path, std::string& bytes);

#endif
