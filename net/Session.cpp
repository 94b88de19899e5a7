// SPDX-License-Identifier: MIT
#include "Session.h"

#include "../game/Report.h"

namespace {
constexpr int SAVED_STATES = FRAME_RING / 4; // more than MAX_PREDICTION + 1 frames back
static_assert(SAVED_STATES > MAX_PREDICTION + 1, "a rollback must find its state");
static_assert((FRAME_RING & (FRAME_RING - 1)) == 0, "frame numbers wrap into the rings");

Uint32 Slot(Uint32 frame) { return frame % Uint32(FRAME_RING); }
Uint32 SavedSlot(Uint32 frame) { return frame % Uint32(SAVED_STATES); }
} // namespace

void Session::Start(int newSide, int newDelay) {
    if (newSide != RED && newSide != BLUE) {
        Report().Warning("Session::Start()", "Side out of range");
        return;
    }
    if (newDelay < 0 || newDelay > MAX_INPUT_DELAY) {
        Report().Warning("Session::Start()", "Delay out of range");
        return;
    }
    const bool keepSyncTest = syncTest;
    *this = Session();
    syncTest = keepSyncTest;
    side = newSide;
    delay = newDelay;
    StartMatchState(state);
    // Neither machine has commands for its first delay frames: both are idle.
    remoteKnown = Uint32(delay);
}

bool Session::CanAdvance() const {
    return side != 0 && confirmedWinner == 0 && fault == SessionFault::NONE &&
           framesPlayed < remoteKnown + Uint32(MAX_PREDICTION);
}

bool Session::Advance(InputBits local) {
    if (!CanAdvance()) {
        stalls += side != 0 ? 1 : 0;
        return false;
    }
    localInputs[Slot(GetLocalKnown())] = InputBits(local & INPUT_ALL);
    if (rollbackDue) {
        RollBackTo(firstWrong, false);
    }
    Play(framesPlayed);
    framesPlayed += 1;
    if (syncTest) {
        const Uint32 depth =
            framesPlayed < Uint32(MAX_PREDICTION) ? framesPlayed : Uint32(MAX_PREDICTION);
        RollBackTo(framesPlayed - depth, true);
    }
    Confirm();
    return true;
}

bool Session::ReceiveRemote(Uint32 frame, InputBits input) {
    if ((input & ~INPUT_ALL) != 0 || frame != remoteKnown ||
        frame >= framesPlayed + Uint32(FRAME_RING / 2)) {
        return false;
    }
    const Uint32 slot = Slot(frame);
    remoteInputs[slot] = input;
    if (frame < framesPlayed && remoteUsed[slot] != input &&
        !(rollbackDue && firstWrong <= frame)) {
        firstWrong = frame;
        rollbackDue = true;
    }
    remoteKnown += 1;
    Confirm();
    return true;
}

void Session::ReceiveChecksum(Uint32 frame, Uint64 checksum) {
    if (frame % CHECK_INTERVAL != 0) {
        return;
    }
    if (frame < confirmed) {
        // Compared against the figure kept for that frame; one older than
        // the history is past comparing.
        const int slot = int((frame / CHECK_INTERVAL) % CHECK_HISTORY);
        if (historyKept[slot] && historyFrames[slot] == frame && historySums[slot] != checksum) {
            Desync(frame, historySums[slot], checksum);
        }
        return;
    }
    if (remoteCheckPending && remoteCheckFrame < frame) {
        // The sooner one can no longer be due: frames are confirmed in order.
        return;
    }
    remoteCheckFrame = frame;
    remoteCheckSum = checksum;
    remoteCheckPending = true;
}

bool Session::GetCheckToSend(Uint32& frame, Uint64& checksum) const {
    frame = checkFrame;
    checksum = checkSum;
    return haveCheck;
}

bool Session::TakeConfirmedEvents(StepEvents& out) {
    if (eventsTaken >= confirmed) {
        return false;
    }
    out = events[Slot(eventsTaken)];
    eventsTaken += 1;
    return true;
}

InputBits Session::RemoteFor(Uint32 frame) const {
    if (frame < remoteKnown) {
        return remoteInputs[Slot(frame)];
    }
    // The other player most likely still holds what they held last.
    return remoteKnown == 0 ? 0 : remoteInputs[Slot(remoteKnown - 1)];
}

void Session::Play(Uint32 frame) {
    const Uint32 slot = Slot(frame);
    saved[SavedSlot(frame)] = state;
    const ShipCommands& mine = side == RED ? RED_COMMANDS : BLUE_COMMANDS;
    const ShipCommands& theirs = side == RED ? BLUE_COMMANDS : RED_COMMANDS;
    Controls commands;
    RaiseCommands(localInputs[slot], commands, mine);
    remoteUsed[slot] = RemoteFor(frame);
    RaiseCommands(remoteUsed[slot], commands, theirs);
    events[slot].Clear();
    StepMatch(state, commands, events[slot]);
    checksums[slot] = Checksum(state);
    winners[slot] = state.winner;
}

void Session::RollBackTo(Uint32 frame, bool compare) {
    const Uint32 depth = framesPlayed - frame;
    rollbackDue = false;
    if (depth == 0) {
        return;
    }
    state = saved[SavedSlot(frame)];
    for (Uint32 f = frame; f < framesPlayed; ++f) {
        const Uint64 before = checksums[Slot(f)];
        Play(f);
        if (compare && checksums[Slot(f)] != before) {
            Desync(f, checksums[Slot(f)], before);
        }
    }
    rollbacks += 1;
    framesRolledBack += int(depth);
    deepestRollback = int(depth) > deepestRollback ? int(depth) : deepestRollback;
    if (depth <= Uint32(MAX_PREDICTION)) {
        rollbacksOfDepth[depth] += 1;
    }
}

void Session::Confirm() {
    while (confirmed < remoteKnown && confirmed < framesPlayed &&
           !(rollbackDue && confirmed >= firstWrong)) {
        const Uint32 f = confirmed;
        const Uint64 sum = checksums[Slot(f)];
        if (confirmedWinner == 0) {
            confirmedWinner = winners[Slot(f)];
        }
        if (f % CHECK_INTERVAL == 0) {
            checkFrame = f;
            checkSum = sum;
            haveCheck = true;
            checkedState = f + 1 == framesPlayed ? state : saved[SavedSlot(f + 1)];
            const int slot = int((f / CHECK_INTERVAL) % CHECK_HISTORY);
            historyFrames[slot] = f;
            historySums[slot] = sum;
            historyKept[slot] = true;
        }
        if (remoteCheckPending && remoteCheckFrame == f) {
            remoteCheckPending = false;
            if (remoteCheckSum != sum) {
                Desync(f, sum, remoteCheckSum);
            }
        }
        confirmed += 1;
    }
}

void Session::Desync(Uint32 frame, Uint64 local, Uint64 remote) {
    if (fault != SessionFault::NONE) {
        return;
    }
    fault = SessionFault::DESYNC;
    faultFrame = frame;
    faultLocal = local;
    faultRemote = remote;
}
