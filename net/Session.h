// SPDX-License-Identifier: MIT
// Session: the rollback heart of an online match. It plays each frame at once
// with the other machine's commands predicted as its last known ones, and
// when the real ones arrive and differ, loads the state saved before the
// first wrong frame and plays the missed frames again, undrawn. It knows no
// network: what arrives is handed to it, what it must send is read from it.
#pragma once

#include "../game/MatchState.h"
#include "../game/StepEvents.h"
#include "InputBits.h"

#include <SDL_types.h>

constexpr int DEFAULT_INPUT_DELAY = 2; // frames between a key and its ship moving
constexpr int MAX_INPUT_DELAY = 8;     // frames
// Frames played ahead of the other machine's last known commands; beyond it
// the session waits rather than guess further.
constexpr int MAX_PREDICTION = 8; // frames
// Commands and results kept per frame: more than the delay, the prediction and
// the frames not yet acknowledged can span.
constexpr int FRAME_RING = 64; // frames, a power of two
// Confirmed frames between two checksum comparisons: about a second.
constexpr Uint32 CHECK_INTERVAL = 60; // frames
// Checked frames kept for the other machine's figures arriving late: seconds.
constexpr int CHECK_HISTORY = 4;

enum class SessionFault { NONE, DESYNC };

class Session {
  public:
    Session() = default;

    // A new match in which this machine flies side (RED or BLUE) with its
    // commands taking effect delay frames later (0 up to MAX_INPUT_DELAY; both
    // machines must use the same). A bad side or delay is refused.
    void Start(int side, int delay);

    // False while the next frame would predict more than MAX_PREDICTION
    // frames of the other machine's commands, or the match is decided.
    bool CanAdvance() const;

    // Plays the next frame with this machine's commands (for the frame delay
    // frames ahead), rolling back first when real commands proved a
    // prediction wrong. False, changing nothing, when it cannot advance.
    bool Advance(InputBits local);

    // The other machine's commands for frame. Old and repeated frames are
    // dropped, as are frames past what the other machine can have played
    // and inputs with unknown bits. False when it was not taken.
    bool ReceiveRemote(Uint32 frame, InputBits input);

    // The other machine's checksum of its confirmed state after frame.
    void ReceiveChecksum(Uint32 frame, Uint64 checksum);

    // In sync-test mode every frame played is at once rolled back as far as
    // the prediction allows and played again, and any checksum that differs
    // is a desync.
    void SetSyncTest(bool on) { syncTest = on; }

    // The newest state, the one to draw.
    const MatchState& GetState() const { return state; }
    int GetSide() const { return side; }
    int GetDelay() const { return delay; }
    Uint32 GetFramesPlayed() const { return framesPlayed; }
    // Frames of the other machine's commands known, from frame 0 on.
    Uint32 GetRemoteKnown() const { return remoteKnown; }
    // Frames whose outcome can no longer change.
    Uint32 GetConfirmed() const { return confirmed; }
    // This machine's commands are known up to here (frame delay frames ahead).
    Uint32 GetLocalKnown() const { return framesPlayed + Uint32(delay); }
    InputBits GetLocalInput(Uint32 frame) const { return localInputs[frame % FRAME_RING]; }

    // The winner once a confirmed frame decided the match, else 0.
    int GetConfirmedWinner() const { return confirmedWinner; }
    // A confirmed checksum to send: the newest confirmed frame that is a
    // multiple of CHECK_INTERVAL (false before the first).
    bool GetCheckToSend(Uint32& frame, Uint64& checksum) const;

    // The cues and explosions of the next confirmed frame not yet taken, in
    // frame order; false when there is none.
    bool TakeConfirmedEvents(StepEvents& events);

    SessionFault GetFault() const { return fault; }
    Uint32 GetFaultFrame() const { return faultFrame; }
    Uint64 GetFaultLocalChecksum() const { return faultLocal; }
    Uint64 GetFaultRemoteChecksum() const { return faultRemote; }
    // The confirmed state of the last checked frame, for a bug report.
    const MatchState& GetCheckedState() const { return checkedState; }

    int GetRollbacks() const { return rollbacks; }
    int GetFramesRolledBack() const { return framesRolledBack; }
    int GetStalls() const { return stalls; }
    // The longest rollback so far, frames.
    int GetDeepestRollback() const { return deepestRollback; }
    // Rollbacks of depth frames, 1 up to MAX_PREDICTION (others count 0).
    int GetRollbacksOfDepth(int depth) const {
        return depth >= 1 && depth <= MAX_PREDICTION ? rollbacksOfDepth[depth] : 0;
    }

  private:
    InputBits RemoteFor(Uint32 frame) const;
    void Play(Uint32 frame);
    void RollBackTo(Uint32 frame, bool compare);
    void Confirm();
    void Desync(Uint32 frame, Uint64 local, Uint64 remote);

    int side = 0;
    int delay = DEFAULT_INPUT_DELAY;
    bool syncTest = false;

    MatchState state;
    Uint32 framesPlayed = 0;
    Uint32 remoteKnown = 0;
    Uint32 confirmed = 0;
    Uint32 eventsTaken = 0;
    Uint32 firstWrong = 0;    // the first frame played on a wrong guess...
    bool rollbackDue = false; // ...when one is known

    InputBits localInputs[FRAME_RING] = {};
    InputBits remoteInputs[FRAME_RING] = {};
    InputBits remoteUsed[FRAME_RING] = {}; // what each frame was played with
    MatchState saved[FRAME_RING / 4];      // the state before each recent frame
    StepEvents events[FRAME_RING];
    Uint64 checksums[FRAME_RING] = {}; // after each frame, as last played
    int winners[FRAME_RING] = {};

    int confirmedWinner = 0;
    Uint32 checkFrame = 0;
    Uint64 checkSum = 0;
    bool haveCheck = false;
    MatchState checkedState;
    Uint32 historyFrames[CHECK_HISTORY] = {};
    Uint64 historySums[CHECK_HISTORY] = {};
    bool historyKept[CHECK_HISTORY] = {};
    Uint32 remoteCheckFrame = 0;
    Uint64 remoteCheckSum = 0;
    bool remoteCheckPending = false;

    SessionFault fault = SessionFault::NONE;
    Uint32 faultFrame = 0;
    Uint64 faultLocal = 0;
    Uint64 faultRemote = 0;

    int rollbacks = 0;
    int framesRolledBack = 0;
    int stalls = 0;
    int deepestRollback = 0;
    int rollbacksOfDepth[MAX_PREDICTION + 1] = {};
};
