// Small whole-file reads for the Win32 layer.
#pragma once

#include <optional>
#include <string>

// nullopt when the file cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);
