// Textual security identifiers.
#include "settings/Sidf.h"

std::string SidPartsText(const SidParts& sid)
{
    const auto& a = sid.Authority;
    std::string text = "S-1-";   // the revision of every valid identifier
    if (a[0] != 0 || a[1] != 0) {
        static const char digits[] = "0123456789abcdef";
        text += "0x";
        for (uint8_t byte : a) {
            text += digits[byte >> 4];
            text += digits[byte & 0x0F];
        }
    } else {
        uint32_t value = (uint32_t(a[2]) << 24) | (uint32_t(a[3]) << 16) | (uint32_t(a[4]) << 8) | a[5];
        text += std::to_string(value);
    }
    for (uint32_t sub : sid.SubAuthorities) text += "-" + std::to_string(sub);
    return text;
}
