// SPDX-License-Identifier: MIT
// The BMP header check run before SDL's reader sees a picture.
#include "BmpHeader.h"

#include <SDL.h>

namespace {

// The file header: "BM", file size, two reserved words, offset of the pixels.
constexpr Sint64 FILE_HEADER_SIZE = 14;  // bytes
constexpr Sint64 INFO_SIZE_FIELD = 4;    // bytes: the info header's own length
constexpr Sint64 MARK_SIZE = 2;          // bytes: "BM"
constexpr Sint64 UNUSED_FILE_FIELDS = 8; // bytes: file size and reserved words
// Between the compression and the colour count: image size and resolution.
constexpr Sint64 UNUSED_INFO_FIELDS = 12; // bytes

// The info header lengths of Windows BMP: the old core header with 16-bit
// sizes, and the 40-byte header with its later extensions (masks, alpha mask,
// colour space, colour profile). SDL reads the first 40 bytes of every one of
// these the same way, and the core header on its own.
constexpr Uint32 CORE_HEADER_SIZE = 12; // bytes
constexpr Uint32 INFO_HEADER_SIZE = 40; // bytes
constexpr Uint32 V2_HEADER_SIZE = 52;   // bytes
constexpr Uint32 V3_HEADER_SIZE = 56;   // bytes
constexpr Uint32 V4_HEADER_SIZE = 108;  // bytes
constexpr Uint32 V5_HEADER_SIZE = 124;  // bytes

// After a plain 40-byte header, bit-field pictures keep their red, green and
// blue masks in front of the pixels; the longer headers hold them inside.
constexpr Sint64 MASKS_SIZE = 12; // bytes

constexpr Uint32 BI_RGB = 0;       // uncompressed
constexpr Uint32 BI_RLE8 = 1;      // run-length coded 8-bit
constexpr Uint32 BI_RLE4 = 2;      // run-length coded 4-bit
constexpr Uint32 BI_BITFIELDS = 3; // uncompressed with explicit colour masks

constexpr Uint16 MAX_PALETTE_DEPTH = 8; // bits per pixel: deeper pictures hold colours
constexpr Sint64 BITS_PER_BYTE = 8;     // bits
constexpr Sint64 ROW_ALIGNMENT = 32;    // bits: every row starts on a 4-byte boundary

bool Refuse(const char* reason) {
    SDL_SetError("%s", reason);
    return false;
}

bool KnownInfoSize(Uint32 size) {
    return size == CORE_HEADER_SIZE || size == INFO_HEADER_SIZE || size == V2_HEADER_SIZE ||
           size == V3_HEADER_SIZE || size == V4_HEADER_SIZE || size == V5_HEADER_SIZE;
}

// The depths BMP defines; SDL 1.2 takes any other value but a handful
// straight to its surface set-up, which crashes on them.
constexpr Uint16 BMP_DEPTHS[] = {1, 4, 8, 16, 24, 32}; // bits per pixel
// Bit fields describe only these.
constexpr Uint16 BIT_FIELD_DEPTHS[] = {16, 32}; // bits per pixel

template <size_t N> bool OneOf(Uint16 depth, const Uint16 (&depths)[N]) {
    for (Uint16 known : depths) {
        if (depth == known) {
            return true;
        }
    }
    return false;
}

// Reads the header from the stream's position, which is the picture's start,
// given the length of the file from there on; what it read goes to format.
bool CheckFrom(SDL_RWops* file, Sint64 length, BmpFormat& format) {
    char mark[MARK_SIZE] = {0, 0};
    if (length < MARK_SIZE || SDL_RWread(file, mark, sizeof mark[0], MARK_SIZE) != MARK_SIZE ||
        mark[0] != 'B' || mark[1] != 'M') {
        return Refuse("File is not a Windows BMP file");
    }
    if (length < FILE_HEADER_SIZE + INFO_SIZE_FIELD) {
        return Refuse("BMP header cut short");
    }
    SDL_RWseek(file, UNUSED_FILE_FIELDS, RW_SEEK_CUR);
    const Sint64 pixelOffset = SDL_ReadLE32(file);
    const Uint32 infoSize = SDL_ReadLE32(file);
    if (!KnownInfoSize(infoSize)) {
        return Refuse("Unsupported BMP header");
    }
    if (length < FILE_HEADER_SIZE + infoSize) {
        return Refuse("BMP header cut short");
    }

    Sint64 width = 0;
    Sint64 height = 0;
    Uint16 depth = 0;
    Uint32 compression = BI_RGB;
    Uint32 coloursUsed = 0; // 0: as many as the depth allows
    if (infoSize == CORE_HEADER_SIZE) {
        width = SDL_ReadLE16(file);
        height = SDL_ReadLE16(file);
        SDL_ReadLE16(file); // planes, which SDL ignores
        depth = SDL_ReadLE16(file);
    } else {
        width = Sint32(SDL_ReadLE32(file));
        height = Sint32(SDL_ReadLE32(file)); // negative: rows stored top-down
        SDL_ReadLE16(file);                  // planes, which SDL ignores
        depth = SDL_ReadLE16(file);
        compression = SDL_ReadLE32(file);
        SDL_RWseek(file, UNUSED_INFO_FIELDS, RW_SEEK_CUR);
        coloursUsed = SDL_ReadLE32(file);
    }

    if (!OneOf(depth, BMP_DEPTHS)) {
        return Refuse("Unsupported BMP bits per pixel");
    }
    // SDL 1.2 looks for the palette right behind the first 40 bytes of the
    // header, so it would take the longer headers' own fields for colours.
    if (depth <= MAX_PALETTE_DEPTH && infoSize > INFO_HEADER_SIZE) {
        return Refuse("Unsupported BMP header");
    }
    // SDL 1.2 reads that many palette entries into a palette sized by the depth.
    if (depth <= MAX_PALETTE_DEPTH && coloursUsed > (1u << depth)) {
        return Refuse("BMP palette larger than its depth allows");
    }
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        return Refuse("Compressed BMP pictures are not supported");
    }
    const bool bitFields = compression == BI_BITFIELDS;
    if (compression != BI_RGB && !(bitFields && OneOf(depth, BIT_FIELD_DEPTHS))) {
        return Refuse("Unsupported BMP compression");
    }
    const Sint64 rows = height < 0 ? -height : height;
    if (width < 1 || width > MAX_PICTURE_SIDE || rows < 1 || rows > MAX_PICTURE_SIDE) {
        return Refuse("BMP picture size out of range");
    }

    Sint64 headersEnd = FILE_HEADER_SIZE + infoSize;
    if (bitFields && infoSize == INFO_HEADER_SIZE) {
        headersEnd += MASKS_SIZE;
    }
    if (pixelOffset < headersEnd || pixelOffset > length) {
        return Refuse("BMP pixel offset out of range");
    }
    const Sint64 rowBytes =
        (width * depth + ROW_ALIGNMENT - 1) / ROW_ALIGNMENT * (ROW_ALIGNMENT / BITS_PER_BYTE);
    if (length - pixelOffset < rowBytes * rows) {
        return Refuse("BMP pixel data cut short");
    }
    format = {infoSize, depth, compression};
    return true;
}

} // namespace

bool CheckBmpHeader(SDL_RWops* file, BmpFormat* format) {
    if (file == nullptr) {
        return false; // SDL has already said why the file could not be opened
    }
    const Sint64 start = SDL_RWtell(file);
    const Sint64 end = SDL_RWseek(file, 0, RW_SEEK_END);
    if (start < 0 || end < start || SDL_RWseek(file, start, RW_SEEK_SET) != start) {
        return Refuse("Cannot read the BMP picture");
    }
    BmpFormat read;
    const bool accepted = CheckFrom(file, end - start, read);
    if (accepted && format != nullptr) {
        *format = read;
    }
    // SDL's reader takes the picture from where the stream stands.
    if (SDL_RWseek(file, start, RW_SEEK_SET) != start) {
        return Refuse("Cannot read the BMP picture");
    }
    return accepted;
}
