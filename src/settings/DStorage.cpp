// The settings file store: the four operations over the whole file content,
// and the durable replace of the bound file.
#include "settings/DStorage.h"

#include <functional>

#include "settings/StorageFormat.h"

using namespace storage;

namespace {

// Where a scan stands. Headers are trimmed in place, so that a rewrite
// writes them back trimmed.
struct ScanState {
    bool InSection = false;
    bool LeftSection = false;   // the last header ended the wanted section
    bool InList = false;
};

// Updates the section state for a header; true when line was a header.
bool TakeHeader(std::string& line, const std::string& section, ScanState& state)
{
    if (!IsSectionHeader(line)) return false;
    line.assign(Trim(line));
    state.LeftSection = state.InSection;
    state.InSection = SameName(SectionNameOf(line), section);
    return true;
}

bool IsSingleEntry(const std::string& line, const std::string& key)
{
    return SameName(KeyPart(line), key) && !IsListStartValue(ValuePart(line));
}

bool IsListEntry(const std::string& line, const std::string& key)
{
    return SameName(KeyPart(line), key) && IsListStartValue(ValuePart(line));
}

std::string EntryLine(const std::string& key, std::string_view value)
{
    std::string line(TrimLeft(key));
    line += '=';
    line.append(value);
    return line;
}

std::string HeaderLine(const std::string& section)
{
    std::string line = "[";
    line.append(Trim(section));
    line += ']';
    return line;
}

}  // namespace

std::string TemporaryFileName(const std::string& fileName)
{
    size_t nameStart = fileName.find_last_of("\\/:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = fileName.rfind('.');
    std::string base = (dot != std::string::npos && dot >= nameStart) ? fileName.substr(0, dot) : fileName;
    return base + ".$$$";
}

TDStorage::TDStorage(const std::string& fileName, bool scrambled)
    : TDStorage(fileName, scrambled, PlatformStorageFiles())
{
}

TDStorage::TDStorage(const std::string& fileName, bool scrambled, StorageFiles& files) : Files(&files)
{
    SetFile(fileName, scrambled);
}

void TDStorage::SetFile(const std::string& fileName, bool scrambled)
{
    if (!fileName.empty()) {
        FileName_ = fileName;
        if (!Files->Exists(FileName_)) Files->CreateEmpty(FileName_);
    }
    Scrambled_ = scrambled;
}

std::string TDStorage::ReadContent() const { return Files->ReadAll(FileName_); }

bool TDStorage::ReadString(const std::string& section, const std::string& key, std::string& value) const
{
    value.clear();
    const std::string content = ReadContent();
    LineReader reader(content, Scrambled_);
    ScanState state;
    std::string line;
    while (reader.Next(line)) {
        if (IsListEnd(line)) state.InList = false;
        if (!state.InList) {
            TakeHeader(line, section, state);
            if (state.InSection && IsSingleEntry(line, key)) {
                value.assign(ValuePart(line));
                return true;
            }
        }
        if (OpensListBody(line)) state.InList = true;
    }
    return false;
}

bool TDStorage::ReadStrings(const std::string& section, const std::string& key, TStrings& lines) const
{
    lines.clear();
    const std::string content = ReadContent();
    LineReader reader(content, Scrambled_);
    ScanState state;
    bool collecting = false;
    bool result = false;
    std::string line;
    while (reader.Next(line)) {
        if (IsListEnd(line)) {
            state.InList = false;
            if (collecting) break;
        }
        if (collecting) {
            result = true;
            lines.push_back(line);
        }
        if (!state.InList) {
            TakeHeader(line, section, state);
            if (state.InSection && IsListEntry(line, key)) collecting = true;
        }
        if (OpensListBody(line)) state.InList = true;
    }
    return result;
}

bool TDStorage::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    WriteEntry(
        section, [&](const std::string& line) { return IsSingleEntry(line, key); }, false,
        [&](std::string& out) { AppendLine(out, EntryLine(key, value), Scrambled_); });
    return true;
}

bool TDStorage::WriteStrings(const std::string& section, const std::string& key, const TStrings& lines)
{
    WriteEntry(
        section, [&](const std::string& line) { return IsListEntry(line, key); }, true, [&](std::string& out) {
            AppendLine(out, EntryLine(key, std::string_view(&ListStart, 1)), Scrambled_);
            for (const std::string& item : lines) AppendLine(out, item, Scrambled_);
            AppendLine(out, std::string_view(&ListEnd, 1), Scrambled_);
        });
    return true;
}

// The entry goes where the old one stood, or last in its section just before the next
// header, or into a new section at the end. Later duplicates of the old one are dropped;
// an old list is dropped with its items and closing line.
void TDStorage::WriteEntry(const std::string& section, const std::function<bool(const std::string&)>& isOldEntry,
                           bool oldIsList, const std::function<void(std::string&)>& appendEntry)
{
    const std::string content = ReadContent();
    std::string out;
    out.reserve(content.size() + 64);

    LineReader reader(content, Scrambled_);
    ScanState state;
    bool pending = false;
    bool done = false;
    std::string line;
    while (reader.Next(line)) {
        bool endsSection = false;
        if (!state.InList) {
            endsSection = TakeHeader(line, section, state) && state.LeftSection && !done;
            if (endsSection || (state.InSection && isOldEntry(line))) pending = true;
        }
        if (pending) {
            if (!done) {
                appendEntry(out);
                done = true;
            }
            if (endsSection) {
                // Written even when the next section has the same name: its
                // lines must not be taken for an old list's items.
                AppendLine(out, line, Scrambled_);
                pending = false;
            } else if (!oldIsList || IsListEnd(line)) {
                pending = false;
            }
        } else {
            AppendLine(out, line, Scrambled_);
        }
        if (OpensListBody(line)) state.InList = true;
        if (IsListEnd(line)) state.InList = false;
    }
    if (!done) {
        if (!state.InSection) AppendLine(out, HeaderLine(section), Scrambled_);
        appendEntry(out);
    }
    ReplaceWith(out);
}

// The new content goes to a flushed temporary sibling that then takes the
// bound file's place in one step, so a crash at any moment leaves either the
// old file or the new one, never a truncated one.
void TDStorage::ReplaceWith(const std::string& content)
{
    const std::string temporary = TemporaryFileName(FileName_);
    Files->WriteDurably(temporary, content);

    SavedAttributes = Files->GetAttributes(FileName_);
    // A plain file is replaced by one just like it; only other attributes (read-only,
    // hidden, system...) are cleared for the replace and put back after it. The usage
    // tick writes every 3 s, so the two calls spared count.
    const bool keepsAttributes = (SavedAttributes & ~PlainFileAttributes) != 0;
    if (keepsAttributes) Files->SetAttributes(FileName_, 0);
    try {
        Files->Replace(temporary, FileName_);
    } catch (...) {
        if (keepsAttributes) Files->SetAttributes(FileName_, SavedAttributes);
        Files->Remove(temporary);
        throw;
    }
    if (keepsAttributes) Files->SetAttributes(FileName_, SavedAttributes);
}
