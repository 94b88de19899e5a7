// SPDX-License-Identifier: MIT
#include "AudioDriver.h"

#include <SDL.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

constexpr const char* DRIVER_VARIABLE = "SDL_AUDIODRIVER";
constexpr int LINE_SIZE = 256; // bytes: a line of the cards list is far shorter

struct SoundServer {
    const char* address; // a variable that names the server's socket outright
    const char* socket;  // else its socket's path below XDG_RUNTIME_DIR
    const char* drivers[2];
};

// PulseAudio first: PipeWire's desktops run its PulseAudio service too.
const SoundServer SOUND_SERVERS[] = {
    {"PULSE_SERVER", "pulse/native", {"pulseaudio", "pulse"}},
    {"PIPEWIRE_REMOTE", "pipewire-0", {"pipewire", nullptr}},
};
constexpr const char* CARD_DRIVER = "alsa";

constexpr int NAME_SIZE = 32;   // bytes: SDL's driver names are short
constexpr int PATH_SIZE = 4096; // bytes: the longest path Linux takes

// Classic SDL 1.2 reports a start with no driver found as a success, so only a
// driver SDL names counts.
bool Started() {
    char name[NAME_SIZE];
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
           SDL_AudioDriverName(name, sizeof name) != nullptr;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

bool Runs(const SoundServer& server) {
    if (IsSet(server.address)) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] == '\0') {
        return false;
    }
    char path[PATH_SIZE];
    const int length = std::snprintf(path, sizeof path, "%s/%s", runtime, server.socket);
    struct stat info;
    return length > 0 && length < PATH_SIZE && stat(path, &info) == 0;
}

// A card's line starts with its number: " 0 [PCH            ]: HDA-Intel ...";
// with none the list says "--- no soundcards ---".
bool ListsACard(const char* cardsList) {
    std::FILE* list = std::fopen(cardsList, "r");
    if (list == nullptr) {
        return false;
    }
    char line[LINE_SIZE];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, list) != nullptr) {
        const char* c = line;
        while (*c == ' ') {
            ++c;
        }
        found = std::isdigit(static_cast<unsigned char>(*c)) != 0;
    }
    std::fclose(list);
    return found;
}

// ALSA's library, which SDL loads for its "alsa" driver, and its one call
// that takes over the library's error printing.
constexpr const char* ALSA_LIBRARY = "libasound.so.2";
constexpr const char* ALSA_ERROR_HANDLER_SETTER = "snd_lib_error_set_handler";
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                                  const char* format, ...);
using AlsaErrorHandlerSetter = int (*)(AlsaErrorHandler handler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a card ALSA's library prints some lines of its failures on standard
// error, which is the game's own. The library stays loaded for SDL, which
// opens the same one; where it is not installed there is nothing to quiet.
void QuietAlsa() {
    void* alsa = dlopen(ALSA_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    auto setHandler =
        reinterpret_cast<AlsaErrorHandlerSetter>(dlsym(alsa, ALSA_ERROR_HANDLER_SETTER));
    if (setHandler != nullptr) {
        setHandler(IgnoreAlsaError);
    }
}

} // namespace

int AudioDriversHere(const char* (&names)[MAX_AUDIO_DRIVERS], const char* cardsList) {
    int count = 0;
    for (const SoundServer& server : SOUND_SERVERS) {
        if (!Runs(server)) {
            continue;
        }
        for (const char* driver : server.drivers) {
            if (driver != nullptr) {
                names[count++] = driver;
            }
        }
    }
    if (ListsACard(cardsList)) {
        names[count++] = CARD_DRIVER;
    }
    return count;
}

bool StartAudio() {
    QuietAlsa();
    if (IsSet(DRIVER_VARIABLE)) {
        return Started();
    }
    const char* names[MAX_AUDIO_DRIVERS];
    const int count = AudioDriversHere(names);
    for (int i = 0; i < count; ++i) {
        setenv(DRIVER_VARIABLE, names[i], 1);
        const bool started = Started();
        unsetenv(DRIVER_VARIABLE);
        if (started) {
            return true;
        }
        // As with video, sdl12-compat takes later starts for a success until
        // the failed one is shut down.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    return false;
}
