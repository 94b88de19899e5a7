// SPDX-License-Identifier: MIT
// The online link between the two pages of a room: a WebRTC data channel that
// drops late inputs as UDP would, or the room service's relay when it cannot open.
'use strict';

(function () {
  const RELAY_AFTER = 4000; // ms the direct channel has to open before the relay carries inputs
  const PING_EVERY = 1000; // ms between pings once linked
  const KIND_DATA = 0; // first byte of every frame on either path
  const KIND_PING = 1;
  const KIND_PONG = 2;
  const STAMP_BYTES = 8; // a ping carries the sender's clock as a float64
  const CHANNEL_ID = 0; // both pages open the same negotiated channel
  const ENDED = ['closed', 'left', 'full', 'bad room', 'too many rooms', 'busy'];

  // Joins room code; options.rtc replaces the RTCConfiguration (the room
  // service's STUN/TURN servers otherwise), options.url the service's address,
  // and options.lag (ms) holds back every frame that arrives, as a longer
  // trip would (for trying the rollbacks on a fast network).
  // The link's state: joining, waiting (alone in the room), connecting, linked,
  // full, bad room, left (the other player went), closed.
  function join(code, options = {}) {
    const link = {
      state: 'joining',
      side: null, // 'red' made the room, 'blue' joined it
      path: null, // 'direct' or 'relayed' once linked
      ping: null, // ms, the last round trip measured
      onbytes: null, // (Uint8Array) => void: the other page's messages
      onchange: null, // (link) => void: state, path or ping changed
      send: (bytes) => sendFrame(KIND_DATA, bytes),
      close: () => finish('closed'),
    };
    const socket = new WebSocket(options.url || serviceUrl(code));
    socket.binaryType = 'arraybuffer';
    let peer = null;
    let channel = null;
    let relayTimer = null;
    let pingTimer = null;
    let described = false; // candidates wait for the other page's description
    const waitingCandidates = [];

    function change(fields) {
      Object.assign(link, fields);
      if (link.onchange) link.onchange(link);
    }

    function finish(state) {
      if (ENDED.includes(link.state)) return;
      clearTimeout(relayTimer);
      clearInterval(pingTimer);
      if (peer) peer.close();
      socket.close();
      change({ state, path: null });
    }

    function signal(data) {
      socket.send(JSON.stringify({ type: 'signal', data }));
    }

    function sendFrame(kind, bytes) {
      const frame = new Uint8Array(1 + bytes.length);
      frame[0] = kind;
      frame.set(bytes, 1);
      // A channel the other page has just closed throws on send until the room
      // service's word of it arrives: the frame is lost, as on UDP, and the
      // game hears of the leaver a moment later.
      if (link.path === 'direct') {
        if (channel.readyState === 'open') channel.send(frame);
      } else if (link.path === 'relayed' && socket.readyState === WebSocket.OPEN) {
        socket.send(frame);
      }
    }

    // Either path may deliver: the two pages switch paths at slightly different moments.
    function receive(buffer) {
      const frame = new Uint8Array(buffer);
      const body = frame.subarray(1);
      if (frame[0] === KIND_DATA && link.onbytes) link.onbytes(body);
      else if (frame[0] === KIND_PING) sendFrame(KIND_PONG, body);
      else if (frame[0] === KIND_PONG && body.length === STAMP_BYTES) {
        const sent = new DataView(body.buffer, body.byteOffset).getFloat64(0);
        change({ ping: performance.now() - sent });
      }
    }

    function arrive(buffer) {
      if (options.lag > 0) setTimeout(() => receive(buffer), options.lag);
      else receive(buffer);
    }

    function linked(path) {
      clearTimeout(relayTimer);
      const first = link.state !== 'linked';
      change({ state: 'linked', path });
      if (first) pingTimer = setInterval(sendPing, PING_EVERY);
      sendPing();
    }

    function sendPing() {
      const stamp = new Uint8Array(STAMP_BYTES);
      new DataView(stamp.buffer).setFloat64(0, performance.now());
      sendFrame(KIND_PING, stamp);
    }

    function open(iceServers) {
      peer = new RTCPeerConnection(options.rtc || { iceServers });
      channel = peer.createDataChannel('inputs', {
        negotiated: true, id: CHANNEL_ID, ordered: false, maxRetransmits: 0,
      });
      channel.binaryType = 'arraybuffer';
      channel.onopen = () => linked('direct');
      channel.onmessage = (event) => arrive(event.data);
      peer.onicecandidate = (event) => {
        if (event.candidate) signal({ candidate: event.candidate.toJSON() });
      };
    }

    async function offer() {
      await peer.setLocalDescription(await peer.createOffer());
      signal({ description: peer.localDescription.toJSON() });
    }

    async function onSignal(data) {
      if (data.description) {
        await peer.setRemoteDescription(data.description);
        described = true;
        for (const candidate of waitingCandidates.splice(0)) await peer.addIceCandidate(candidate);
        if (data.description.type === 'offer') {
          await peer.setLocalDescription(await peer.createAnswer());
          signal({ description: peer.localDescription.toJSON() });
        }
      } else if (data.candidate) {
        if (described) await peer.addIceCandidate(data.candidate);
        else waitingCandidates.push(data.candidate);
      }
    }

    function onMessage(message) {
      switch (message.type) {
        case 'joined':
          change({ state: 'waiting', side: message.side });
          open(message.ice || []);
          break;
        case 'peer':
          change({ state: 'connecting' });
          relayTimer = setTimeout(() => linked('relayed'), RELAY_AFTER);
          if (link.side === 'red') offer().catch(() => {});
          break;
        case 'signal':
          // A failed negotiation leaves the relay to carry the match.
          onSignal(message.data || {}).catch(() => {});
          break;
        case 'left':
          finish('left');
          break;
        case 'room full':
        case 'bad room':
        case 'too many rooms':
        case 'busy':
          finish(message.type === 'room full' ? 'full' : message.type);
          break;
        default:
          break;
      }
    }

    socket.onmessage = (event) => {
      if (typeof event.data !== 'string') arrive(event.data);
      else onMessage(JSON.parse(event.data));
    };
    socket.onclose = () => finish('closed');
    return link;
  }

  function serviceUrl(code) {
    const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
    return `${scheme}//${location.host}/rooms?room=${encodeURIComponent(code)}`;
  }

  window.DuelstarNetlink = { join };
})();
