// SPDX-License-Identifier: MIT
// The browser's platform layer under the game: the parts of SDL 1.2 that
// Emscripten's SDL emulation lacks or gets wrong for Duelstar. Definitions
// here take precedence over the emulation's own.
#include "WebPlatform.h"

#include "game/Fingers.h"
#include "gfx/BmpHeader.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

constexpr int ERROR_TEXT_SIZE = 256; // bytes: longer texts are cut short
char errorText[ERROR_TEXT_SIZE] = "";

// The screen's 16-bit colour (5 bits red, 6 green, 5 blue), which the desktop
// game asks for: every picture and fill colour is cut down to it, so that the
// browser shows the very frames the desktop shows.
constexpr Uint8 RED_BLUE_LEVELS = 0xF8; // the 5 bits kept of a byte
constexpr Uint8 GREEN_LEVELS = 0xFC;    // the 6 bits kept of a byte
constexpr Uint32 OPAQUE = 0xFF000000;   // alpha of the emulation's RGBA pixels
constexpr int GREEN_SHIFT = 8;          // bits
constexpr int BLUE_SHIFT = 16;          // bits
constexpr Uint32 BYTE_MASK = 0xFF;

// The emulation keeps every surface as RGBA bytes in memory order.
constexpr int CANVAS_BPP = 32; // bits per pixel
constexpr Uint32 CANVAS_RMASK = 0x000000FF;
constexpr Uint32 CANVAS_GMASK = 0x0000FF00;
constexpr Uint32 CANVAS_BMASK = 0x00FF0000;
constexpr Uint32 CANVAS_AMASK = 0xFF000000;
constexpr int RGBA = 4; // channels stb_image hands back

SDL_Surface* NewCanvasSurface(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, CANVAS_BPP, CANVAS_RMASK, CANVAS_GMASK,
                                CANVAS_BMASK, CANVAS_AMASK);
}

Uint32 ScreenColour(Uint8 r, Uint8 g, Uint8 b) {
    return Uint32(r & RED_BLUE_LEVELS) | Uint32(g & GREEN_LEVELS) << GREEN_SHIFT |
           Uint32(b & RED_BLUE_LEVELS) << BLUE_SHIFT | OPAQUE;
}

// ---- File streams over the browser's in-memory file system. ----

// A file opened for writing is offered as a download once closed: that is
// where a screenshot goes in the browser.
struct FileStream {
    SDL_RWops ops;
    FILE* file = nullptr;
    bool inUse = false;
    bool owned = false; // closed with the stream
    bool offer = false;
    char path[FILENAME_MAX] = "";
};

// The game holds at most one picture and one screenshot open at a time.
constexpr int MAX_STREAMS = 4;
FileStream streams[MAX_STREAMS];

FileStream& StreamOf(SDL_RWops* ops) { return *reinterpret_cast<FileStream*>(ops); }

long Seek(SDL_RWops* ops, long offset, int whence) {
    FILE* file = StreamOf(ops).file;
    if (std::fseek(file, offset, whence) != 0) {
        SDL_SetError("Error seeking in datastream");
        return -1;
    }
    return std::ftell(file);
}

size_t Read(SDL_RWops* ops, void* data, size_t size, size_t count) {
    return std::fread(data, size, count, StreamOf(ops).file);
}

size_t Write(SDL_RWops* ops, const void* data, size_t size, size_t count) {
    const size_t written = std::fwrite(data, size, count, StreamOf(ops).file);
    if (written != count) {
        SDL_SetError("Error writing to datastream");
    }
    return written;
}

int Close(SDL_RWops* ops) {
    FileStream& stream = StreamOf(ops);
    const bool flushed =
        stream.owned ? std::fclose(stream.file) == 0 : std::fflush(stream.file) == 0;
    if (flushed && stream.offer) {
        OfferDownload(stream.path);
    }
    stream.file = nullptr;
    stream.inUse = false;
    return flushed ? 0 : -1;
}

// A free stream over file; none when all are in use.
SDL_RWops* Adopt(FILE* file, bool owned, bool offer, const char* path) {
    for (FileStream& stream : streams) {
        if (stream.inUse) {
            continue;
        }
        stream.file = file;
        stream.inUse = true;
        stream.owned = owned;
        stream.offer = offer;
        std::snprintf(stream.path, sizeof stream.path, "%s", path);
        stream.ops.seek = Seek;
        stream.ops.read = Read;
        stream.ops.write = Write;
        stream.ops.close = Close;
        return &stream.ops;
    }
    SDL_SetError("Too many open files");
    return nullptr;
}

// What the browser's reader takes of the headers the game's check accepts.
constexpr Uint16 TRUE_COLOUR_DEPTH = 24; // bits per pixel
constexpr Uint16 RGBA_DEPTH = 32;        // bits per pixel
constexpr Uint32 BI_RGB = 0;

// The info header lengths stb_image knows; it refuses the 52-byte one that
// SDL 1.2 reads.
constexpr Uint32 STB_HEADER_SIZES[] = {12, 40, 56, 108, 124}; // bytes

bool StbReadsHeader(Uint32 size) {
    for (Uint32 known : STB_HEADER_SIZES) {
        if (size == known) {
            return true;
        }
    }
    return false;
}

// Pixels of stb_image's RGBA copied into a new surface of the emulation.
SDL_Surface* SurfaceFrom(const stbi_uc* rgba, int w, int h) {
    SDL_Surface* surface = NewCanvasSurface(w, h);
    if (surface == nullptr) {
        return nullptr;
    }
    SDL_LockSurface(surface);
    for (int y = 0; y < h; ++y) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        std::memcpy(row, rgba + size_t(y) * size_t(w) * RGBA, size_t(w) * RGBA);
        // Like SDL 1.2, a BMP's fourth byte is no transparency.
        for (int x = 0; x < w; ++x) {
            row[x * RGBA + RGBA - 1] = BYTE_MASK;
        }
    }
    SDL_UnlockSurface(surface);
    return surface;
}

// ---- The screenshot writer: a 24-bit BMP as SDL 1.2 writes it. ----

constexpr Uint32 FILE_HEADER_SIZE = 14; // bytes
constexpr Uint32 INFO_HEADER_SIZE = 40; // bytes
constexpr Uint16 PLANES = 1;
constexpr int SAVED_BYTES = 3;              // per pixel: blue, green, red
constexpr int ROW_ALIGNMENT = 4;            // bytes
constexpr int MAX_ROW = 8192 * SAVED_BYTES; // bytes: the widest picture the game accepts

bool PutLE(SDL_RWops* dst, Uint32 value, int bytes) {
    Uint8 raw[sizeof(Uint32)];
    for (int i = 0; i < bytes; ++i) {
        raw[i] = Uint8(value >> (8 * i));
    }
    return SDL_RWwrite(dst, raw, size_t(bytes), 1) == 1;
}

bool SaveRows(SDL_Surface* surface, SDL_RWops* dst) {
    const int rowBytes =
        (surface->w * SAVED_BYTES + ROW_ALIGNMENT - 1) / ROW_ALIGNMENT * ROW_ALIGNMENT;
    if (rowBytes > MAX_ROW) {
        SDL_SetError("Surface too wide to save");
        return false;
    }
    const Uint32 imageSize = Uint32(rowBytes) * Uint32(surface->h);
    const Uint32 offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
    bool ok = SDL_RWwrite(dst, "BM", 2, 1) == 1 && PutLE(dst, offset + imageSize, 4) &&
              PutLE(dst, 0, 4) && PutLE(dst, offset, 4) && PutLE(dst, INFO_HEADER_SIZE, 4) &&
              PutLE(dst, Uint32(surface->w), 4) && PutLE(dst, Uint32(surface->h), 4) &&
              PutLE(dst, PLANES, 2) && PutLE(dst, SAVED_BYTES * 8, 2) && PutLE(dst, BI_RGB, 4) &&
              PutLE(dst, imageSize, 4) && PutLE(dst, 0, 4) && PutLE(dst, 0, 4) &&
              PutLE(dst, 0, 4) && PutLE(dst, 0, 4);
    static Uint8 row[MAX_ROW];
    std::memset(row, 0, sizeof row);
    // Bottom row first, as BMP keeps them.
    for (int y = surface->h - 1; ok && y >= 0; --y) {
        const Uint8* source = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            const Uint8* pixel = source + x * RGBA;
            row[x * SAVED_BYTES] = pixel[2];
            row[x * SAVED_BYTES + 1] = pixel[1];
            row[x * SAVED_BYTES + 2] = pixel[0];
        }
        ok = SDL_RWwrite(dst, row, size_t(rowBytes), 1) == 1;
    }
    return ok;
}

// ---- Gamepads: the browser's pads as the two joysticks the game opens. ----

// Browsers show a pad only after its first button press, long after the game
// opened its pads at start. So the game finds two pads at start, one per
// seat, and the page's pads take the seats as they appear (platform.js); the
// game hears of them through SDL's joystick events, as from pads on the
// desktop.
constexpr int PAD_SEATS = 2;
constexpr int FIRE_BUTTONS = 4; // buttons 0 to 3, one bit each
constexpr int STICK_X_AXIS = 0;
constexpr int STICK_Y_AXIS = 1;

// A seat's fields as ReadPads fills them.
enum PadField { PAD_FIRE, PAD_HAT, PAD_STICK_X, PAD_STICK_Y };

int told[PAD_SEATS][PAD_FIELDS]; // what the game has been told each seat holds
char seatHandles[PAD_SEATS];     // stand-ins for the joysticks the game holds

void Post(SDL_Event& event) { SDL_PushEvent(&event); }

void PostAxis(int seat, int axis, int value) {
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = seat;
    event.jaxis.axis = Uint8(axis);
    event.jaxis.value = Sint16(value);
    Post(event);
}

// Tells the game, as joystick events, what changed on each seat since the
// last frame; an emptied seat releases whatever it held.
void PostPadChanges() {
    int now[PAD_SEATS][PAD_FIELDS];
    ReadPads(&now[0][0]);
    for (int seat = 0; seat < PAD_SEATS; ++seat) {
        int* was = told[seat];
        const int* is = now[seat];
        for (int button = 0; button < FIRE_BUTTONS; ++button) {
            const int bit = 1 << button;
            if ((was[PAD_FIRE] & bit) != (is[PAD_FIRE] & bit)) {
                const bool pressed = (is[PAD_FIRE] & bit) != 0;
                SDL_Event event{};
                event.type = pressed ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
                event.jbutton.which = seat;
                event.jbutton.button = Uint8(button);
                event.jbutton.state = pressed ? SDL_PRESSED : SDL_RELEASED;
                Post(event);
            }
        }
        if (was[PAD_HAT] != is[PAD_HAT]) {
            SDL_Event event{};
            event.type = SDL_JOYHATMOTION;
            event.jhat.which = seat;
            event.jhat.hat = 0;
            event.jhat.value = Uint8(is[PAD_HAT]);
            Post(event);
        }
        if (was[PAD_STICK_X] != is[PAD_STICK_X]) {
            PostAxis(seat, STICK_X_AXIS, is[PAD_STICK_X]);
        }
        if (was[PAD_STICK_Y] != is[PAD_STICK_Y]) {
            PostAxis(seat, STICK_Y_AXIS, is[PAD_STICK_Y]);
        }
        for (int field = 0; field < PAD_FIELDS; ++field) {
            was[field] = is[field];
        }
    }
}

// ---- Sound: the page holds the one switch, and the game follows it. ----

// The page's switch may change at any time, the game loading or not; the
// game hears each change as a press of m, its own way of switching.
bool toldMuted = false; // the game starts with its sound on

void PostSoundChanges() {
    const bool muted = SoundMuted() != 0;
    if (muted == toldMuted) {
        return;
    }
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLK_m;
    Post(event);
    toldMuted = muted;
}

} // namespace

extern "C" {

int SDL_NumJoysticks(void) { return PAD_SEATS; }

SDL_Joystick* SDL_JoystickOpen(int index) {
    if (index < 0 || index >= PAD_SEATS) {
        SDL_SetError("No joystick %d", index);
        return nullptr;
    }
    return reinterpret_cast<SDL_Joystick*>(&seatHandles[index]);
}

void SDL_JoystickClose(SDL_Joystick* /*joystick*/) {}

void SDL_SetError(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(errorText, sizeof errorText, fmt, args);
    va_end(args);
}

const char* SDL_GetError(void) { return errorText; }

// The browser tidies up after the page; the emulation's own version only
// prints a notice, which would land among the game's lines.
void SDL_Quit(void) {}

SDL_RWops* SDL_RWFromFile(const char* path, const char* mode) {
    FILE* file = std::fopen(path, mode);
    if (file == nullptr) {
        SDL_SetError("Couldn't open %s", path);
        return nullptr;
    }
    SDL_RWops* ops = Adopt(file, true, std::strchr(mode, 'w') != nullptr, path);
    if (ops == nullptr) {
        std::fclose(file);
    }
    return ops;
}

// How the game hands over a picture it has opened and checked itself. The
// emulation's header declares the file without stdio's type.
SDL_RWops* SDL_RWFromFP(void* file, SDL_bool autoclose) {
    return Adopt(static_cast<FILE*>(file), autoclose != SDL_FALSE, false, "");
}

// How the game loads a sound it has opened and checked itself: the whole file
// goes to Web Audio at once (platform.js).
Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc) {
    if (src == nullptr) {
        return nullptr;
    }
    Mix_Chunk* chunk = nullptr;
    Uint8* file = nullptr;
    const long start = SDL_RWtell(src);
    const long end = SDL_RWseek(src, 0, RW_SEEK_END);
    if (start >= 0 && end > start && SDL_RWseek(src, start, RW_SEEK_SET) == start) {
        const size_t length = size_t(end - start);
        file = static_cast<Uint8*>(std::malloc(length));
        if (file != nullptr && SDL_RWread(src, file, length, 1) == 1) {
            chunk = DecodeSound(file, int(length));
        }
    }
    if (chunk == nullptr) {
        SDL_SetError("Error reading from datastream");
    }
    std::free(file);
    if (freesrc) {
        SDL_RWclose(src);
    }
    return chunk;
}

Uint16 SDL_ReadLE16(SDL_RWops* src) {
    Uint8 raw[sizeof(Uint16)] = {0, 0};
    SDL_RWread(src, raw, sizeof raw, 1);
    return Uint16(raw[0] | raw[1] << 8);
}

Uint32 SDL_ReadLE32(SDL_RWops* src) {
    Uint8 raw[sizeof(Uint32)] = {0, 0, 0, 0};
    SDL_RWread(src, raw, sizeof raw, 1);
    return Uint32(raw[0]) | Uint32(raw[1]) << 8 | Uint32(raw[2]) << 16 | Uint32(raw[3]) << 24;
}

// Reads the true-colour BMPs (24 bits, and 32 without bit fields) through
// stb_image, which reads them as SDL 1.2 does; other depths, which stb_image
// would read differently from SDL 1.2, are refused.
SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int freesrc) {
    if (src == nullptr) {
        return nullptr;
    }
    // The game's header check has passed the picture already; it is read
    // again here for its kind, and for any caller that comes without it.
    BmpFormat kind;
    SDL_Surface* surface = nullptr;
    const long start = SDL_RWtell(src);
    const long end = SDL_RWseek(src, 0, RW_SEEK_END);
    if (start < 0 || end <= start || SDL_RWseek(src, start, RW_SEEK_SET) != start) {
        SDL_SetError("Error reading from datastream");
    } else if (!CheckBmpHeader(src, &kind)) {
        // The check's own reason stays as SDL's error.
    } else if (!StbReadsHeader(kind.infoSize)) {
        SDL_SetError("Unsupported BMP header in the browser");
    } else if (kind.depth != TRUE_COLOUR_DEPTH && kind.depth != RGBA_DEPTH) {
        SDL_SetError("Unsupported BMP bits per pixel in the browser");
    } else if (kind.compression != BI_RGB) {
        SDL_SetError("Unsupported BMP compression in the browser");
    } else {
        // Read whole, since stb_image decodes from memory.
        const size_t length = size_t(end - start);
        stbi_uc* file = static_cast<stbi_uc*>(std::malloc(length));
        int w = 0;
        int h = 0;
        int channels = 0;
        stbi_uc* rgba = nullptr;
        if (file != nullptr && SDL_RWread(src, file, length, 1) == 1) {
            rgba = stbi_load_from_memory(file, int(length), &w, &h, &channels, RGBA);
        }
        if (rgba == nullptr) {
            SDL_SetError("Couldn't read BMP: %s", file ? stbi_failure_reason() : "out of memory");
        } else {
            surface = SurfaceFrom(rgba, w, h);
            stbi_image_free(rgba);
        }
        std::free(file);
    }
    if (freesrc) {
        SDL_RWclose(src);
    }
    return surface;
}

// A copy whose colours are cut to the screen's 16 bits.
SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    SDL_Surface* copy = NewCanvasSurface(surface->w, surface->h);
    if (copy == nullptr) {
        return nullptr;
    }
    SDL_LockSurface(surface);
    SDL_LockSurface(copy);
    for (int y = 0; y < surface->h; ++y) {
        const Uint32* from = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                                             y * surface->pitch);
        Uint32* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(copy->pixels) + y * copy->pitch);
        for (int x = 0; x < surface->w; ++x) {
            const Uint32 p = from[x];
            to[x] = ScreenColour(Uint8(p), Uint8(p >> GREEN_SHIFT), Uint8(p >> BLUE_SHIFT));
        }
    }
    SDL_UnlockSurface(copy);
    SDL_UnlockSurface(surface);
    return copy;
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* /*format*/, Uint8 r, Uint8 g, Uint8 b) {
    return ScreenColour(r, g, b);
}

// The canvas has no colour key, so the key's pixels become fully transparent.
int SDL_SetColorKey(SDL_Surface* surface, int flag, Uint32 key) {
    if (!(flag & SDL_SRCCOLORKEY)) {
        return 0;
    }
    const Uint32 rgb = key & ~CANVAS_AMASK;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        Uint32* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            if ((row[x] & ~CANVAS_AMASK) == rgb) {
                row[x] = 0;
            }
        }
    }
    SDL_UnlockSurface(surface);
    return 0;
}

int SDL_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst) {
    if (dst == nullptr) {
        return -1;
    }
    SDL_LockSurface(surface);
    const bool ok = SaveRows(surface, dst);
    SDL_UnlockSurface(surface);
    if (freedst && SDL_RWclose(dst) != 0) {
        return -1;
    }
    return ok ? 0 : -1;
}

// The finished frame is already on the page's canvas; the browser shows it
// at its next refresh, and the game goes on after that.
int SDL_Flip(SDL_Surface* /*screen*/) {
    WaitForNextFrame();
    // The game polls its events next.
    PostPadChanges();
    PostSoundChanges();
    return 0;
}

Uint32 SDL_GetTicks(void) { return Uint32(VisibleMilliseconds()); }

void SDL_Delay(Uint32 ms) { WaitVisible(ms); }

} // extern "C"

// The fingers on the page's canvas, which the touch layer (platform.js) keeps.
void ReadFingers(Fingers& fingers) {
    Finger* const sides[] = {&fingers.red, &fingers.blue};
    constexpr int SIDES = sizeof sides / sizeof sides[0];
    float held[SIDES * TOUCH_FIELDS];
    ReadTouches(held);
    for (int side = 0; side < SIDES; ++side) {
        const float* field = held + side * TOUCH_FIELDS;
        sides[side]->down = field[0] != 0.0f;
        sides[side]->x = field[1];
        sides[side]->y = field[2];
    }
}
