// SPDX-License-Identifier: MIT
// The real game binary against bad pictures: each of the eleven pictures in
// turn is replaced, in a copy of images/, by an empty file, a cut-short BMP, a
// file that is no BMP, a BMP claiming absurd dimensions, one with a depth BMP
// does not have, BMPs of every depth, and pictures smaller and larger than
// the drawing relies on. Each run either plays (and then ends with status 0
// on a quit request) or ends with the one line "ERROR: GFX::loadbmp():
// images/<picture>: <reason>" and status 1; never a crash, a hang or a
// sanitizer report. A path that is no file (a named pipe, a folder, a socket,
// a device) is refused before the screen changes. The
// runs go in parallel, since each spends most of its time showing the loading
// picture. The same runner starts the game once under valgrind's memcheck.
//
// Arguments: --game=<binary> (the one to test), --images=<folder> (the good
// pictures), --sdl-dir=<folder> (a libSDL-1.2.so.0 to run the game with
// instead of the system's), --valgrind=<path>.
#include "BmpFiles.h"
#include "gfx/Pictures.h"
#include "sfx/Sounds.h"

#include <SDL.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// Where the libraries preloaded into the game are named (set by the build for
// a game that runs in an emulator).
#ifndef GAME_PRELOAD_SETTING
#define GAME_PRELOAD_SETTING "LD_PRELOAD"
#endif
// How many times longer the game may take for anything than on this machine
// itself (set by the build for a game in an emulator).
#ifndef GAME_SLOWDOWN
#define GAME_SLOWDOWN 1
#endif

namespace {

std::string gameBinary;
std::string goodImages;
// The game's sounds, beside its pictures: a run that plays needs them too.
std::string GoodSounds() { return goodImages + "/../sounds"; }
std::string sdlFolder;
std::string valgrindBinary;

// What the flip watcher writes: the loading picture shown (the screen has
// changed), then the game in its main loop.
constexpr char LOADING_MARK = 'l';
constexpr int PARALLEL_RUNS = 16;         // games at once: most of their time is the loading delay
constexpr int VALGRIND_TIME_LIMIT = 300;  // s for the run under memcheck
constexpr int VALGRIND_ERROR_STATUS = 97; // memcheck's exit status when it found an error
constexpr int ABSURD_SIDE = 70000;        // px claimed by the absurd header
constexpr Uint16 ODD_DEPTH = 6148;        // bits per pixel: no BMP has it

constexpr int RUN_TIME_LIMIT = 60 * GAME_SLOWDOWN; // s for one run before it counts as hung

// The game's pictures by file name, in the order it loads them.
const auto PICTURES = [] {
    std::array<const char*, PICTURE_COUNT> names{};
    for (const PictureFile& file : PICTURE_FILES) {
        names[size_t(file.picture)] = file.name;
    }
    return names;
}();

struct GameRun {
    std::string name;
    std::string folder; // the current folder of the game
    std::vector<std::string> command;
    std::string expectedOut;              // empty: the game must play and quit
    std::vector<std::string> environment; // NAME=value for this run alone
    std::string preload;                  // a library preloaded beside the flip watcher
    // Filled in by RunAll.
    pid_t pid = -1;
    int signalFd = -1;
    std::string outPath;
    std::string errPath;
    bool shown = false;   // the loading picture was shown: the screen changed
    bool playing = false; // the loading picture and some frames were shown
    bool hung = false;
    int wstatus = 0;
    std::string out;
    std::string err;
    std::chrono::steady_clock::time_point deadline;
    std::chrono::steady_clock::time_point started;
    double seconds = 0; // from start to end
};

std::string TempFile(const std::string& folder, const char* name) {
    std::string path = folder + "/" + name + "-XXXXXX";
    const int fd = mkostemp(&path[0], O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
    }
    return path;
}

std::string ReadText(const std::string& path) {
    const std::vector<Uint8> bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The environment of every run: this one's, with the dummy display, the flip
// watcher and, if chosen, another SDL library.
std::vector<std::string> RunEnvironment(int signalFd, const std::string& watcher,
                                        const GameRun& run) {
    std::vector<std::string> env;
    std::string asanOptions = "verify_asan_link_order=0";
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "ASAN_OPTIONS") {
            asanOptions += ":" + entry.substr(name.size() + 1);
        } else if (name != "SDL_VIDEODRIVER" && name != "LD_PRELOAD" && name != "FLIP_SIGNAL_FD" &&
                   name != "LD_LIBRARY_PATH") {
            env.push_back(entry);
        }
    }
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back(GAME_PRELOAD_SETTING "=" + watcher +
                  (run.preload.empty() ? "" : ":" + run.preload));
    env.insert(env.end(), run.environment.begin(), run.environment.end());
    env.push_back("FLIP_SIGNAL_FD=" + std::to_string(signalFd));
    env.push_back("ASAN_OPTIONS=" + asanOptions);
    if (!sdlFolder.empty()) {
        env.push_back("LD_LIBRARY_PATH=" + sdlFolder);
    }
    return env;
}

bool Start(GameRun& run, const std::string& watcher, const std::string& scratch) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    run.outPath = TempFile(scratch, "out");
    run.errPath = TempFile(scratch, "err");
    const std::vector<std::string> env = RunEnvironment(fds[1], watcher, run);
    std::vector<char*> envp;
    for (const std::string& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& a : run.command) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        const int out = open(run.outPath.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(run.errPath.c_str(), O_WRONLY | O_TRUNC);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
            fcntl(fds[1], F_SETFD, 0) != 0 || chdir(run.folder.c_str()) != 0) {
            _exit(126);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(fds[1]);
    run.pid = pid;
    run.signalFd = fds[0];
    return true;
}

void Finish(GameRun& run) {
    waitpid(run.pid, &run.wstatus, 0);
    run.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    close(run.signalFd);
    run.signalFd = -1;
    run.out = ReadText(run.outPath);
    run.err = ReadText(run.errPath);
    unlink(run.outPath.c_str());
    unlink(run.errPath.c_str());
}

// Starts the runs, at most `parallel` at a time. A game that has shown some
// frames gets SIGTERM, which SDL turns into a quit request; one that ends by
// itself is collected; one that does neither within the limit is killed.
void RunAll(std::vector<GameRun>& runs, int parallel, int limitSeconds, const std::string& watcher,
            const std::string& scratch) {
    size_t started = 0;
    std::vector<GameRun*> active;
    while (started < runs.size() || !active.empty()) {
        while (started < runs.size() && int(active.size()) < parallel) {
            GameRun& run = runs[started++];
            run.started = std::chrono::steady_clock::now();
            run.deadline = run.started + std::chrono::seconds(limitSeconds);
            if (Start(run, watcher, scratch)) {
                active.push_back(&run);
            } else {
                ADD_FAILURE() << run.name << ": could not start: " << std::strerror(errno);
            }
        }
        std::vector<pollfd> watched;
        auto soonest = std::chrono::steady_clock::time_point::max();
        for (GameRun* run : active) {
            watched.push_back({run->signalFd, POLLIN, 0});
            soonest = std::min(soonest, run->deadline);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            soonest - std::chrono::steady_clock::now());
        poll(watched.data(), watched.size(), int(std::max<long long>(0, wait.count())));
        const auto now = std::chrono::steady_clock::now();
        for (size_t i = 0; i < active.size();) {
            GameRun& run = *active[i];
            bool done = false;
            if (watched[i].revents != 0) {
                char mark;
                if (read(run.signalFd, &mark, 1) != 1) {
                    done = true; // the game has ended: its end of the pipe closed
                } else if (mark == LOADING_MARK) {
                    run.shown = true;
                } else {
                    run.playing = true;
                    kill(run.pid, SIGTERM);
                }
            } else if (now >= run.deadline) {
                run.hung = true;
                kill(run.pid, SIGKILL);
                done = true;
            }
            if (done) {
                Finish(run);
                active.erase(active.begin() + long(i));
                watched.erase(watched.begin() + long(i));
            } else {
                ++i;
            }
        }
    }
}

std::string HowItEnded(const GameRun& run) {
    std::string how;
    if (run.hung) {
        how = "hung, killed";
    } else if (WIFSIGNALED(run.wstatus)) {
        how = std::string("killed by ") + strsignal(WTERMSIG(run.wstatus));
    } else {
        how = "exit status " + std::to_string(WEXITSTATUS(run.wstatus));
    }
    return how + (run.playing ? " after playing" : " before playing") + "\nstdout: " + run.out +
           "\nstderr: " + run.err.substr(0, 3000);
}

std::string WatcherPath() {
    return FLIP_SIGNAL_LIBRARY; // set by the build: the preloaded flip watcher
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A picture as SDL reads it, as a source of colours for the variants.
struct Original {
    std::vector<Uint8> bytes;
    SDL_Surface* surface = nullptr;
    std::vector<PixelColour> colours; // row by row
};

struct Variant {
    const char* name;
    const char* reason; // the refusal expected, or null for a picture that plays
};

const Variant VARIANTS[] = {
    {"empty", "File is not a Windows BMP file"},
    {"cut-short", "BMP pixel data cut short"},
    {"not-a-bmp", "File is not a Windows BMP file"},
    {"absurd-size", "BMP picture size out of range"},
    {"odd-depth", "Unsupported BMP bits per pixel"},
    {"1-bit", nullptr},
    {"4-bit", nullptr},
    {"8-bit", nullptr},
    {"16-bit", nullptr},
    {"24-bit-sdl", nullptr},
    {"32-bit", nullptr},
    {"1x1", nullptr},
    {"larger", nullptr},
};

bool WriteVariant(const std::string& path, const Variant& variant, const Original& original) {
    const std::string name = variant.name;
    SDL_Surface* s = original.surface;
    const std::vector<PixelColour>& read = original.colours;
    const PixelSource colours = [s, &read](int x, int y) {
        return read[size_t((y % s->h) * s->w + x % s->w)];
    };
    BmpLayout layout;
    layout.width = s->w;
    layout.height = s->h;
    if (name == "empty") {
        return WriteFile(path, {});
    }
    if (name == "cut-short") {
        return WriteFile(
            path, std::vector<Uint8>(original.bytes.begin(),
                                     original.bytes.begin() + long(original.bytes.size() / 2)));
    }
    if (name == "not-a-bmp") {
        const std::string text = "This is a text file, not a picture.\n";
        return WriteFile(path, std::vector<Uint8>(text.begin(), text.end()));
    }
    if (name == "absurd-size") {
        std::vector<Uint8> bytes = original.bytes;
        if (bytes[BmpField::INFO_SIZE] == 12) {
            Put16(bytes, BmpField::WIDTH, 65535);
            Put16(bytes, BmpField::CORE_HEIGHT, 65535);
        } else {
            Put32(bytes, BmpField::WIDTH, ABSURD_SIDE);
            Put32(bytes, BmpField::HEIGHT, ABSURD_SIDE);
        }
        return WriteFile(path, bytes);
    }
    if (name == "odd-depth") {
        // An 8-bit picture whose depth reads 6148: SDL 1.2.15 alone crashes on it.
        layout.depth = 8;
        std::vector<Uint8> bytes = EncodeBmp(layout, colours);
        Put16(bytes, BmpField::DEPTH, ODD_DEPTH);
        return WriteFile(path, bytes);
    }
    if (name == "24-bit-sdl") {
        return SDL_SaveBMP(s, path.c_str()) == 0;
    }
    if (name == "1x1") {
        layout.width = 1;
        layout.height = 1;
    } else if (name == "larger") {
        layout.width = 2 * s->w + 1;
        layout.height = 2 * s->h + 1;
    } else {
        layout.depth = std::atoi(variant.name);
    }
    return WriteFile(path, EncodeBmp(layout, colours));
}

class BadPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(gameBinary)) << "no game binary at '" << gameBinary << "'";
        ASSERT_TRUE(Exists(WatcherPath())) << WatcherPath();
        if (!sdlFolder.empty() && !Exists(sdlFolder + "/libSDL-1.2.so.0")) {
            GTEST_SKIP() << "no libSDL-1.2.so.0 in " << sdlFolder;
        }
        scratch = MakeTempFolder("badpics");
        ASSERT_FALSE(scratch.empty());
    }
    void TearDown() override { RemoveTree(scratch); }

    // A folder holding images/ with the good pictures, linked, except the one
    // named, which the caller writes.
    std::string Folder(const std::string& name, const char* replaced) {
        const std::string folder = scratch + "/" + name;
        mkdir(folder.c_str(), 0755);
        mkdir((folder + "/images").c_str(), 0755);
        EXPECT_EQ(symlink(GoodSounds().c_str(), (folder + "/sounds").c_str()), 0);
        for (const char* picture : PICTURES) {
            if (replaced == nullptr || std::strcmp(picture, replaced) != 0) {
                const std::string from = goodImages + "/" + picture;
                EXPECT_EQ(symlink(from.c_str(), (folder + "/images/" + picture).c_str()), 0);
            }
        }
        return folder;
    }

    // The folder's sounds/ made a folder of its own, the good sounds linked one
    // by one, so that a sound can be swapped there without touching them.
    void OwnSounds(const std::string& folder) {
        const std::string sounds = folder + "/sounds";
        EXPECT_EQ(unlink(sounds.c_str()), 0) << sounds << ": " << std::strerror(errno);
        mkdir(sounds.c_str(), 0755);
        for (const SoundFile& sound : SOUND_FILES) {
            const std::string from = GoodSounds() + "/" + sound.name;
            EXPECT_EQ(symlink(from.c_str(), (sounds + "/" + sound.name).c_str()), 0);
        }
    }

    std::string scratch;
};

TEST_F(BadPictures, NeverCrashOrHangTheGame) {
    Original originals[PICTURE_COUNT];
    for (size_t p = 0; p < PICTURES.size(); ++p) {
        const std::string path = goodImages + "/" + PICTURES[p];
        originals[p].bytes = ReadFile(path);
        originals[p].surface = SDL_LoadBMP(path.c_str());
        ASSERT_NE(originals[p].surface, nullptr) << path << ": " << SDL_GetError();
        for (int y = 0; y < originals[p].surface->h; ++y) {
            for (int x = 0; x < originals[p].surface->w; ++x) {
                originals[p].colours.push_back(PixelOf(originals[p].surface, x, y));
            }
        }
        ASSERT_GT(originals[p].bytes.size(), size_t(BmpField::HEADERS_END)) << path;
    }

    std::vector<GameRun> runs;
    GameRun baseline;
    baseline.name = "good pictures";
    baseline.folder = Folder("good", nullptr);
    baseline.command = {gameBinary};
    runs.push_back(baseline);
    for (size_t p = 0; p < PICTURES.size(); ++p) {
        for (const Variant& variant : VARIANTS) {
            GameRun run;
            run.name = std::string(PICTURES[p]) + " " + variant.name;
            run.folder = Folder(std::string(PICTURES[p]) + "-" + variant.name, PICTURES[p]);
            ASSERT_TRUE(WriteVariant(run.folder + "/images/" + PICTURES[p], variant, originals[p]))
                << run.name << ": " << SDL_GetError();
            run.command = {gameBinary};
            if (variant.reason != nullptr) {
                run.expectedOut = std::string("ERROR: GFX::loadbmp(): images/") + PICTURES[p] +
                                  ": " + variant.reason + "\n";
            }
            runs.push_back(run);
        }
    }
    for (Original& original : originals) {
        SDL_FreeSurface(original.surface);
    }

    const auto start = std::chrono::steady_clock::now();
    RunAll(runs, PARALLEL_RUNS, RUN_TIME_LIMIT, WatcherPath(), scratch);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int played = 0;
    int refused = 0;
    for (const GameRun& run : runs) {
        const bool exited = !run.hung && WIFEXITED(run.wstatus);
        const int status = exited ? WEXITSTATUS(run.wstatus) : -1;
        if (run.expectedOut.empty()) {
            EXPECT_TRUE(run.playing && exited && status == 0 && run.out.empty() && run.err.empty())
                << run.name << ": expected to play and quit cleanly; " << HowItEnded(run);
            played += run.playing && exited && status == 0;
        } else {
            EXPECT_TRUE(exited && status == 1 && run.out == run.expectedOut && run.err.empty())
                << run.name << ": expected " << run.expectedOut << HowItEnded(run);
            refused += exited && status == 1 && run.out == run.expectedOut;
        }
    }
    std::cout << runs.size() << " runs of " << gameBinary
              << (sdlFolder.empty() ? "" : " with the SDL in " + sdlFolder) << " in " << seconds
              << " s: " << played << " played and quit, " << refused << " refused a picture"
              << std::endl;
}

// Picture paths that name no file. The named pipe is the dangerous one:
// reading it would block the game until something wrote into it.
struct NotAFile {
    const char* name;
    const char* reason;
};

const NotAFile NOT_FILES[] = {
    {"named-pipe", "A named pipe, not a file"},
    {"folder", "A folder, not a file"},
    {"socket", "A socket, not a file"},
    {"device", "A device, not a file"},
};

constexpr int NOT_A_FILE_LIMIT = 10 * GAME_SLOWDOWN; // s before a run counts as hung

bool MakeNotAFile(const std::string& path, const NotAFile& kind) {
    const std::string name = kind.name;
    if (name == "named-pipe") {
        return mkfifo(path.c_str(), 0644) == 0;
    }
    if (name == "folder") {
        return mkdir(path.c_str(), 0755) == 0;
    }
    if (name == "device") {
        return symlink("/dev/zero", path.c_str()) == 0;
    }
    // A bound socket leaves its file behind when closed.
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return bound;
}

TEST_F(BadPictures, APathThatIsNoFileIsRefusedAtOnce) {
    std::vector<GameRun> runs;
    for (const char* picture : PICTURES) {
        for (const NotAFile& kind : NOT_FILES) {
            GameRun run;
            run.name = std::string(picture) + " " + kind.name;
            run.folder = Folder(std::string(picture) + "-" + kind.name, picture);
            ASSERT_TRUE(MakeNotAFile(run.folder + "/images/" + picture, kind))
                << run.name << ": " << std::strerror(errno);
            run.command = {gameBinary};
            run.expectedOut =
                std::string("ERROR: GFX::loadbmp(): images/") + picture + ": " + kind.reason + "\n";
            runs.push_back(run);
        }
    }
    RunAll(runs, PARALLEL_RUNS, NOT_A_FILE_LIMIT, WatcherPath(), scratch);
    double slowest = 0;
    for (const GameRun& run : runs) {
        slowest = std::max(slowest, run.seconds);
        const bool exited = !run.hung && WIFEXITED(run.wstatus);
        EXPECT_TRUE(exited && WEXITSTATUS(run.wstatus) == 1 && run.out == run.expectedOut &&
                    run.err.empty() && !run.playing)
            << run.name << ": expected " << run.expectedOut << HowItEnded(run);
        EXPECT_FALSE(run.shown) << run.name << ": refused only after the screen changed; "
                                << HowItEnded(run);
    }
    std::cout << runs.size() << " paths that are no file, slowest refusal " << slowest << " s"
              << std::endl;
}

// Each picture and each sound swapped for a named pipe just as the game opens
// it, after the look that refuses a named pipe: the game checks what it
// opened, so it refuses the pipe with the same line instead of waiting for a
// writer with the screen taken. The swap comes from inside the game's own
// open, so it lands in that gap every run. A sound is opened twice, for its
// check and, with a device, for the mixer on the sound's own thread once the
// match is under way: a sound swapped after its check is never waited on
// either, and it only leaves that cue silent - the match plays on and ends
// quietly.
TEST_F(BadPictures, AGameFileSwappedForANamedPipeAsItIsOpenedIsRefused) {
    struct Swap {
        std::string path; // in the game's folder
        const char* where;
        int open; // which of the game's opens of the path the swap comes before
    };
    std::vector<Swap> swaps;
    for (const char* picture : PICTURES) {
        swaps.push_back({std::string("images/") + picture, "GFX::loadbmp()", 1});
    }
    for (const SoundFile& sound : SOUND_FILES) {
        for (int open : {1, 2}) {
            swaps.push_back({std::string("sounds/") + sound.name, "SFX::loadwav()", open});
        }
    }
    std::vector<GameRun> runs;
    for (const Swap& swap : swaps) {
        GameRun run;
        run.name = swap.path + " swapped at open " + std::to_string(swap.open);
        run.folder = Folder(std::to_string(runs.size()) + "-swapped", nullptr);
        OwnSounds(run.folder);
        ASSERT_EQ(mkfifo((run.folder + "/" + swap.path + ".pipe").c_str(), 0644), 0)
            << run.name << ": " << std::strerror(errno);
        run.command = {gameBinary};
        // SDL's dummy driver is a device on any machine, so the mixer's own
        // open is reached; it plays to nowhere and says nothing.
        run.environment = {"SWAP_PATH=" + swap.path, "SWAP_WITH=" + swap.path + ".pipe",
                           "SWAP_AT=" + std::to_string(swap.open), "SDL_AUDIODRIVER=dummy"};
        run.preload = SWAP_ON_OPEN_LIBRARY; // set by the build
        const bool checked = swap.open == 1;
        run.expectedOut = checked ? "ERROR: " + std::string(swap.where) + ": " + swap.path +
                                        ": A named pipe, not a file\n"
                                  : "";
        runs.push_back(run);
    }
    RunAll(runs, PARALLEL_RUNS, NOT_A_FILE_LIMIT, WatcherPath(), scratch);
    for (const GameRun& run : runs) {
        const bool exited = !run.hung && WIFEXITED(run.wstatus);
        // Refused before the match, or played on and ended by the test's quit.
        const bool quiet = run.expectedOut.empty();
        EXPECT_TRUE(exited && run.playing == quiet && WEXITSTATUS(run.wstatus) == (quiet ? 0 : 1) &&
                    run.out == run.expectedOut && run.err.empty())
            << run.name << ": expected " << (quiet ? "a quiet match\n" : run.expectedOut)
            << HowItEnded(run);
    }
}

// One run of the game on its good pictures under memcheck: the loading
// picture, the pictures' loading and conversion, a few frames, then a quit.
// SDL's own leaks are not looked at: the pictures live until the process ends
// by design.
TEST(Valgrind, TheGamePlaysWithoutAnInvalidAccess) {
    if (valgrindBinary.empty()) {
        GTEST_SKIP() << "no --valgrind=<path> given";
    }
    ASSERT_TRUE(Exists(gameBinary)) << gameBinary;
    const std::string scratch = MakeTempFolder("valgrind");
    ASSERT_FALSE(scratch.empty());
    GameRun run;
    run.name = "valgrind";
    run.folder = scratch + "/game";
    mkdir(run.folder.c_str(), 0755);
    ASSERT_EQ(symlink(goodImages.c_str(), (run.folder + "/images").c_str()), 0);
    ASSERT_EQ(symlink(GoodSounds().c_str(), (run.folder + "/sounds").c_str()), 0);
    run.command = {valgrindBinary,
                   "--tool=memcheck",
                   "--quiet",
                   "--leak-check=no",
                   "--error-exitcode=" + std::to_string(VALGRIND_ERROR_STATUS),
                   gameBinary};
    std::vector<GameRun> runs = {run};
    const auto start = std::chrono::steady_clock::now();
    RunAll(runs, 1, VALGRIND_TIME_LIMIT, WatcherPath(), scratch);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const GameRun& done = runs[0];
    EXPECT_TRUE(done.playing) << HowItEnded(done);
    EXPECT_FALSE(done.hung);
    ASSERT_TRUE(WIFEXITED(done.wstatus)) << HowItEnded(done);
    EXPECT_EQ(WEXITSTATUS(done.wstatus), 0) << HowItEnded(done);
    EXPECT_EQ(done.out, "");
    EXPECT_EQ(done.err, "") << "memcheck's findings above";
    std::cout << "memcheck run took " << seconds << " s" << std::endl;
    RemoveTree(scratch);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) {
            const std::string prefix = std::string("--") + name + "=";
            return arg.compare(0, prefix.size(), prefix) == 0 ? arg.substr(prefix.size())
                                                              : std::string();
        };
        if (!value("game").empty()) {
            gameBinary = value("game");
        } else if (!value("images").empty()) {
            goodImages = value("images");
        } else if (!value("sdl-dir").empty()) {
            sdlFolder = value("sdl-dir");
        } else if (!value("valgrind").empty()) {
            valgrindBinary = value("valgrind");
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    // This process reads pictures only; no display is opened here.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    return RUN_ALL_TESTS();
}
