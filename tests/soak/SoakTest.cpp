// SPDX-License-Identifier: MIT
// Long seeded duels between two key-holding bots on the fake clock: match after
// match until a million updates have run, every update checked against the
// rules' invariants, every ending checked against the result line.
#include "../ChildProcess.h"
#include "../FakeClock.h"
#include "game/Match.h"
#include "game/Screen.h"
#include "gfx/GFX.h"

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t DEFAULT_SEED = 0x5EEDD0E1u; // overridden by DUELSTAR_SOAK_SEED
constexpr long MIN_TOTAL_UPDATES = 1000000;         // UpdateMatch calls over all matches
// A match this long means the duel stalls; the bots end one in about 500.
constexpr long MAX_MATCH_UPDATES = 200000;
constexpr Uint32 CLOCK_START = 100000; // ms: away from 0, which would re-arm the timer
constexpr Uint32 MAX_FRAME_MS = 50;    // ms; frame times are drawn from 0 up to this

// The bots hold a choice of keys for a stretch of updates, as players do.
constexpr Uint32 MAX_HOLD_UPDATES = 40;
constexpr Uint32 PERCENT = 100;
constexpr Uint32 FIRE_PERCENT = 85;     // stretches with the fire key held
constexpr Uint32 TRACK_PERCENT = 55;    // stretches spent steering towards the other's height
constexpr float TRACK_DEADBAND = 10.0f; // px: close enough in height to stop steering

// Start positions and the halves the rules keep the ships in.
constexpr float RED_MIN_X = 450.0f;    // px
constexpr float BLUE_MAX_X = 350.0f;   // px
constexpr float SHOT_MARGIN = 25.0f;   // px a shot may fly past a screen edge
constexpr float BANNER_REACH = 800.0f; // px: the banner's offset stays within +-this
constexpr double MS_TO_SECONDS = 0.001;
constexpr float LASER_SPEED = 500.0f; // px/s
constexpr float SHIP_SPEED = 500.0f;  // px/s, each direction
constexpr float BANNER_SPEED = 50.0f; // px/s
// The hit box around a target ship at (sx, sy): a shot's tip lies LASER_TIP
// ahead of its centre and must fall strictly between the ship's nose at
// BOX_NEAR and its tail at BOX_FAR, within HIT_HALF_HEIGHT of its height.
constexpr float LASER_TIP = 20.0f;       // px
constexpr float BOX_NEAR = 35.0f;        // px
constexpr float BOX_FAR = 75.0f;         // px
constexpr float HIT_HALF_HEIGHT = 75.0f; // px
// Single-precision positions near 800 px are exact to about 0.0001 px.
constexpr float POSITION_TOLERANCE = 0.002f; // px
constexpr int WINNING_SCORE = 3;
// 1/dt of the frames that count lies between 1/50 ms and 1/1 ms.
constexpr float MIN_FPS = 1000.0f / float(MAX_FRAME_MS);
constexpr float MAX_FPS = 1000.0f;
constexpr float FPS_SLACK = 0.01f; // relative rounding of the running mean

constexpr int CHECK_FAILED = 3; // exit status of a child whose check failed
constexpr size_t FAILURE_TEXT_SIZE = 512;

// Written by the child while it plays, read by the parent after the child has
// exited from inside UpdateMatch.
struct SharedState {
    long updates; // UpdateMatch calls of the current match, the running one included
    int redScore; // scores and frame rate before the running call
    int blueScore;
    float fps;
    bool failed;
    bool ended;      // the process ended through exit
    int finalRed[2]; // score and health as the process ended
    int finalBlue[2];
    char failure[FAILURE_TEXT_SIZE];
};

// splitmix64: small, fast and the same on every platform, so a seed replays.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    Uint32 Below(Uint32 n) { return Uint32(Next() % n); }
    bool Percent(Uint32 p) { return Below(PERCENT) < p; }

  private:
    std::uint64_t state;
};

struct Keys {
    bool fire, up, down, left, right;
};

// One player at the keyboard: fires most of the time, steers towards the
// other ship's height for a while, then mashes something else for a while.
class Bot {
  public:
    Keys Press(Random& random, const Ship& own, const Ship& other) {
        if (holdLeft == 0) {
            holdLeft = 1 + random.Below(MAX_HOLD_UPDATES);
            keys.fire = random.Percent(FIRE_PERCENT);
            tracking = random.Percent(TRACK_PERCENT);
            // Each vertical and horizontal key on its own, so that opposite
            // keys are sometimes held together.
            keys.up = random.Below(2) != 0;
            keys.down = random.Below(2) != 0;
            keys.left = random.Below(2) != 0;
            keys.right = random.Below(2) != 0;
        }
        --holdLeft;
        Keys now = keys;
        if (tracking) {
            now.up = other.GetY() < own.GetY() - TRACK_DEADBAND;
            now.down = other.GetY() > own.GetY() + TRACK_DEADBAND;
        }
        return now;
    }

  private:
    Keys keys{};
    bool tracking = false;
    Uint32 holdLeft = 0;
};

// One side as it was after the previous update, to tell a shot that keeps
// flying from one that has just been fired and to measure what moved.
struct SideMemory {
    bool enabled[MAX_LASERS] = {};
    float shotX[MAX_LASERS] = {};
    float firedY[MAX_LASERS] = {}; // the ship's height when the shot was fired
    Uint32 lastFire = 0;
    float shipX = 0.0f;
    float shipY = 0.0f;
    int damage = 0; // hits taken over the match, a destroyed ship counting as five

    void Remember(const Player& player, const Player& opponent) {
        for (int i = 0; i < MAX_LASERS; ++i) {
            enabled[i] = player.lasers[i].IsEnabled();
            shotX[i] = player.lasers[i].GetX();
        }
        lastFire = player.ship.GetLastFire();
        shipX = player.ship.GetX();
        shipY = player.ship.GetY();
        damage = Damage(player, opponent);
    }

    static int Damage(const Player& player, const Player& opponent) {
        return opponent.score * FULL_HEALTH + (FULL_HEALTH - player.health);
    }
};

// Whether a shot at (x, y), flying left or right, hits a ship at (sx, sy).
bool InHitBox(float x, float y, bool leftward, float sx, float sy) {
    const float tip = leftward ? x - LASER_TIP : x + LASER_TIP;
    const float boxLeft = leftward ? sx - BOX_FAR : sx - BOX_NEAR;
    const float boxRight = leftward ? sx + BOX_NEAR : sx + BOX_FAR;
    return tip < boxRight && tip > boxLeft && y > sy - HIT_HALF_HEIGHT && y < sy + HIT_HALF_HEIGHT;
}

// What became of one side's shots in an update.
struct ShotOutcome {
    int stopped = 0; // left flight where they were, short of the edge: hits
    int refired = 0; // a slot that left flight and was fired again, its fate unseen
};

class Child {
  public:
    Child(SharedState& shared, std::uint64_t seed, long match)
        : shared(shared), random(seed ^ (std::uint64_t(match) * 0xD1B54A32D192ED03u)), seed(seed),
          match(match) {}

    [[noreturn]] void Play() {
        // The winning update ends the process inside UpdateMatch; the scores
        // it left are recorded on the way out.
        playing = this;
        std::atexit([] { playing->RecordEnd(); });
        FakeClock::Reset(CLOCK_START);
        gfx.Init(SUBSYSTEM_DUMMY);
        // The banner is wherever it happens to be, so that matches see it wrap.
        scroller.Scroll(float(random.Below(Uint32(2.0f * BANNER_REACH))));
        bannerOffset = scroller.GetOffset();
        PlaceForDuel(red, blue);
        redSide.Remember(red, blue);
        blueSide.Remember(blue, red);
        int frames = 0;
        for (long update = 1; update <= MAX_MATCH_UPDATES; ++update) {
            shared.updates = update;
            shared.redScore = red.score;
            shared.blueScore = blue.score;
            shared.fps = timer.fps;
            // The first call only arms the timer, so its frame time is nil.
            const Uint32 ms = update > 1 ? random.Below(MAX_FRAME_MS + 1) : 0;
            FakeClock::Advance(ms);
            Steer();
            UpdateMatch(timer, gfx, controls, red, blue, scroller);

            const float dt = float(double(ms) * MS_TO_SECONDS);
            const bool armed = update > 1; // the arming call ignores the keys
            const ShotOutcome redShots =
                CheckShots(red, redSide, blueSide, true, armed && controls.redFire, dt, "RED");
            const ShotOutcome blueShots =
                CheckShots(blue, blueSide, redSide, false, armed && controls.blueFire, dt, "BLUE");
            CheckSide(red, blue, redSide, blueShots, RED_MIN_X, float(SCREEN_WIDTH), dt, "RED");
            CheckSide(blue, red, blueSide, redShots, 0.0f, BLUE_MAX_X, dt, "BLUE");
            frames += ms != 0 ? 1 : 0;
            CheckTimerAndBanner(frames, dt);
            redSide.Remember(red, blue);
            blueSide.Remember(blue, red);
        }
        Fail("no winner after %ld updates", MAX_MATCH_UPDATES);
    }

  private:
    void RecordEnd() {
        shared.ended = true;
        shared.finalRed[0] = red.score;
        shared.finalRed[1] = red.health;
        shared.finalBlue[0] = blue.score;
        shared.finalBlue[1] = blue.health;
    }

    static Child* playing;

    void Steer() {
        const Keys r = redBot.Press(random, red.ship, blue.ship);
        const Keys b = blueBot.Press(random, blue.ship, red.ship);
        controls.redFire = r.fire;
        controls.redUp = r.up;
        controls.redDown = r.down;
        controls.redLeft = r.left;
        controls.redRight = r.right;
        controls.blueFire = b.fire;
        controls.blueUp = b.up;
        controls.blueDown = b.down;
        controls.blueLeft = b.left;
        controls.blueRight = b.right;
    }

    void CheckSide(const Player& player, const Player& opponent, const SideMemory& memory,
                   const ShotOutcome& opponentShots, float minX, float maxX, float dt,
                   const char* name) {
        if (player.health < 1 || player.health > FULL_HEALTH) {
            Fail("%s health %d", name, player.health);
        }
        if (player.score < 0 || player.score >= WINNING_SCORE) {
            Fail("%s score %d while the match goes on", name, player.score);
        }
        const float x = player.ship.GetX();
        const float y = player.ship.GetY();
        if (!(x >= minX && x <= maxX)) {
            Fail("%s ship x %.3f outside %.0f..%.0f", name, double(x), double(minX), double(maxX));
        }
        if (!(y >= 0.0f && y <= float(SCREEN_HEIGHT))) {
            Fail("%s ship y %.3f outside the screen", name, double(y));
        }
        const float reach = dt * SHIP_SPEED + POSITION_TOLERANCE;
        if (std::fabs(x - memory.shipX) > reach || std::fabs(y - memory.shipY) > reach) {
            Fail("%s ship went from (%.3f, %.3f) to (%.3f, %.3f) in %.3f s", name,
                 double(memory.shipX), double(memory.shipY), double(x), double(y), double(dt));
        }
        // Every shot of the opponent's that stopped short of the edge hit, and
        // every hit took one shot out of flight.
        const int taken = SideMemory::Damage(player, opponent) - memory.damage;
        if (taken < opponentShots.stopped ||
            taken > opponentShots.stopped + opponentShots.refired) {
            Fail("%s took %d hits while %d shots against it stopped", name, taken,
                 opponentShots.stopped);
        }
    }

    // A shot flies at its speed and keeps the height it was fired from; one
    // leaves flight either where it was, when it hit the target as the target
    // stood before the update, or beyond the far edge. The shot fired in an
    // update goes into the lowest slot free after the shots have moved and
    // sits where the ship was before the update's steering.
    ShotOutcome CheckShots(const Player& player, SideMemory& memory, const SideMemory& target,
                           bool leftward, bool fireHeld, float dt, const char* name) {
        ShotOutcome outcome;
        const float shift = (leftward ? -dt : dt) * LASER_SPEED;
        const Uint32 lastFire = player.ship.GetLastFire();
        const bool fired = lastFire != memory.lastFire;
        // With a slot free before the update, one is free after the shots
        // have moved; with all in flight, whether one left is seen below.
        int inFlight = 0;
        for (bool enabled : memory.enabled) {
            inFlight += enabled ? 1 : 0;
        }
        const bool pauseOver = FakeClock::Now() - memory.lastFire >= FIRE_PAUSE;
        if (fired && (!fireHeld || !pauseOver)) {
            Fail("%s fired %u ms after its previous shot, fire key %s", name,
                 unsigned(lastFire - memory.lastFire), fireHeld ? "held" : "released");
        }
        if (!fired && fireHeld && pauseOver && inFlight < MAX_LASERS) {
            Fail("%s held fire after the pause and did not fire", name);
        }
        int firstChange = MAX_LASERS;
        for (int i = 0; i < MAX_LASERS; ++i) {
            if (!(memory.enabled[i] && player.lasers[i].IsEnabled())) {
                firstChange = i;
                break;
            }
        }
        bool refiredSlot[MAX_LASERS] = {};
        if (fired && firstChange < MAX_LASERS && player.lasers[firstChange].IsEnabled()) {
            const Laser& shot = player.lasers[firstChange];
            if (shot.GetX() != memory.shipX || shot.GetY() != memory.shipY) {
                Fail("%s shot %d fired at (%.3f, %.3f), ship was at (%.3f, %.3f)", name,
                     firstChange, double(shot.GetX()), double(shot.GetY()), double(memory.shipX),
                     double(memory.shipY));
            }
            memory.firedY[firstChange] = memory.shipY;
        } else if (fired) {
            // Every slot below firstChange flew on, so one of them left flight
            // in this update and was fired again from the ship.
            for (int i = 0; i < firstChange; ++i) {
                const Laser& shot = player.lasers[i];
                if (shot.GetX() == memory.shipX && shot.GetY() == memory.shipY) {
                    memory.firedY[i] = memory.shipY;
                    refiredSlot[i] = true;
                    outcome.refired = 1;
                }
            }
            if (outcome.refired == 0) {
                Fail("%s fired but no shot sits where its ship was", name);
            }
        }
        for (int i = 0; i < MAX_LASERS; ++i) {
            const Laser& shot = player.lasers[i];
            const float x = shot.GetX();
            const bool flewOn = memory.enabled[i] && !refiredSlot[i];
            const bool onCourse = std::fabs(x - (memory.shotX[i] + shift)) <= POSITION_TOLERANCE;
            const bool hits = flewOn && InHitBox(memory.shotX[i], memory.firedY[i], leftward,
                                                 target.shipX, target.shipY);
            if (!shot.IsEnabled()) {
                if (memory.enabled[i] && x != memory.shotX[i]) {
                    const bool beyond = x < -SHOT_MARGIN || x > float(SCREEN_WIDTH) + SHOT_MARGIN;
                    if (!onCourse || !beyond) {
                        Fail("%s shot %d left flight at x %.3f, coming from %.3f", name, i,
                             double(x), double(memory.shotX[i]));
                    }
                } else if (memory.enabled[i]) {
                    outcome.stopped += 1;
                    if (!hits) {
                        Fail("%s shot %d stopped at (%.3f, %.3f) clear of the target at (%.3f, "
                             "%.3f)",
                             name, i, double(x), double(shot.GetY()), double(target.shipX),
                             double(target.shipY));
                    }
                }
                continue;
            }
            if (hits) {
                Fail("%s shot %d flew through the target at (%.3f, %.3f) from (%.3f, %.3f)", name,
                     i, double(target.shipX), double(target.shipY), double(memory.shotX[i]),
                     double(shot.GetY()));
            }
            if (!memory.enabled[i] && !(fired && i == firstChange)) {
                Fail("%s shot %d entered flight without being fired", name, i);
            }
            if (!(x >= -SHOT_MARGIN && x <= float(SCREEN_WIDTH) + SHOT_MARGIN)) {
                Fail("%s shot %d in flight at x %.3f", name, i, double(x));
            }
            if (flewOn && !onCourse) {
                Fail("%s shot %d went from x %.3f to %.3f", name, i, double(memory.shotX[i]),
                     double(x));
            }
            if (shot.GetY() != memory.firedY[i]) {
                Fail("%s shot %d at height %.3f, fired from %.3f", name, i, double(shot.GetY()),
                     double(memory.firedY[i]));
            }
        }
        return outcome;
    }

    void CheckTimerAndBanner(int frames, float dt) {
        if (timer.frames != frames) {
            Fail("%d frames counted, %d had time in them", timer.frames, frames);
        }
        if (!std::isfinite(timer.fps)) {
            Fail("frame rate %f", double(timer.fps));
        }
        if (timer.frames > 0 && (timer.fps < MIN_FPS * (1.0f - FPS_SLACK) ||
                                 timer.fps > MAX_FPS * (1.0f + FPS_SLACK))) {
            Fail("mean frame rate %f outside %.0f..%.0f", double(timer.fps), double(MIN_FPS),
                 double(MAX_FPS));
        }
        const float offset = scroller.GetOffset();
        if (!(offset >= -BANNER_REACH && offset <= BANNER_REACH)) {
            Fail("banner offset %f", double(offset));
        }
        float moved = bannerOffset - offset;
        if (moved < -POSITION_TOLERANCE) {
            moved += 2.0f * BANNER_REACH; // wrapped from the left end to the right
        }
        if (std::fabs(moved - dt * BANNER_SPEED) > POSITION_TOLERANCE) {
            Fail("banner went from %.4f to %.4f in %.3f s", double(bannerOffset), double(offset),
                 double(dt));
        }
        bannerOffset = offset;
    }

    [[noreturn]] void Fail(const char* format, ...) {
        int used = std::snprintf(shared.failure, FAILURE_TEXT_SIZE,
                                 "seed %llu, match %ld, update %ld: ", (unsigned long long)seed,
                                 match, shared.updates);
        va_list args;
        va_start(args, format);
        std::vsnprintf(shared.failure + used, FAILURE_TEXT_SIZE - size_t(used), format, args);
        va_end(args);
        shared.failed = true;
        _exit(CHECK_FAILED);
    }

    SharedState& shared;
    Random random;
    std::uint64_t seed;
    long match;
    GFX gfx;
    FrameTimer timer;
    Controls controls;
    Player red;
    Player blue;
    Scroller scroller;
    float bannerOffset = BANNER_START;
    Bot redBot;
    Bot blueBot;
    SideMemory redSide;
    SideMemory blueSide;
};

Child* Child::playing = nullptr;

std::uint64_t SeedFromEnvironment() {
    const char* text = std::getenv("DUELSTAR_SOAK_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 0) : DEFAULT_SEED;
}

struct ResultLine {
    bool redWon = false;
    int loserScore = -1;
    int fps = -1;
};

// Accepts exactly "(Red|Blue) wins 3-[0-2] ( [0-9]+ fps )" and an end of
// line: whatever is read back must print as the very same text.
bool ParseResultLine(const std::string& text, ResultLine& line) {
    constexpr size_t WINNER_SIZE = 8;
    char winner[WINNER_SIZE] = {};
    if (std::sscanf(text.c_str(), "%7s wins 3-%d ( %d fps )", winner, &line.loserScore,
                    &line.fps) != 3) {
        return false;
    }
    const std::string name = winner;
    if ((name != "Red" && name != "Blue") || line.loserScore < 0 ||
        line.loserScore >= WINNING_SCORE || line.fps < 0) {
        return false;
    }
    line.redWon = name == "Red";
    constexpr size_t LINE_SIZE = 64;
    char expected[LINE_SIZE];
    std::snprintf(expected, sizeof expected, "%s wins 3-%d ( %d fps )\n", winner, line.loserScore,
                  line.fps);
    return text == expected;
}

TEST(Soak, MillionRandomUpdatesKeepTheRulesAndEveryMatchEndsWithOneResultLine) {
    const std::uint64_t seed = SeedFromEnvironment();
    void* memory = mmap(nullptr, sizeof(SharedState), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    SharedState& shared = *static_cast<SharedState*>(memory);

    const auto start = std::chrono::steady_clock::now();
    long total = 0;
    long matches = 0;
    long redWins = 0;
    long blueWins = 0;
    while (total < MIN_TOTAL_UPDATES) {
        std::memset(&shared, 0, sizeof shared);
        const long match = matches + 1;
        const ChildResult r = RunInChild([&] { Child(shared, seed, match).Play(); });
        const std::string where = "seed " + std::to_string(seed) + ", match " +
                                  std::to_string(match) + ", update " +
                                  std::to_string(shared.updates);
        ASSERT_FALSE(shared.failed) << shared.failure;
        ASSERT_TRUE(r.exited) << where << ": killed by signal " << r.status << "\n" << r.err;
        ASSERT_EQ(r.status, 0) << where << "\nout: " << r.out << "\nerr: " << r.err;
        EXPECT_EQ(r.err, "") << where;
        ResultLine line;
        ASSERT_TRUE(ParseResultLine(r.out, line)) << where << ": " << r.out;

        // The winning hit lands in the last update, in which the loser may
        // have scored too; the line names the final scores, the winner's first.
        ASSERT_TRUE(shared.ended) << where;
        const bool redWon = line.redWon;
        const int* winner = redWon ? shared.finalRed : shared.finalBlue;
        const int* loser = redWon ? shared.finalBlue : shared.finalRed;
        EXPECT_EQ(winner[0], WINNING_SCORE) << where << ": " << r.out;
        EXPECT_EQ(line.loserScore, loser[0]) << where << ": " << r.out;
        EXPECT_EQ(redWon ? shared.redScore : shared.blueScore, WINNING_SCORE - 1) << where;
        EXPECT_GE(loser[0], redWon ? shared.blueScore : shared.redScore) << where;
        EXPECT_EQ(loser[1], FULL_HEALTH) << where << ": the winning hit destroys the loser";
        // The frame rate is not updated by the call that ends the match.
        EXPECT_EQ(line.fps, int(shared.fps)) << where << ": " << r.out;
        if (::testing::Test::HasFailure()) {
            break;
        }
        total += shared.updates;
        matches = match;
        (redWon ? redWins : blueWins) += 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    munmap(memory, sizeof(SharedState));

    EXPECT_GE(total, MIN_TOTAL_UPDATES);
    // Even bots should each win now and then; a side that never wins points
    // at rules that favour one side.
    EXPECT_GT(redWins, 0);
    EXPECT_GT(blueWins, 0);
    std::cout << "soak: seed " << seed << ", " << total << " updates in " << matches
              << " matches (RED " << redWins << ", BLUE " << blueWins << " wins), " << seconds
              << " s\n";
    ::testing::Test::RecordProperty("updates", std::to_string(total));
    ::testing::Test::RecordProperty("matches", std::to_string(matches));
}

} // namespace
