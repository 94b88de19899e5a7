// SPDX-License-Identifier: MIT
#include "WebLink.h"

#include "WebPlatform.h"
#include "net/Packet.h"
#include "net/Session.h"

bool WebLink::Host(Uint16 /*port*/, int hostDelay, char* /*why*/, int /*whySize*/) {
    delay = hostDelay;
    return true;
}

// Both pages run the default delay: the page offers no other.
bool WebLink::Join(const char* /*name*/, Uint16 /*port*/, char* /*why*/, int /*whySize*/) {
    delay = DEFAULT_INPUT_DELAY;
    return true;
}

LinkEvent WebLink::Poll(Uint8* bytes, int capacity, int& size) {
    size = 0;
    const int got = OnlineTake(bytes, capacity);
    if (got == ONLINE_GONE) {
        return LinkEvent::LEFT;
    }
    if (got < 0) {
        return LinkEvent::NONE;
    }
    size = got;
    return LinkEvent::PACKET;
}

void WebLink::Send(const Uint8* bytes, int size) { OnlineSend(bytes, size); }

void WebLink::Leave() { OnlineLeave(); }

bool WebLink::IsConnected() const { return OnlineLinked() != 0; }

Uint32 WebLink::GetRemoteProtocol() const { return NET_PROTOCOL; }

Uint32 WebLink::GetRoundTrip() const { return Uint32(OnlinePing()); }

void WebLink::ShowFigures(const Session& session) const {
    OnlineFigures(int(session.GetFramesPlayed()), session.GetRollbacks(),
                  session.GetFramesRolledBack(), session.GetDeepestRollback(), session.GetStalls());
}

bool WebLink::AwaitRematch() { return OnlineRematch() != 0; }
