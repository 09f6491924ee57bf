// The list of text lines that the settings, the profiles and the lock's message share.
#pragma once

#include <string>
#include <vector>

using TStrings = std::vector<std::string>;
