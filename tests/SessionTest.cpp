// SPDX-License-Identifier: MIT
// The online match's state and its rollback session: the checksum sees every
// field, a replayed frame comes out the same, two sessions over a late and
// lossy link end on the same confirmed match, and only frames that stand are
// heard.
#include "net/Session.h"
#include "game/MatchClock.h"
#include "game/MatchState.h"
#include "game/StepEvents.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- the state

struct FieldCase {
    const char* name;
    std::function<void(MatchState&)> change;
};

class EveryField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(EveryField, ChangesTheChecksum) {
    MatchState state;
    StartMatchState(state);
    // Some play first, so that shots and the pause hold values of their own.
    Controls fire;
    fire.redFire = fire.blueFire = true;
    StepEvents events;
    StepMatch(state, fire, events);
    const MatchState before = state;
    GetParam().change(state);
    EXPECT_NE(Checksum(state), Checksum(before));
    state = before; // a saved state loaded back is the same state
    EXPECT_EQ(Checksum(state), Checksum(before));
}

INSTANTIATE_TEST_SUITE_P(
    State, EveryField,
    ::testing::Values(
        FieldCase{"RedScore", [](MatchState& s) { s.red.score += 1; }},
        FieldCase{"RedHealth", [](MatchState& s) { s.red.health -= 1; }},
        FieldCase{"RedShipX", [](MatchState& s) { s.red.ship.SetX(s.red.ship.GetX() - 1.0f); }},
        FieldCase{"RedShipY", [](MatchState& s) { s.red.ship.SetY(s.red.ship.GetY() + 0.5f); }},
        FieldCase{"RedLastShot",
                  [](MatchState& s) { s.red.ship.Fire(s.red.lasers[7], FixedClock(999999)); }},
        FieldCase{"BlueScore", [](MatchState& s) { s.blue.score += 1; }},
        FieldCase{"BlueHealth", [](MatchState& s) { s.blue.health -= 1; }},
        FieldCase{"BlueShipX", [](MatchState& s) { s.blue.ship.SetX(s.blue.ship.GetX() + 1.0f); }},
        FieldCase{"BlueShipY", [](MatchState& s) { s.blue.ship.SetY(0.0f); }},
        FieldCase{"BlueLastShot",
                  [](MatchState& s) { s.blue.ship.Fire(s.blue.lasers[9], FixedClock(999999)); }},
        FieldCase{"ShotInFlight", [](MatchState& s) { s.blue.lasers[0].SetEnabled(false); }},
        FieldCase{"ShotX", [](MatchState& s) { s.red.lasers[0].Move(0.25f); }},
        FieldCase{"FreeShotY", [](MatchState& s) { s.red.lasers[99].SetY(1.0f); }},
        FieldCase{"FreeShotDirection", [](MatchState& s) { s.blue.lasers[98].SetDirection(LEFT); }},
        FieldCase{"Banner", [](MatchState& s) { s.scroller.Scroll(0.125f); }},
        FieldCase{"Step", [](MatchState& s) { s.step += 1; }},
        FieldCase{"Winner", [](MatchState& s) { s.winner = BLUE; }}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------ scripted play

// A player who holds a random mix of commands for a random few frames, then
// another: enough to fly about, fire and be hit.
class Script {
  public:
    explicit Script(unsigned seed) : random(seed) {}
    InputBits Next() {
        if (left == 0) {
            held = InputBits(random() % (INPUT_ALL + 1));
            left = 1 + int(random() % 20);
        }
        left -= 1;
        return held;
    }

  private:
    std::mt19937 random;
    InputBits held = 0;
    int left = 0;
};

TEST(SyncTest, EveryFrameReplayedEightDeepGivesTheSameChecksums) {
    Session session;
    session.SetSyncTest(true);
    session.Start(RED, 0);
    Script red(11);
    Script blue(12);
    constexpr int FRAMES = 5000;
    for (int f = 0; f < FRAMES && session.GetConfirmedWinner() == 0; ++f) {
        ASSERT_TRUE(session.ReceiveRemote(Uint32(f), blue.Next()));
        ASSERT_TRUE(session.Advance(red.Next()));
        ASSERT_EQ(session.GetFault(), SessionFault::NONE) << "frame " << session.GetFaultFrame();
    }
    const MatchState& s = session.GetState();
    // A match that really happened: frames replayed, shots landed.
    EXPECT_GT(session.GetRollbacks(), 1000);
    EXPECT_GT(session.GetFramesRolledBack(), 8000);
    EXPECT_GT(s.red.score + s.blue.score, 0);
    EXPECT_GT(FULL_HEALTH * (s.red.score + s.blue.score) + 10 - s.red.health - s.blue.health, 0);
}

// --------------------------------------------------- two sessions, one link

// A link in frames: each message arrives latency frames after it was sent,
// unless the seeded coin drops it.
struct Message {
    int arrives;
    Uint32 ack;   // frames of the receiver's commands the sender holds
    Uint32 first; // the commands carried, from this frame on
    std::vector<InputBits> inputs;
    bool hasCheck;
    Uint32 checkFrame;
    Uint64 checkSum;
};

struct Side {
    Session session;
    Script script;
    Uint32 peerHas = 0; // frames of our commands the other side holds
    std::vector<Message> inbox;
    explicit Side(unsigned seed) : script(seed) {}
};

struct LinkCase {
    const char* name;
    int latency; // frames each way
    int lossPercent;
    int delay; // frames
};

class TwoSessions : public ::testing::TestWithParam<LinkCase> {};

void Send(Side& from, Side& to, int now, int latency, int lossPercent, std::mt19937& coin) {
    Message m{now + latency, from.session.GetRemoteKnown(), from.peerHas, {}, false, 0, 0};
    for (Uint32 f = from.peerHas; f < from.session.GetLocalKnown(); ++f) {
        m.inputs.push_back(from.session.GetLocalInput(f));
    }
    m.hasCheck = from.session.GetCheckToSend(m.checkFrame, m.checkSum);
    if (int(coin() % 100) >= lossPercent) {
        to.inbox.push_back(m);
    }
}

// tamper, when not negative, is a frame whose commands arrive damaged.
void Deliver(Side& to, int now, int tamper = -1) {
    std::vector<Message> later;
    for (const Message& m : to.inbox) {
        if (m.arrives > now) {
            later.push_back(m);
            continue;
        }
        to.peerHas = std::max(to.peerHas, m.ack);
        for (size_t i = 0; i < m.inputs.size(); ++i) {
            const Uint32 frame = m.first + Uint32(i);
            const bool damaged = tamper >= 0 && frame == Uint32(tamper);
            to.session.ReceiveRemote(frame,
                                     InputBits(damaged ? m.inputs[i] ^ INPUT_FIRE : m.inputs[i]));
        }
        if (m.hasCheck) {
            to.session.ReceiveChecksum(m.checkFrame, m.checkSum);
        }
    }
    to.inbox = later;
}

TEST_P(TwoSessions, EndOnTheSameConfirmedMatch) {
    const LinkCase& c = GetParam();
    Side red(21);
    Side blue(22);
    red.session.Start(RED, c.delay);
    blue.session.Start(BLUE, c.delay);
    std::mt19937 coin(7);
    int cuesRed = 0;
    int cuesBlue = 0;
    // Ten minutes of frames: far more than a match takes.
    constexpr int TICKS = 36000;
    int tick = 0;
    for (; tick < TICKS; ++tick) {
        Deliver(red, tick);
        Deliver(blue, tick);
        red.session.Advance(red.script.Next());
        blue.session.Advance(blue.script.Next());
        StepEvents events;
        while (red.session.TakeConfirmedEvents(events)) {
            cuesRed += events.GetCueCount();
        }
        while (blue.session.TakeConfirmedEvents(events)) {
            cuesBlue += events.GetCueCount();
        }
        Send(red, blue, tick, c.latency, c.lossPercent, coin);
        Send(blue, red, tick, c.latency, c.lossPercent, coin);
        ASSERT_EQ(red.session.GetFault(), SessionFault::NONE)
            << "frame " << red.session.GetFaultFrame() << " at tick " << tick;
        ASSERT_EQ(blue.session.GetFault(), SessionFault::NONE);
        if (red.session.GetConfirmedWinner() != 0 && blue.session.GetConfirmedWinner() != 0) {
            break;
        }
    }
    ASSERT_LT(tick, TICKS) << "the match never ended";
    EXPECT_EQ(red.session.GetConfirmedWinner(), blue.session.GetConfirmedWinner());
    // Every confirmed frame was heard once on both machines, the same cues.
    EXPECT_EQ(cuesRed, cuesBlue);
    const Uint32 both = std::min(red.session.GetConfirmed(), blue.session.GetConfirmed());
    EXPECT_GT(both, 0u);
    if (c.latency > c.delay) {
        EXPECT_GT(red.session.GetRollbacks() + blue.session.GetRollbacks(), 0);
    }
    EXPECT_LE(red.session.GetDeepestRollback(), MAX_PREDICTION);
    EXPECT_LE(blue.session.GetDeepestRollback(), MAX_PREDICTION);
}

INSTANTIATE_TEST_SUITE_P(Links, TwoSessions,
                         ::testing::Values(LinkCase{"Instant", 0, 0, 2}, LinkCase{"Lan", 2, 0, 2},
                                           LinkCase{"Far", 5, 0, 2},
                                           LinkCase{"FarAndLossy", 5, 5, 2},
                                           LinkCase{"VeryFarAndLossy", 8, 5, 2},
                                           LinkCase{"NoDelayLossy", 3, 5, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ sounds

int BlueShots(Session& session) {
    int shots = 0;
    StepEvents events;
    while (session.TakeConfirmedEvents(events)) {
        for (int i = 0; i < events.GetCueCount(); ++i) {
            shots += events.GetSound(i) == Sound::SHOT_BLUE ? 1 : 0;
        }
    }
    return shots;
}

int InFlight(const Player& player) {
    int n = 0;
    for (const Laser& laser : player.lasers) {
        n += laser.IsEnabled() ? 1 : 0;
    }
    return n;
}

TEST(Sounds, AShotARollbackTookBackIsNeverHeard) {
    Session red;
    red.Start(RED, 2);
    // BLUE holds fire from frame 2 to 24: one shot at once, the next due at
    // frame 32, when the pause is over.
    for (Uint32 f = 2; f < 25; ++f) {
        ASSERT_TRUE(red.ReceiveRemote(f, INPUT_FIRE));
    }
    while (red.Advance(0)) {
    }
    ASSERT_EQ(red.GetFramesPlayed(), 33u);
    // Predicted as still held, the second shot flies on screen...
    EXPECT_EQ(InFlight(red.GetState().blue), 2);
    EXPECT_EQ(BlueShots(red), 1);
    // ...until the real commands say fire was let go at frame 25.
    for (Uint32 f = 25; f < 33; ++f) {
        ASSERT_TRUE(red.ReceiveRemote(f, 0));
    }
    ASSERT_TRUE(red.Advance(0));
    EXPECT_EQ(InFlight(red.GetState().blue), 1);
    EXPECT_EQ(BlueShots(red), 0) << "no shot but the first was ever confirmed";
    EXPECT_EQ(red.GetRollbacks(), 1);
    EXPECT_EQ(red.GetFramesRolledBack(), 8);
}

TEST(Prediction, StopsEightFramesPastTheLastKnownCommands) {
    Session session;
    session.Start(BLUE, 2);
    int played = 0;
    while (session.Advance(INPUT_DOWN)) {
        played += 1;
    }
    EXPECT_EQ(played, 2 + MAX_PREDICTION);
    EXPECT_FALSE(session.Advance(INPUT_DOWN));
    EXPECT_EQ(session.GetStalls(), 2);
    // Old, repeated, damaged and far-future commands are all dropped.
    EXPECT_FALSE(session.ReceiveRemote(1, INPUT_FIRE));
    EXPECT_FALSE(session.ReceiveRemote(3, INPUT_FIRE));
    EXPECT_FALSE(session.ReceiveRemote(2, 0x80));
    EXPECT_TRUE(session.ReceiveRemote(2, INPUT_FIRE));
    EXPECT_FALSE(session.ReceiveRemote(2, INPUT_FIRE));
    EXPECT_TRUE(session.Advance(INPUT_DOWN));
}

// Two machines that quietly disagree on one frame's commands must find out
// at the next checked frame, both of them, and stop there.
TEST(Checks, ADamagedCommandIsFoundAtTheNextCheckedFrameOnBothMachines) {
    Side red(31);
    Side blue(32);
    red.session.Start(RED, 2);
    blue.session.Start(BLUE, 2);
    std::mt19937 coin(3);
    constexpr int LATENCY = 3;   // frames
    constexpr int TAMPERED = 70; // frame
    for (int tick = 0; tick < 600; ++tick) {
        Deliver(red, tick, TAMPERED);
        Deliver(blue, tick);
        red.session.Advance(red.script.Next());
        blue.session.Advance(blue.script.Next());
        Send(red, blue, tick, LATENCY, 0, coin);
        Send(blue, red, tick, LATENCY, 0, coin);
    }
    EXPECT_EQ(red.session.GetFault(), SessionFault::DESYNC);
    EXPECT_EQ(blue.session.GetFault(), SessionFault::DESYNC);
    EXPECT_EQ(red.session.GetFaultFrame(), 2 * CHECK_INTERVAL);
    EXPECT_EQ(blue.session.GetFaultFrame(), 2 * CHECK_INTERVAL);
    EXPECT_NE(red.session.GetFaultLocalChecksum(), red.session.GetFaultRemoteChecksum());
    EXPECT_FALSE(red.session.CanAdvance());
}

} // namespace
