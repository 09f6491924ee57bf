// Small whole-file reads and appends for the Win32 layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr size_t NoSizeLimit = SIZE_MAX;

// The whole of a file on disk, as it is at the call; nullopt when it cannot be opened or
// read, is no disk file (a device or a pipe could block the reading) or is over maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = NoSizeLimit);
std::optional<std::vector<unsigned char>> ReadWholeFileBytes(const std::string& path, size_t maxBytes);
// Opens the file, creating it when missing, writes bytes at its end and closes
// it; the system's reason when any of that failed.
std::optional<std::string> AppendToFile(const std::string& path, const std::string& bytes);
