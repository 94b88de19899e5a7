# SPDX-License-Identifier: MIT
# The room service: pairs two pages under a short code and passes their WebRTC
# offers, answers and candidates between them, or, when no direct channel
# opens, their input messages. It never reads what the pages say to each other.
import json
import os
import re
import time

from aiohttp import WSMsgType, web

CODE_PATTERN = re.compile(r"^[A-Z0-9]{4,8}$")
MAX_MESSAGE_BYTES = 4096  # a signal or a relayed input fits many times over
RATE_PER_SECOND = 240  # messages; inputs flow at 60 frames a second, plus pings
RATE_BURST = 480  # messages allowed at once before the rate applies
SEATS_PER_ADDRESS = 16  # seats one address may hold at once; two friends behind one router take two
MAX_ROOMS = 10000  # rooms at once, whoever holds them
SIDES = ("red", "blue")  # who made the room flies RED, who joined BLUE
LOCAL_ADDRESSES = ("127.0.0.1", "::1")  # where the host's reverse proxy connects from
CLOSE_POLICY = 1008  # WebSocket close code: the member broke a limit


def ice_servers():
    """STUN/TURN servers handed to the pages: none unless the host sets them."""
    text = os.environ.get("DUELSTAR_ICE_SERVERS", "")
    return json.loads(text) if text.strip() else []


class Rate:
    """Token bucket: a flood closes the member, not the room service."""

    def __init__(self):
        self.tokens = RATE_BURST
        self.last = time.monotonic()

    def allow(self):
        now = time.monotonic()
        self.tokens = min(RATE_BURST, self.tokens + (now - self.last) * RATE_PER_SECOND)
        self.last = now
        if self.tokens < 1:
            return False
        self.tokens -= 1
        return True


class Rooms:
    def __init__(self, ice):
        self.rooms = {}  # code -> list of sockets, in side order (None once gone)
        self.per_address = {}  # address -> rooms it holds a seat in
        self.ice = ice

    def count(self):
        return len(self.rooms)

    async def handle(self, request):
        code = request.query.get("room", "").upper()
        address = player_address(request)
        socket = web.WebSocketResponse(max_msg_size=MAX_MESSAGE_BYTES, heartbeat=None)
        await socket.prepare(request)
        refusal = self.refusal(code, address)
        if refusal:
            await socket.send_json({"type": refusal})
            await socket.close()
            return socket
        seats = self.rooms.setdefault(code, [None, None])
        side = 0 if seats[0] is None else 1
        seats[side] = socket
        self.per_address[address] = self.per_address.get(address, 0) + 1
        try:
            await socket.send_json({"type": "joined", "side": SIDES[side], "ice": self.ice})
            if full(seats):
                for seat in seats:
                    await seat.send_json({"type": "peer"})
            await self.pass_on(socket, seats, side)
        finally:
            await self.leave(code, seats, side, address)
        return socket

    def refusal(self, code, address):
        if not CODE_PATTERN.match(code):
            return "bad room"
        seats = self.rooms.get(code)
        if seats is not None and full(seats):
            return "room full"
        if seats is None and len(self.rooms) >= MAX_ROOMS:
            return "busy"
        if self.per_address.get(address, 0) >= SEATS_PER_ADDRESS:
            return "too many rooms"
        return None

    async def pass_on(self, socket, seats, side):
        """Signals (text) and relayed inputs (binary) go to the other seat as they came."""
        rate = Rate()
        async for message in socket:
            if not rate.allow():
                await socket.close(code=CLOSE_POLICY, message=b"too fast")
                break
            if message.type not in (WSMsgType.TEXT, WSMsgType.BINARY):
                break
            if message.type == WSMsgType.TEXT and not is_signal(message.data):
                await socket.send_json({"type": "error", "reason": "not a signal"})
                continue
            other = seats[1 - side]
            if other is None or other.closed:
                continue
            if message.type == WSMsgType.TEXT:
                await tell(other.send_str, message.data)
            else:
                await tell(other.send_bytes, message.data)

    async def leave(self, code, seats, side, address):
        seats[side] = None
        left = self.per_address.get(address, 1) - 1
        if left:
            self.per_address[address] = left
        else:
            self.per_address.pop(address, None)
        other = seats[1 - side]
        if other is None:
            self.rooms.pop(code, None)  # both gone: nothing of the room is kept
        elif not other.closed:
            await tell(other.send_json, {"type": "left"})


def player_address(request):
    """Behind the host's reverse proxy every member comes from this machine:
    the proxy's X-Forwarded-For names the player then, and only then."""
    forwarded = request.headers.get("X-Forwarded-For", "").split(",")[-1].strip()
    if request.remote in LOCAL_ADDRESSES and forwarded:
        return forwarded
    return request.remote or "?"


async def tell(send, message):
    """The other member may be going at that very moment: its leaving is told apart."""
    try:
        await send(message)
    except ConnectionResetError:
        pass


def full(seats):
    # A socket is a mapping, empty and so false: ask for None itself.
    return all(seat is not None for seat in seats)


def is_signal(text):
    """Only the kinds of text the pages trade: a signal, and nothing else."""
    try:
        message = json.loads(text)
    except ValueError:
        return False
    return isinstance(message, dict) and message.get("type") == "signal"
