// The textual form of an account's security identifier, built by hand for
// systems that lack the platform's own conversion.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct SidParts {
    std::array<uint8_t, 6> Authority{};   // most significant byte first
    std::vector<uint32_t> SubAuthorities;
};

// "S-1-<authority>-<sub>-<sub>...": the authority in decimal, unless one of
// its top two bytes is set, then as "0x" and twelve lower-case hex digits.
std::string SidPartsText(const SidParts& sid);
