// A picture the user chose (the lock window's background and its preview): decoded from a file
// by its content, drawn stretched to any rectangle.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Recognised by content, whatever the file is named:
// - JPEG (baseline and progressive): libjpeg; a truncated or corrupt file is refused, not shown
//   half grey;
// - BMP, ICO and GIF: the platform's picture loader (OleLoadPicture), on Windows and on Wine;
// - Windows metafiles, placeable or plain, and enhanced metafiles: GDI, played at drawing time.
//   A plain metafile must set its window extent, which is then its size in pixels.
// Raster pictures above 16384 pixels a side or 64 megapixels are refused before any pixel
// memory is allocated, as are files above 256 MiB.
// Loading initialises COM for its own duration when the thread has not done so.
class TPicture {
public:
    TPicture() noexcept;
    ~TPicture();
    TPicture(TPicture&& other) noexcept;
    TPicture& operator=(TPicture&& other) noexcept;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // false when the file is missing or cannot be decoded; the picture is then empty.
    // Never throws.
    bool LoadFromFile(const std::string& path);
    void Clear();
    bool Empty() const;
    // In pixels; a metafile's natural size at the screen's resolution.
    int Width() const;
    int Height() const;
    // Stretched to fill the target (halftone for bitmaps); nothing when empty.
    void Draw(HDC dc, const RECT& target) const;

    // What a file decoded to; its shape is known to Picture.cpp alone.
    struct Decoded;

private:
    std::unique_ptr<Decoded> Content;
};
