// Line grammar and encodings of the settings file.
#include "settings/StorageFormat.h"

#include <algorithm>

namespace storage {
namespace {

constexpr int ShiftCycle = 15;   // the first digit's shift runs 0..14, then again
const char HexDigits[] = "0123456789ABCDEF";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(unsigned char digit)
{
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return -1;
}

// Odd number added to the character at 1-based position i, in 8 bits.
unsigned char PositionOffset(size_t i) { return static_cast<unsigned char>(2 * i - 1); }

}  // namespace

std::string_view TrimLeft(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    return text.substr(start);
}

std::string_view Trim(std::string_view text)
{
    text = TrimLeft(text);
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

bool IsSectionHeader(std::string_view line)
{
    std::string_view trimmed = Trim(line);
    return !trimmed.empty() && trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos;
}

std::string_view SectionNameOf(std::string_view trimmedHeader)
{
    size_t close = trimmedHeader.find(']');
    return trimmedHeader.substr(1, close - 1);
}

std::string_view KeyPart(std::string_view line)
{
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return TrimLeft(line.substr(0, equals));
}

std::string_view ValuePart(std::string_view line)
{
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return line.substr(equals + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsListEnd(std::string_view line) { return line.size() == 1 && line[0] == ListEnd; }
bool IsListStartValue(std::string_view value) { return value.size() == 1 && value[0] == ListStart; }
bool OpensListBody(std::string_view line) { return line.find(ListStart) != std::string_view::npos; }

void AppendScrambledLine(std::string& out, std::string_view line)
{
    for (size_t i = 1; i <= line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i - 1]);
        unsigned char x = static_cast<unsigned char>(c + PositionOffset(i)) ^ ScrambleKey;
        int shift = static_cast<int>((i - 1) % ShiftCycle);
        out += static_cast<char>(HexDigits[x >> 4] - shift);
        out += HexDigits[x & 0x0F];
    }
    out += ScrambledLineEnd;
}

void AppendPlainLine(std::string& out, std::string_view line)
{
    out.append(line);
    out += "\r\n";
}

bool LineReader::Next(std::string& line)
{
    line.clear();
    if (Rest.empty()) return false;
    return Scrambled ? NextScrambled(line) : NextPlain(line);
}

bool LineReader::NextScrambled(std::string& line)
{
    size_t end = Rest.find(ScrambledLineEnd);
    std::string_view groups = Rest.substr(0, end);
    Rest = end == std::string_view::npos ? std::string_view{} : Rest.substr(end + 1);

    line.reserve(groups.size() / 2);
    for (size_t i = 1; 2 * i <= groups.size(); ++i) {
        int shift = static_cast<int>((i - 1) % ShiftCycle);
        int high = HexValue(static_cast<unsigned char>(groups[2 * i - 2] + shift));
        int low = HexValue(static_cast<unsigned char>(groups[2 * i - 1]));
        unsigned char x = (high < 0 || low < 0) ? 0 : static_cast<unsigned char>(high * 16 + low);
        line += static_cast<char>(static_cast<unsigned char>((x ^ ScrambleKey) - PositionOffset(i)));
    }
    return true;
}

bool LineReader::NextPlain(std::string& line)
{
    size_t end = Rest.find('\n');
    std::string_view text = Rest.substr(0, end);
    Rest = end == std::string_view::npos ? std::string_view{} : Rest.substr(end + 1);
    if (end != std::string_view::npos && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    line.assign(text);
    return true;
}

}  // namespace storage
