// SPDX-License-Identifier: MIT
#include "OnlineGame.h"

#include "../game/Fingers.h"
#include "../game/Gamepads.h"
#include "../game/KeyState.h"
#include "../game/Keyboard.h"
#include "../game/Match.h"
#include "../game/Report.h"
#include "../game/Touch.h"
#include "../gfx/GFX.h"
#include "../net/Packet.h"
#include "../net/Session.h"
#include "../sfx/Cue.h"
#include "../sfx/SFX.h"

// The same match over either link: ENet on the desktop, the page's data
// channel or relay in the browser.
#ifdef __EMSCRIPTEN__
#include "web/WebLink.h"
using Link = WebLink;
#else
#include "../net/EnetLink.h"
using Link = EnetLink;
#endif

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int WIN_EXIT_STATUS = 0;
constexpr Uint32 WAIT_POLL = 10;        // ms between looks at the network while waiting
constexpr Uint32 IDLE_POLL = 1;         // ms slept when no frame is due
constexpr Uint32 CAPTION_PERIOD = 1000; // ms between two ping readings in the caption
// A machine more frames ahead of the other than this slows a little, so that
// neither side does all the rolling back.
constexpr double TIME_SYNC_SLACK = 0.1; // frames
constexpr Uint32 TIME_SYNC_BRAKE = 1;   // ms added to each frame while ahead
constexpr int CAPTION_SIZE = 320;       // bytes: room for the longest host name
constexpr int WHY_SIZE = 384;           // bytes
constexpr double MS_PER_FRAME = double(MS_PER_SECOND) / double(STEPS_PER_SECOND);

// What the exit handler needs: the link to say goodbye on, and the figures
// the test aid writes.
Link* openLink = nullptr;
const Session* playedSession = nullptr;
Uint32 bytesSent = 0;
Uint32 bytesReceived = 0;

// A test aid: with DUELSTAR_NET_STATS naming a file, the session's figures
// are written there at exit, one "name value" a line.
void WriteStats() {
    const char* path = std::getenv("DUELSTAR_NET_STATS");
    if (path == nullptr || playedSession == nullptr) {
        return;
    }
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        return;
    }
    const Session& s = *playedSession;
    std::fprintf(file, "frames %u\nconfirmed %u\nrollbacks %d\nframes_rolled_back %d\n",
                 s.GetFramesPlayed(), s.GetConfirmed(), s.GetRollbacks(), s.GetFramesRolledBack());
    std::fprintf(file, "deepest %d\nstalls %d\nbytes_sent %u\nbytes_received %u\n",
                 s.GetDeepestRollback(), s.GetStalls(), bytesSent, bytesReceived);
    for (int depth = 1; depth <= MAX_PREDICTION; ++depth) {
        std::fprintf(file, "depth_%d %d\n", depth, s.GetRollbacksOfDepth(depth));
    }
    std::fclose(file);
}

// Whatever ends the game - ESC, the window closed, an error - the other
// player is told at once rather than left to time out.
void LeaveOnExit() {
    WriteStats();
    if (openLink != nullptr) {
        openLink->Leave();
    }
}

[[noreturn]] void Fail(const char* why) { Report().Error("Net", why); }

// A test aid: with DUELSTAR_NET_SCRIPT set to a number, the ship flies
// itself from that seed - towards the other ship's height, firing, with
// random twitches that keep the other machine's guesses wrong now and then.
class ScriptedPilot {
  public:
    explicit ScriptedPilot(unsigned seed) : state(seed * 2654435761u + 1u) {}
    InputBits Next(const MatchState& match, int side) {
        const Ship& me = side == RED ? match.red.ship : match.blue.ship;
        const Ship& them = side == RED ? match.blue.ship : match.red.ship;
        InputBits input = INPUT_FIRE;
        if (me.GetY() + AIM_SLACK < them.GetY()) {
            input |= INPUT_DOWN;
        } else if (me.GetY() - AIM_SLACK > them.GetY()) {
            input |= INPUT_UP;
        }
        if (Random() % TWITCH_ODDS == 0) {
            twitch = InputBits(Random() % (INPUT_ALL + 1));
            twitchLeft = int(Random() % TWITCH_FRAMES);
        }
        if (twitchLeft > 0) {
            twitchLeft -= 1;
            input = twitch;
        }
        return input;
    }

  private:
    static constexpr float AIM_SLACK = 10.0f; // px
    static constexpr unsigned TWITCH_ODDS = 20;
    static constexpr unsigned TWITCH_FRAMES = 12;
    unsigned Random() {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    }
    unsigned state;
    InputBits twitch = 0;
    int twitchLeft = 0;
};

void SetCaption(const char* text) { SDL_WM_SetCaption(text, text); }

// Writes the state a desync was found in, for the bug report.
void WriteDesyncState(std::FILE* file, const MatchState& state, Uint64 checksum) {
    std::fprintf(file, "step %u winner %d checksum %016llx banner %a\n", state.step, state.winner,
                 static_cast<unsigned long long>(checksum), double(state.scroller.GetOffset()));
    const Player* players[] = {&state.red, &state.blue};
    const char* names[] = {"red", "blue"};
    for (int p = 0; p < 2; ++p) {
        const Player& player = *players[p];
        std::fprintf(file, "%s score %d health %d ship %a %a last_shot %u\n", names[p],
                     player.score, player.health, double(player.ship.GetX()),
                     double(player.ship.GetY()), player.ship.GetLastFire());
        for (int i = 0; i < MAX_LASERS; ++i) {
            const Laser& laser = player.lasers[i];
            std::fprintf(file, "%s shot %d direction %d at %a %a %s\n", names[p], i,
                         laser.GetDirection(), double(laser.GetX()), double(laser.GetY()),
                         laser.IsEnabled() ? "flying" : "free");
        }
    }
}

[[noreturn]] void Desync(const Session& session) {
#ifdef __EMSCRIPTEN__
    // A page's files are gone with it: the state goes to the browser's console.
    const char* path = "the browser's console";
    WriteDesyncState(stderr, session.GetCheckedState(), session.GetFaultLocalChecksum());
    std::fflush(stderr);
#else
    constexpr int FILE_NAME_SIZE = 64; // bytes
    char path[FILE_NAME_SIZE];
    std::snprintf(path, sizeof path, "duelstar-desync-%u.txt", session.GetFaultFrame());
    std::FILE* file = std::fopen(path, "w");
    if (file != nullptr) {
        WriteDesyncState(file, session.GetCheckedState(), session.GetFaultLocalChecksum());
        std::fclose(file);
    }
#endif
    char why[WHY_SIZE];
    std::snprintf(why, sizeof why,
                  "The two games disagree at frame %u (checksum %016llx here, %016llx there); "
                  "this game's state is in %s",
                  session.GetFaultFrame(),
                  static_cast<unsigned long long>(session.GetFaultLocalChecksum()),
                  static_cast<unsigned long long>(session.GetFaultRemoteChecksum()), path);
    Fail(why);
}

// This machine's commands: one ship, from either key set and any pad.
InputBits LocalInput(const Controls& controls) {
    return InputBits(PackCommands(controls, RED_COMMANDS) | PackCommands(controls, BLUE_COMMANDS));
}

class OnlineMatch {
  public:
    OnlineMatch(const Options& options, GFX& gfx, SFX& sfx, KeyState& keys, Gamepads& pads,
                Controls& controls)
        : options(options), gfx(gfx), sfx(sfx), keys(keys), pads(pads), controls(controls) {}

    [[noreturn]] void Play();

  private:
    void Connect();
    void Poll(bool ending);
    void SendFrame();
    // Frames this machine has played beyond the other's as last heard,
    // within what a packet carries.
    int Advantage() const {
        constexpr int MOST = 127; // frames
        const int lead = int(session.GetFramesPlayed()) - int(remoteFramesPlayed);
        return lead > MOST ? MOST : lead < -MOST ? -MOST : lead;
    }
    void PlayConfirmedEvents();
    void TakeLocalKeys();
    void PlayMatch();
    void End();

    const Options& options;
    GFX& gfx;
    SFX& sfx;
    KeyState& keys;
    Gamepads& pads;
    Controls& controls;
    Link link;
    Session session;
    int side = RED;
    Uint32 peerHas = 0;            // frames of our commands the other machine holds
    Uint32 remoteFramesPlayed = 0; // as its last packet said
    int remoteAdvantage = 0;       // frames, as its last packet said
    Uint32 drawn = 0;
    Uint32 playStart = 0; // ms
    Uint32 lastHeard = 0; // ms, when the other machine's last packet came
};

void OnlineMatch::TakeLocalKeys() {
    PollInput(keys, pads, controls);
    // A finger anywhere on the screen steers this machine's one ship.
    Fingers fingers;
    ReadFingers(fingers);
    Finger& mine = side == RED ? fingers.red : fingers.blue;
    const Finger& other = side == RED ? fingers.blue : fingers.red;
    if (!mine.down) {
        mine = other;
    }
    (side == RED ? fingers.blue : fingers.red).down = false;
    const MatchState& state = session.GetState();
    SteerToFingers(fingers, state.red, state.blue, controls);
    if (controls.mute) {
        sfx.ToggleMute();
        controls.mute = false;
    }
}

void OnlineMatch::Connect() {
    char why[WHY_SIZE];
    const bool hosting = options.role == NetRole::HOST;
    const bool ok = hosting ? link.Host(Uint16(options.port), options.delay, why, sizeof why)
                            : link.Join(options.peerName, Uint16(options.port), why, sizeof why);
    if (!ok) {
        Fail(why);
    }
    openLink = &link;
    std::atexit(LeaveOnExit);
#ifndef __EMSCRIPTEN__
    // The page names its room itself.
    char caption[CAPTION_SIZE];
    if (hosting) {
        std::snprintf(caption, sizeof caption, "Duelstar - waiting for a player on port %d",
                      options.port);
    } else {
        std::snprintf(caption, sizeof caption, "Duelstar - calling %s:%d", options.peerName,
                      options.port);
    }
    SetCaption(caption);
#endif
    MatchState waiting;
    StartMatchState(waiting);
    while (!link.IsConnected()) {
        TakeLocalKeys();
        Uint8 bytes[MAX_PACKET_SIZE];
        int size = 0;
        const LinkEvent event = link.Poll(bytes, sizeof bytes, size);
        if (event == LinkEvent::VERSION) {
            std::snprintf(why, sizeof why,
                          "The other game speaks protocol %u and this one %u: both players "
                          "need the same release",
                          link.GetRemoteProtocol(), NET_PROTOCOL);
            Fail(why);
        }
        if (event == LinkEvent::FULL) {
            std::snprintf(why, sizeof why, "The game at %s:%d already has two players",
                          options.peerName, options.port);
            Fail(why);
        }
        if (event == LinkEvent::LEFT || event == LinkEvent::SILENT) {
#ifdef __EMSCRIPTEN__
            Fail("The other player left");
#else
            std::snprintf(why, sizeof why, "No answer from %s:%d", options.peerName, options.port);
            Fail(why);
#endif
        }
        gfx.Draw(waiting.red, waiting.blue, waiting.scroller, controls.screenshot);
        controls.Clear();
        SDL_Delay(WAIT_POLL);
    }
}

void OnlineMatch::Poll(bool ending) {
    for (;;) {
        Uint8 bytes[MAX_PACKET_SIZE];
        int size = 0;
        const LinkEvent event = link.Poll(bytes, sizeof bytes, size);
        if (event == LinkEvent::NONE) {
            if (!ending && SDL_GetTicks() - lastHeard > SILENCE_LIMIT) {
                Fail("Nothing heard from the other player for 5 s");
            }
            return;
        }
        if (event == LinkEvent::PACKET) {
            lastHeard = SDL_GetTicks();
            bytesReceived += Uint32(size);
            InputPacket packet;
            if (!ReadPacket(bytes, size, packet)) {
                continue;
            }
            // An acknowledgement past what was ever sent is a lie: ignored.
            if (packet.ack > peerHas && packet.ack <= session.GetLocalKnown()) {
                peerHas = packet.ack;
            }
            for (int i = 0; i < packet.count; ++i) {
                session.ReceiveRemote(packet.first + Uint32(i), packet.inputs[i]);
            }
            if (packet.hasCheck) {
                session.ReceiveChecksum(packet.checkFrame, packet.checkSum);
            }
            remoteFramesPlayed = packet.framesPlayed;
            remoteAdvantage = packet.advantage;
            continue;
        }
        if (ending) {
            continue; // the other machine may finish first and go
        }
        if (event == LinkEvent::SILENT) {
            Fail("Nothing heard from the other player for 5 s");
        }
        Fail("The other player left");
    }
}

void OnlineMatch::SendFrame() {
    InputPacket packet;
    packet.ack = session.GetRemoteKnown();
    packet.first = peerHas;
    const Uint32 known = session.GetLocalKnown();
    const Uint32 unsent = known - peerHas;
    packet.count = int(unsent < Uint32(MAX_PACKET_INPUTS) ? unsent : Uint32(MAX_PACKET_INPUTS));
    for (int i = 0; i < packet.count; ++i) {
        packet.inputs[i] = session.GetLocalInput(peerHas + Uint32(i));
    }
    packet.framesPlayed = session.GetFramesPlayed();
    packet.advantage = Sint8(Advantage());
    packet.hasCheck = session.GetCheckToSend(packet.checkFrame, packet.checkSum);
    Uint8 bytes[MAX_PACKET_SIZE];
    const int size = WritePacket(packet, bytes);
    if (size > 0) {
        link.Send(bytes, size);
        bytesSent += Uint32(size);
    }
}

void OnlineMatch::PlayConfirmedEvents() {
    StepEvents events;
    while (session.TakeConfirmedEvents(events)) {
        for (int i = 0; i < events.GetCueCount(); ++i) {
            Cue(events.GetSound(i), events.GetCueX(i));
        }
        constexpr int SIDES[] = {RED, BLUE};
        for (const int player : SIDES) {
            if ((events.GetBoomMask() & player) != 0) {
                gfx.DrawBoom(player);
            }
        }
    }
}

void OnlineMatch::End() {
    const MatchState& state = session.GetState();
    const int winner = session.GetConfirmedWinner();
    const float seconds = float(SDL_GetTicks() - playStart) / float(MS_PER_SECOND);
    const float fps = seconds > 0.0f ? float(drawn) / seconds : 0.0f;
    Cue(Sound::VICTORY, winner == RED ? state.red.ship.GetX() : state.blue.ship.GetX());
    gfx.Draw(state.red, state.blue, state.scroller, false);
    // The pause keeps answering, so that the other machine confirms the
    // winning frame too before this one goes.
    const Uint32 start = SDL_GetTicks();
    while (SDL_GetTicks() - start < END_PAUSE) {
        Poll(true);
        SendFrame();
        SDL_Delay(Uint32(MS_PER_FRAME));
    }
    ReportResult(state.red, state.blue, winner, fps);
}

void OnlineMatch::PlayMatch() {
    session.Start(side, link.GetDelay());
    peerHas = 0;
    remoteFramesPlayed = 0;
    remoteAdvantage = 0;
    drawn = 0;
    const char* script = std::getenv("DUELSTAR_NET_SCRIPT");
    ScriptedPilot pilot(script == nullptr ? 0u : unsigned(std::strtoul(script, nullptr, 10)));
    playStart = SDL_GetTicks();
    lastHeard = playStart;
    Uint32 nextCaption = playStart;
    double nextFrame = double(playStart);
    char caption[CAPTION_SIZE];
    for (;;) {
        TakeLocalKeys();
        Poll(false);
        if (session.GetFault() != SessionFault::NONE) {
            Desync(session);
        }
        const Uint32 now = SDL_GetTicks();
        if (double(now) < nextFrame) {
            SDL_Delay(IDLE_POLL);
            continue;
        }
        nextFrame += MS_PER_FRAME;
        const InputBits mine =
            script != nullptr ? pilot.Next(session.GetState(), side) : LocalInput(controls);
        session.Advance(mine);
        SendFrame();
        // Both leads are measured the same way, just after a frame and with
        // the trip between the machines in each; half their difference is
        // how far this one runs ahead, and its next frame waits a little.
        const double ahead = double(Advantage() - remoteAdvantage) / 2.0;
        if (ahead > TIME_SYNC_SLACK) {
            nextFrame += TIME_SYNC_BRAKE;
        }
        PlayConfirmedEvents();
        if (session.GetFault() != SessionFault::NONE) {
            Desync(session);
        }
        if (session.GetConfirmedWinner() != 0) {
            End();
            return;
        }
        const MatchState& state = session.GetState();
        gfx.Draw(state.red, state.blue, state.scroller, controls.screenshot);
        drawn += 1;
        controls.Clear();
        if (now >= nextCaption) {
            std::snprintf(caption, sizeof caption, "Duelstar - online, %s, ping %u ms",
                          side == RED ? "you fly RED" : "you fly BLUE", link.GetRoundTrip());
            SetCaption(caption);
            link.ShowFigures(session);
            nextCaption = now + CAPTION_PERIOD;
        }
    }
}

void OnlineMatch::Play() {
    side = options.role == NetRole::HOST ? RED : BLUE;
    Connect();
    playedSession = &session;
    // The desktop plays one match; a page plays again once both players ask.
    do {
        PlayMatch();
        link.ShowFigures(session);
    } while (link.AwaitRematch());
    std::exit(WIN_EXIT_STATUS);
}

} // namespace

void PlayOnline(const Options& options, GFX& gfx, SFX& sfx, KeyState& keys, Gamepads& pads,
                Controls& controls) {
    // The session keeps a few dozen states: kept off the stack's busy top.
    static OnlineMatch match(options, gfx, sfx, keys, pads, controls);
    match.Play();
}
