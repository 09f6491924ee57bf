// Small whole-file reads and appends for the Win32 layer.
#pragma once

#include <optional>
#include <string>

// nullopt when the file cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Opens the file, creating it when missing, writes bytes at its end and closes
// it; the system's reason when any of that failed.
std::optional<std::string> AppendToFile(const std::string& path, const std::string& bytes);
