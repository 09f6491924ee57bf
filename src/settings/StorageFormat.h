// The settings file's line grammar and its two on-disk encodings: plain text
// lines ended by CR LF, and scrambled lines (hex groups closed by "!").
#pragma once

#include <string>
#include <string_view>

namespace storage {

constexpr char ListStart = '\3';   // a value of exactly this opens a list body
constexpr char ListEnd = '\4';     // a line of exactly this closes it
constexpr unsigned char ScrambleKey = 0x6E;
constexpr char ScrambledLineEnd = '!';

// Characters of code up to 32 (blanks and control characters) removed.
std::string_view Trim(std::string_view text);
std::string_view TrimLeft(std::string_view text);

// Section header: the trimmed line starts with "[" and holds a "]".
bool IsSectionHeader(std::string_view line);
// The text between "[" and the first "]" of a trimmed header line.
std::string_view SectionNameOf(std::string_view trimmedHeader);

// Text before the first "=", without leading blanks; trailing blanks stay.
std::string_view KeyPart(std::string_view line);
// Everything after the first "=", as stored.
std::string_view ValuePart(std::string_view line);

// Case-insensitive for ASCII a-z only; every other byte compares exactly.
bool SameName(std::string_view a, std::string_view b);

bool IsListEnd(std::string_view line);
bool IsListStartValue(std::string_view value);
bool OpensListBody(std::string_view line);

void AppendScrambledLine(std::string& out, std::string_view line);
void AppendPlainLine(std::string& out, std::string_view line);
inline void AppendLine(std::string& out, std::string_view line, bool scrambled)
{
    scrambled ? AppendScrambledLine(out, line) : AppendPlainLine(out, line);
}

// Walks the logical lines of a file's content. Damaged input is read to a
// defined result: a pair that is not hexadecimal decodes as 0, a group cut
// off by the end of the file is dropped, a plain line may end in LF alone.
class LineReader {
public:
    LineReader(std::string_view content, bool scrambled) : Rest(content), Scrambled(scrambled) {}
    // The next line into line (reusing its buffer); false at the end.
    bool Next(std::string& line);

private:
    bool NextScrambled(std::string& line);
    bool NextPlain(std::string& line);

    std::string_view Rest;
    bool Scrambled;
};

}  // namespace storage
