# SPDX-License-Identifier: MIT
# The room service on its own, through aiohttp's client: seats and refusals,
# signals and relayed inputs passed on unread, a room forgotten once empty, and
# malformed, oversized and flooding members shut out while other rooms play on.
#
#   python3 web/tests/rooms_test.py [--measure]
import asyncio
import json
import os
import resource
import sys
import time
import unittest

import aiohttp
from aiohttp import web

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import rooms  # noqa: E402
from serve import make_app  # noqa: E402

REPLY_TIMEOUT = 5  # s for any reply the service owes


class RoomService(unittest.IsolatedAsyncioTestCase):
    async def asyncSetUp(self):
        self.app = make_app(os.path.dirname(__file__), ice=[{"urls": "stun:stun.example:3478"}])
        self.runner = web.AppRunner(self.app)
        await self.runner.setup()
        site = web.TCPSite(self.runner, "127.0.0.1", 0)
        await site.start()
        port = site._server.sockets[0].getsockname()[1]
        self.base = f"ws://127.0.0.1:{port}/rooms"
        self.client = aiohttp.ClientSession()

    async def asyncTearDown(self):
        await self.client.close()
        await self.runner.cleanup()

    async def enter(self, code, headers=None):
        socket = await self.client.ws_connect(f"{self.base}?room={code}", headers=headers)
        return socket, await self.reply(socket)

    async def reply(self, socket):
        message = await asyncio.wait_for(socket.receive(), REPLY_TIMEOUT)
        if message.type == aiohttp.WSMsgType.TEXT:
            return json.loads(message.data)
        if message.type == aiohttp.WSMsgType.BINARY:
            return message.data
        return message.type

    async def pair(self, code):
        red, joined = await self.enter(code)
        self.assertEqual(joined["side"], "red")
        blue, joined = await self.enter(code)
        self.assertEqual(joined["side"], "blue")
        self.assertEqual(await self.reply(red), {"type": "peer"})
        self.assertEqual(await self.reply(blue), {"type": "peer"})
        return red, blue

    async def test_seats_and_refusals(self):
        red, joined = await self.enter("abcd")  # codes are read in capitals
        self.assertEqual(joined, {"type": "joined", "side": "red",
                                  "ice": [{"urls": "stun:stun.example:3478"}]})
        blue, joined = await self.enter("ABCD")
        self.assertEqual(joined["side"], "blue")
        third, refused = await self.enter("ABCD")
        self.assertEqual(refused, {"type": "room full"})
        self.assertEqual(await self.reply(third), aiohttp.WSMsgType.CLOSE)
        for code in ["", "AB", "ABCDEFGHI", "AB-CD", "ÄBCD", "AB%20CD"]:
            with self.subTest(code=code):
                _, refused = await self.enter(code)
                self.assertEqual(refused, {"type": "bad room"})

    async def test_signals_and_inputs_pass_unread_both_ways(self):
        red, blue = await self.pair("PASS")
        offer = json.dumps({"type": "signal", "data": {"description": {"type": "offer", "sdp": "v=0"}}})
        await red.send_str(offer)
        self.assertEqual(await self.reply(blue), json.loads(offer))
        await blue.send_bytes(b"\x00\x01\x02")
        self.assertEqual(await self.reply(red), b"\x00\x01\x02")
        await red.send_bytes(b"\x00\xff")
        self.assertEqual(await self.reply(blue), b"\x00\xff")

    async def test_leaving_tells_the_other_and_an_empty_room_is_forgotten(self):
        red, blue = await self.pair("GONE")
        await red.close()
        self.assertEqual(await self.reply(blue), {"type": "left"})
        self.assertEqual(self.app["rooms"].count(), 1)
        await blue.close()
        await self.until(lambda: self.app["rooms"].count() == 0)
        self.assertEqual(self.app["rooms"].per_address, {})
        _, joined = await self.enter("GONE")
        self.assertEqual(joined["side"], "red")

    async def test_rooms_per_address(self):
        held = []  # a dropped client socket would be closed, freeing its seat
        for number in range(rooms.SEATS_PER_ADDRESS):
            socket, joined = await self.enter(f"ROOM{number}")
            self.assertEqual(joined["type"], "joined")
            held.append(socket)
        _, refused = await self.enter("ONEMORE")
        self.assertEqual(refused, {"type": "too many rooms"})
        # Through the host's proxy, the player it names counts, not the proxy.
        behind_proxy = {"X-Forwarded-For": "192.0.2.7"}
        socket, joined = await self.enter("ONEMORE", behind_proxy)
        self.assertEqual(joined["type"], "joined")
        held.append(socket)
        self.assertEqual(self.app["rooms"].per_address["192.0.2.7"], 1)

    async def test_bad_members_are_shut_out_and_other_rooms_play_on(self):
        red, blue = await self.pair("GOOD")
        cases = [
            ("not JSON", lambda s: s.send_str("{not json"), {"type": "error", "reason": "not a signal"}),
            ("not a signal", lambda s: s.send_str('{"type": "joined", "side": "red"}'),
             {"type": "error", "reason": "not a signal"}),
            ("oversized", lambda s: s.send_bytes(b"x" * (rooms.MAX_MESSAGE_BYTES + 1)),
             aiohttp.WSMsgType.CLOSE),
            ("flood", self.flood, aiohttp.WSMsgType.CLOSE),
        ]
        for name, misbehave, answer in cases:
            with self.subTest(name):
                bad, other = await self.pair(f"BAD{len(name)}")
                await misbehave(bad)
                self.assertEqual(await self.reply(bad), answer)
                if answer == aiohttp.WSMsgType.CLOSE:
                    self.assertEqual(await self.past_inputs(other), {"type": "left"})
                else:
                    await other.send_bytes(b"\x00ok")
                    self.assertEqual(await self.reply(bad), b"\x00ok")
        await red.send_bytes(b"\x00still here")
        self.assertEqual(await self.reply(blue), b"\x00still here")

    async def flood(self, socket):
        for _ in range(rooms.RATE_BURST * 2):
            await socket.send_bytes(b"\x00")

    async def past_inputs(self, socket):
        """The service's next word, after the inputs relayed before it."""
        while True:
            reply = await self.reply(socket)
            if not isinstance(reply, bytes):
                return reply

    async def until(self, condition):
        deadline = time.monotonic() + REPLY_TIMEOUT
        while not condition():
            self.assertLess(time.monotonic(), deadline)
            await asyncio.sleep(0.01)


async def measure(pairs):
    """Memory per room and rooms made per second, each room two members joined."""
    app = make_app(os.path.dirname(__file__), ice=[])
    runner = web.AppRunner(app)
    await runner.setup()
    site = web.TCPSite(runner, "127.0.0.1", 0)
    await site.start()
    port = site._server.sockets[0].getsockname()[1]
    rooms.SEATS_PER_ADDRESS = 2 * pairs  # every member comes from 127.0.0.1 here
    connector = aiohttp.TCPConnector(limit=0)
    async with aiohttp.ClientSession(connector=connector) as client:
        before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
        start = time.monotonic()
        members = []
        for number in range(pairs):
            for _ in range(2):
                socket = await client.ws_connect(f"ws://127.0.0.1:{port}/rooms?room=M{number:06d}")
                await socket.receive()
                members.append(socket)
        elapsed = time.monotonic() - start
        after = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
        assert app["rooms"].count() == pairs, app["rooms"].count()
        for socket in members:
            await socket.close()
    await runner.cleanup()
    # Client and service share this process, so the figure is an upper bound.
    print(f"{pairs} rooms: {pairs / elapsed:.0f} rooms/s, "
          f"at most {(after - before) * 1024 / pairs / 1024:.1f} KiB per room (both ends in one process)")


if __name__ == "__main__":
    if "--measure" in sys.argv:
        asyncio.run(measure(int(os.environ.get("ROOMS", "2000"))))
    else:
        unittest.main()
