// SPDX-License-Identifier: MIT
// A screenshot asked for where "screenshot.bmp" cannot be written (a folder of
// that name is in the way): nothing is written, nothing is said, and the frame
// is still drawn and shown, then the next one. A writable folder beside it
// shows that the same frame is saved when it can be. Then whatever else may be
// in the way or run out (a FIFO, links, a file size limit, a full or read-only
// disk): the game never blocks or dies, never writes through a name to another
// file, and either the whole frame replaces the name or an earlier screenshot
// stays exactly as it was, with nothing left beside it.
#include "BmpFiles.h"
#include "ChildProcess.h"
#include "FakeClock.h"
#include "game/Player.h"
#include "game/Scroller.h"
#include "game/Startup.h"
#include "gfx/GFX.h"

#include <SDL.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// What a test built for another machine runs in (set by the build): none here.
#ifndef TEST_EMULATOR
#define TEST_EMULATOR ""
#endif

namespace {
int flips = 0; // frames shown by this process
} // namespace

// Counts the frames shown by the game's code linked into this binary, and
// shows them with SDL's own SDL_Flip.
extern "C" int SDL_Flip(SDL_Surface* surface) {
    using Flip = int (*)(SDL_Surface*);
    static const Flip real = reinterpret_cast<Flip>(dlsym(RTLD_NEXT, "SDL_Flip"));
    ++flips;
    return real(surface);
}

namespace {

const PixelColour STARS = {24, 40, 72};
constexpr int PROBE_X = 400; // px: a place on the screen where only stars show
constexpr int PROBE_Y = 100; // px

// Ways the child reports a failed check; it may print nothing itself.
enum ChildFault {
    NO_VIDEO = 10,
    NOT_FLIPPED,
    NOT_DRAWN,
    NEXT_FRAME_NOT_FLIPPED,
    NO_SIZE_LIMIT,
    NO_LEFTOVERS,
};

// Flat stand-ins of the list's sizes, one colour per picture in the list's
// order; the loading picture is a small one.
const PixelColour COLOURS[PICTURE_COUNT] = {
    {200, 160, 40}, STARS,         {240, 240, 240}, {240, 240, 240}, {232, 64, 64}, {64, 96, 232},
    {248, 128, 0},  {0, 200, 248}, {248, 248, 0},   {168, 0, 80},    {0, 112, 112},
};
constexpr int LOADING_W = 200; // px
constexpr int LOADING_H = 100; // px

// A current folder with flat pictures of the sizes the drawing relies on.
std::string PictureFolder() {
    const std::string folder = MakeTempFolder("screenshot");
    if (folder.empty() || mkdir((folder + "/images").c_str(), 0755) != 0) {
        return "";
    }
    for (const PictureFile& p : PICTURE_FILES) {
        const bool loading = p.picture == Picture::LOADING;
        BmpLayout layout;
        layout.width = loading ? LOADING_W : p.width;
        layout.height = loading ? LOADING_H : p.height;
        const PixelColour colour = COLOURS[int(p.picture)];
        if (!WriteFile(folder + "/images/" + p.name,
                       EncodeBmp(layout, [colour](int, int) { return colour; }))) {
            return "";
        }
    }
    return folder;
}

// What the player's shell may hand the game beyond its folder.
struct Surroundings {
    rlim_t fileSizeLimit = RLIM_INFINITY; // bytes any file may grow to
    // Where SDL's own writer saves the same frame for comparison, or "".
    std::string reference;
    // Names that a game of the same process id killed while saving would
    // have left beside "screenshot.bmp" under the older naming, as empty files.
    int leftovers = 0;
};

// The older naming: the process id and a try number.
std::string LeftoverName(long pid, int attempt) {
    return "screenshot.bmp." + std::to_string(pid) + "-" + std::to_string(attempt) + ".tmp";
}

constexpr mode_t CHILD_UMASK = 027;     // one that neither 0600 nor 0644 matches
constexpr int CHILD_TIME_LIMIT = 10000; // ms: far beyond a frame, however slow the machine

// Sets the game's graphics up in folder on the dummy display as the game
// starts, and draws one frame with a screenshot asked for, then one without.
// A child still running after the limit is killed with SIGKILL.
// The child's process id goes to pid when one is given.
ChildResult DrawWithScreenshot(const std::string& folder, const Surroundings& around = {},
                               int* pid = nullptr) {
    const auto body = [&] {
        umask(CHILD_UMASK);
        // As a program starts, whatever the test runner ignores: only the
        // game's own start-up may keep a file size limit from killing it.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit size = {around.fileSizeLimit, around.fileSizeLimit};
        if (around.fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &size) != 0) {
            _exit(NO_SIZE_LIMIT);
        }
        PrepareStartup();
        if (chdir(folder.c_str()) != 0 || SDL_Init(SDL_INIT_VIDEO) != 0) {
            _exit(NO_VIDEO);
        }
        for (int attempt = 0; attempt < around.leftovers; ++attempt) {
            if (!WriteFile(LeftoverName(getpid(), attempt), {})) {
                _exit(NO_LEFTOVERS);
            }
        }
        FakeClock::Reset();
        GFX gfx;
        gfx.Init(SUBSYSTEM_SDL);
        Player red;
        Player blue;
        red.ship.SetX(700);
        red.ship.SetY(300);
        blue.ship.SetX(100);
        blue.ship.SetY(300);
        Scroller scroller;
        SDL_FillRect(screen, nullptr, 0); // so that only a drawn frame shows stars
        const int before = flips;
        gfx.Draw(red, blue, scroller, true);
        if (flips != before + 1) {
            _exit(NOT_FLIPPED);
        }
        SDL_Surface* shown = SDL_GetVideoSurface();
        const PixelColour seen = PixelOf(shown, PROBE_X, PROBE_Y);
        if (seen.r >> 3 != STARS.r >> 3 || seen.g >> 2 != STARS.g >> 2 ||
            seen.b >> 3 != STARS.b >> 3) {
            _exit(NOT_DRAWN);
        }
        if (!around.reference.empty()) {
            SDL_SaveBMP_RW(shown, SDL_RWFromFile(around.reference.c_str(), "wb"), 1);
        }
        gfx.Draw(red, blue, scroller, false);
        if (flips != before + 2) {
            _exit(NEXT_FRAME_NOT_FLIPPED);
        }
    };
    return RunInChild(body, ChildOutput::File, [pid](int child) {
        if (pid != nullptr) {
            *pid = child;
        }
        EndsWithin(child, CHILD_TIME_LIMIT);
    });
}

// The names in a folder, but "." and ".."; none when it cannot be read.
std::set<std::string> Entries(const std::string& path) {
    std::set<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            names.insert(entry->d_name);
        }
        closedir(dir);
    }
    names.erase(".");
    names.erase("..");
    return names;
}

// False too for a folder that cannot be read.
bool IsEmptyFolder(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    closedir(dir);
    return Entries(path).empty();
}

TEST(UnwritableScreenshot, NothingIsWrittenOrSaidAndTheFrameIsStillShown) {
    const std::string folder = PictureFolder();
    ASSERT_FALSE(folder.empty());
    const std::string inTheWay = folder + "/screenshot.bmp";
    ASSERT_EQ(mkdir(inTheWay.c_str(), 0755), 0);

    const ChildResult r = DrawWithScreenshot(folder);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, CHILD_RETURNED) << "10: no video, 11: not flipped, 12: not drawn, "
                                           "13: next frame not flipped";
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(IsEmptyFolder(inTheWay)) << "something was written into " << inTheWay;
    RemoveTree(folder);
}

// The same frame in a folder where the file can be written: it is, and it
// holds the frame.
TEST(UnwritableScreenshot, AWritableFolderGetsTheFrame) {
    const std::string folder = PictureFolder();
    ASSERT_FALSE(folder.empty());

    const ChildResult r = DrawWithScreenshot(folder);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    SDL_Surface* saved = SDL_LoadBMP((folder + "/screenshot.bmp").c_str());
    ASSERT_NE(saved, nullptr) << SDL_GetError();
    EXPECT_EQ(saved->w, 800);
    EXPECT_EQ(saved->h, 600);
    const PixelColour seen = PixelOf(saved, PROBE_X, PROBE_Y);
    EXPECT_EQ(seen.r >> 3, STARS.r >> 3);
    EXPECT_EQ(seen.g >> 2, STARS.g >> 2);
    EXPECT_EQ(seen.b >> 3, STARS.b >> 3);
    SDL_FreeSurface(saved);
    RemoveTree(folder);
}

// ---- Whatever else is named "screenshot.bmp", or runs out while it is written ----

// What bears the name "screenshot.bmp" before p is pressed.
enum class InTheWay {
    NOTHING,
    EARLIER_SHOT, // a good screenshot from before
    FIFO,
    SYMLINK,   // to the other file
    HARD_LINK, // a second name of the other file
    DIRECTORY, // empty
};

// Puts what is in the way at folder/screenshot.bmp; a link's other name is
// folder/other.bmp, holding earlier too.
void PlaceInTheWay(InTheWay kind, const std::string& folder, const std::vector<Uint8>& earlier) {
    const std::string shot = folder + "/screenshot.bmp";
    const std::string other = folder + "/other.bmp";
    switch (kind) {
    case InTheWay::NOTHING:
        break;
    case InTheWay::EARLIER_SHOT:
        ASSERT_TRUE(WriteFile(shot, earlier));
        break;
    case InTheWay::FIFO:
        ASSERT_EQ(mkfifo(shot.c_str(), 0644), 0);
        break;
    case InTheWay::SYMLINK:
        ASSERT_TRUE(WriteFile(other, earlier));
        ASSERT_EQ(symlink("other.bmp", shot.c_str()), 0);
        break;
    case InTheWay::HARD_LINK:
        ASSERT_TRUE(WriteFile(other, earlier));
        ASSERT_EQ(link(other.c_str(), shot.c_str()), 0);
        break;
    case InTheWay::DIRECTORY:
        ASSERT_EQ(mkdir(shot.c_str(), 0755), 0);
        break;
    }
}

// Where the game runs: its own folder, or a mount of its own.
enum class Disk {
    PLAIN,
    SMALL,     // far too small for a frame
    READ_ONLY, // a folder nothing can be created in
};

struct ShotCase {
    const char* name;
    InTheWay inTheWay;
    Disk disk;
    rlim_t fileSizeLimit; // bytes
    bool frameSaved;      // else the earlier "screenshot.bmp" stays
};

// Names the case in gtest's messages.
void PrintTo(const ShotCase& c, std::ostream* out) { *out << c.name; }

constexpr rlim_t SMALL_LIMIT = 65536; // bytes: a twentieth of a frame's BMP
// bytes: the headers and 800 x 600 pixels of 3 bytes, rows needing no padding
constexpr rlim_t FRAME_FILE_SIZE = 14 + 40 + 800 * 600 * 3;
constexpr char SMALL_DISK[] = "size=256k"; // the earlier shot fits, a frame does not
constexpr int EARLIER_SIDE = 16;           // px: the earlier screenshot is a small picture

const ShotCase SHOT_CASES[] = {
    {"NothingBefore", InTheWay::NOTHING, Disk::PLAIN, RLIM_INFINITY, true},
    {"EarlierShotReplaced", InTheWay::EARLIER_SHOT, Disk::PLAIN, RLIM_INFINITY, true},
    {"Fifo", InTheWay::FIFO, Disk::PLAIN, RLIM_INFINITY, true},
    {"Symlink", InTheWay::SYMLINK, Disk::PLAIN, RLIM_INFINITY, true},
    {"HardLink", InTheWay::HARD_LINK, Disk::PLAIN, RLIM_INFINITY, true},
    {"FileSizeLimit", InTheWay::EARLIER_SHOT, Disk::PLAIN, SMALL_LIMIT, false},
    {"FrameJustWithinTheLimit", InTheWay::EARLIER_SHOT, Disk::PLAIN, FRAME_FILE_SIZE, true},
    {"LastByteOverTheLimit", InTheWay::EARLIER_SHOT, Disk::PLAIN, FRAME_FILE_SIZE - 1, false},
    {"FullDisk", InTheWay::EARLIER_SHOT, Disk::SMALL, RLIM_INFINITY, false},
    {"ReadOnlyFolder", InTheWay::EARLIER_SHOT, Disk::READ_ONLY, RLIM_INFINITY, false},
    {"DirectoryInTheWay", InTheWay::DIRECTORY, Disk::PLAIN, RLIM_INFINITY, false},
};

class ScreenshotInTheWay : public testing::TestWithParam<ShotCase> {
  protected:
    // root holds the pictures and the reference frame; the game runs in
    // root/play, which sees the pictures through a link.
    void SetUp() override {
        root = PictureFolder();
        ASSERT_FALSE(root.empty());
        play = root + "/play";
        ASSERT_EQ(mkdir(play.c_str(), 0755), 0);
        const Disk disk = GetParam().disk;
        const bool asRoot = geteuid() == 0;
        if (disk == Disk::SMALL && !asRoot) {
            GTEST_SKIP() << "a full disk is a small tmpfs, and only root can mount one";
        }
        // A player's folder that refuses new files takes the frame in place;
        // ScreenshotBeside.ReadOnlyFolderTakesTheFrameInPlace has that case.
        if (disk == Disk::READ_ONLY && !asRoot) {
            GTEST_SKIP() << "a read-only disk is a read-only tmpfs, and only root can mount one";
        }
        // Root writes into any folder whatever its mode says, so its read-only
        // folder is a read-only mount.
        if (disk == Disk::SMALL || disk == Disk::READ_ONLY) {
            if (mount("tmpfs", play.c_str(), "tmpfs", 0, SMALL_DISK) != 0) {
                // Root in a container may be denied mounts of its own.
                ASSERT_EQ(errno, EPERM) << "mounting a tmpfs: " << std::strerror(errno);
                GTEST_SKIP() << "this root may not mount a tmpfs: " << std::strerror(errno);
            }
            mounted = true;
        }
        ASSERT_EQ(symlink("../images", (play + "/images").c_str()), 0);
        earlier = EncodeBmp(Layout(EARLIER_SIDE, EARLIER_SIDE, 24), Pattern);
        other = play + "/other.bmp";
        ASSERT_NO_FATAL_FAILURE(PlaceInTheWay(GetParam().inTheWay, play, earlier));
        before = Entries(play);
        if (disk == Disk::READ_ONLY) {
            ASSERT_EQ(mount(nullptr, play.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
                << std::strerror(errno);
        }
    }

    void TearDown() override {
        if (mounted) {
            umount2(play.c_str(), MNT_DETACH);
        }
        chmod(play.c_str(), 0755);
        RemoveTree(root);
    }

    std::string root;
    std::string play;
    std::string other;
    std::vector<Uint8> earlier;
    std::set<std::string> before;
    bool mounted = false;
};

TEST_P(ScreenshotInTheWay, TheWholeFrameOrTheEarlierShotAndNothingElse) {
    const ShotCase& c = GetParam();
    Surroundings around;
    around.fileSizeLimit = c.fileSizeLimit;
    around.reference = c.frameSaved ? root + "/reference.bmp" : "";
    const ChildResult r = DrawWithScreenshot(play, around);

    EXPECT_TRUE(r.exited) << "killed by signal " << r.status << " ("
                          << (r.status == SIGKILL ? "still running after the time limit"
                                                  : strsignal(r.status))
                          << ")";
    EXPECT_EQ(r.status, CHILD_RETURNED) << "10: no video, 11: not flipped, 12: not drawn, "
                                           "13: next frame not flipped, 14: no size limit";
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    const std::string shot = play + "/screenshot.bmp";
    if (c.inTheWay == InTheWay::SYMLINK || c.inTheWay == InTheWay::HARD_LINK) {
        EXPECT_TRUE(ReadFile(other) == earlier) << "written through to the other name";
    }
    // Only the name "screenshot.bmp" may have changed: no temporary file is left.
    std::set<std::string> after = before;
    after.insert("screenshot.bmp");
    EXPECT_EQ(Entries(play), c.frameSaved ? after : before);

    struct stat st = {};
    ASSERT_EQ(lstat(shot.c_str(), &st), 0) << "no " << shot;
    if (c.inTheWay == InTheWay::DIRECTORY) {
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(Entries(shot), std::set<std::string>()) << "written into the directory";
        return;
    }
    // Reading anything else (a FIFO) could block the test itself.
    ASSERT_TRUE(S_ISREG(st.st_mode)) << shot << " is not a plain file";
    if (!c.frameSaved) {
        EXPECT_TRUE(ReadFile(shot) == earlier) << "the earlier screenshot changed";
        return;
    }
    EXPECT_EQ(st.st_nlink, 1u) << shot << " still shares its file";
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~CHILD_UMASK)
        << "not a new file's usual permissions: " << std::oct << (st.st_mode & 0777);
    const std::vector<Uint8> frame = ReadFile(around.reference);
    ASSERT_FALSE(frame.empty());
    EXPECT_TRUE(ReadFile(shot) == frame) << "not the frame as SDL saves it";
}

INSTANTIATE_TEST_SUITE_P(Screenshot, ScreenshotInTheWay, testing::ValuesIn(SHOT_CASES),
                         [](const testing::TestParamInfo<ShotCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- What lies beside "screenshot.bmp" ----

// The frame as the game shows it, saved by SDL's own writer, for comparison.
struct Reference {
    std::string folder = MakeTempFolder("reference");
    std::string path = folder + "/frame.bmp";
    ~Reference() { RemoveTree(folder); }
};

// A game always started as the same process id (as in a sandbox) finds every
// name it would once have tried taken by an empty leftover: the frame is
// still saved, and the leftovers are left alone.
TEST(ScreenshotBeside, LeftoversOfTheSameProcessIdDoNotStopIt) {
    constexpr int OLD_TRIES = 16; // the names the older naming tried
    const std::string folder = PictureFolder();
    ASSERT_FALSE(folder.empty());
    const Reference reference;
    Surroundings around;
    around.reference = reference.path;
    around.leftovers = OLD_TRIES;
    int gamePid = 0;
    const ChildResult r = DrawWithScreenshot(folder, around, &gamePid);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, CHILD_RETURNED) << "15: leftovers not made";

    std::set<std::string> expected = {"images", "screenshot.bmp"};
    for (int attempt = 0; attempt < OLD_TRIES; ++attempt) {
        const std::string name = LeftoverName(gamePid, attempt);
        expected.insert(name);
        EXPECT_TRUE(ReadFile(folder + "/" + name).empty()) << name << " was written";
    }
    EXPECT_EQ(Entries(folder), expected);
    const std::vector<Uint8> frame = ReadFile(reference.path);
    ASSERT_FALSE(frame.empty());
    EXPECT_TRUE(ReadFile(folder + "/screenshot.bmp") == frame) << "not the frame as SDL saves it";
    RemoveTree(folder);
}

// What bears the name in a folder the player may not create files in.
struct InPlaceCase {
    const char* name;
    InTheWay inTheWay;
    bool frameSaved; // over the earlier screenshot, in place; else it all stays
};

const InPlaceCase IN_PLACE_CASES[] = {
    {"EarlierShot", InTheWay::EARLIER_SHOT, true},
    {"Symlink", InTheWay::SYMLINK, false},
    {"HardLink", InTheWay::HARD_LINK, false},
    {"Fifo", InTheWay::FIFO, false},
};

// Run by a player who is not root: root writes into any folder.
void ReadOnlyFolderAsPlayer() {
    const std::vector<Uint8> earlier = EncodeBmp(Layout(EARLIER_SIDE, EARLIER_SIDE, 24), Pattern);
    for (const InPlaceCase& c : IN_PLACE_CASES) {
        SCOPED_TRACE(c.name);
        const std::string folder = PictureFolder();
        ASSERT_FALSE(folder.empty());
        const std::string shot = folder + "/screenshot.bmp";
        const std::string other = folder + "/other.bmp";
        ASSERT_NO_FATAL_FAILURE(PlaceInTheWay(c.inTheWay, folder, earlier));
        struct stat before = {};
        ASSERT_EQ(lstat(shot.c_str(), &before), 0);
        const std::set<std::string> names = Entries(folder);
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0) << std::strerror(errno);
        const Reference reference;
        Surroundings around;
        around.reference = reference.path;
        const ChildResult r = DrawWithScreenshot(folder, around);
        chmod(folder.c_str(), 0755);

        EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
        EXPECT_EQ(r.status, CHILD_RETURNED);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Entries(folder), names);
        struct stat after = {};
        ASSERT_EQ(lstat(shot.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "not the same file";
        if (c.frameSaved) {
            const std::vector<Uint8> frame = ReadFile(reference.path);
            ASSERT_FALSE(frame.empty());
            EXPECT_TRUE(ReadFile(shot) == frame) << "not the frame as SDL saves it";
        } else if (c.inTheWay != InTheWay::FIFO) {
            EXPECT_TRUE(ReadFile(other) == earlier) << "written through to the other name";
        }
        RemoveTree(folder);
    }
}

// Whether a user who is neither the owner nor in the group can read path and
// every folder on the way to it (a checkout in root's home is out of reach).
bool OthersReach(std::string path) {
    while (!path.empty()) {
        struct stat info;
        if (stat(path.c_str(), &info) != 0 ||
            (info.st_mode & (S_ISDIR(info.st_mode) ? S_IXOTH : S_IROTH)) == 0) {
            return false;
        }
        const size_t slash = path.find_last_of('/');
        path.erase(slash == std::string::npos ? 0 : slash);
    }
    return true;
}

// The player owns "screenshot.bmp" in a folder they cannot write. Root runs
// this same test again as the user "nobody", through setpriv.
TEST(ScreenshotBeside, ReadOnlyFolderTakesTheFrameInPlace) {
    if (geteuid() != 0) {
        ReadOnlyFolderAsPlayer();
        return;
    }
    const passwd* player = getpwnam("nobody");
    if (player == nullptr) {
        GTEST_SKIP() << "no user \"nobody\" to run as: root writes into any folder";
    }
    char self[PATH_MAX] = "";
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string uid = std::to_string(player->pw_uid);
    const std::string gid = std::to_string(player->pw_gid);
    std::vector<std::string> command = {"setpriv", "--reuid=" + uid, "--regid=" + gid,
                                        "--clear-groups", "--"};
    const size_t firstPath = command.size();
    // A test built for another machine starts again through its emulator,
    // named by the build as words separated by spaces.
    std::istringstream emulator(TEST_EMULATOR);
    for (std::string word; emulator >> word;) {
        command.push_back(word);
    }
    command.push_back(self);
    for (size_t word = firstPath; word < command.size(); ++word) {
        if (!OthersReach(command[word])) {
            GTEST_SKIP() << "the user \"nobody\" cannot reach " << command[word];
        }
    }
    command.push_back("--gtest_filter=ScreenshotBeside.ReadOnlyFolderTakesTheFrameInPlace");
    const ChildResult r = RunInChild([&] {
        std::vector<char*> argv;
        for (std::string& word : command) {
            argv.push_back(&word[0]);
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    });
    // setpriv's own statuses when it cannot run the test program.
    if (r.exited && (r.status == 126 || r.status == 127)) {
        GTEST_SKIP() << "nobody cannot run " << self << " through setpriv: " << r.err;
    }
    EXPECT_TRUE(r.exited && r.status == 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
}

} // namespace
