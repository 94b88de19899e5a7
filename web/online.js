// SPDX-License-Identifier: MIT
// The page's online match (?room=CODE): joins the room through netlink.js,
// shows the link to send while the other player comes, starts the game on its
// side, and keeps what the game asks of the link (WebLink.cpp through
// platform.js): the packets, the ping and path line, the rematch, the leaver.
'use strict';

(function () {
  const TAG_PACKET = 0; // then the match's number, then the game's packet
  const TAG_AGAIN = 1; // then the number of the match just played
  const TAG_GONE = 2; // then the line the game stopped on, as text
  const INBOX = 64; // packets held at most; every packet repeats what the last lost
  const ROUNDS = 256; // a match's number fits a byte
  // A room's code for people to read out: no 0/O or 1/I to mix up.
  const CODE_LETTERS = 'ABCDEFGHJKLMNPQRSTUVWXYZ23456789';
  const CODE_LENGTH = 6;
  const GONE_GRACE = 250; // ms the last word has to leave before the link closes
  // What shows over the game until the match starts; the link to send only
  // while the room waits for its second player.
  const BEFORE = {
    joining: (code) => `Joining room ${code}…`,
    waiting: () => 'Waiting for the other player. Send them this link:',
    connecting: () => 'Linking with the other player…',
  };
  const REFUSED = {
    full: (code) => `Room ${code} is full: it already has its two players.`,
    'bad room': (code) => `There is no room "${code}": a room's code is 4 to 8 letters and digits.`,
    'too many rooms': () => 'This address holds too many rooms at once: close some first.',
    busy: () => 'The room service is busy: try again in a while.',
    closed: () => 'The room service cannot be reached.',
  };

  function newCode() {
    const dice = crypto.getRandomValues(new Uint8Array(CODE_LENGTH));
    return Array.from(dice, (d) => CODE_LETTERS[d % CODE_LETTERS.length]).join('');
  }

  // This page's address for room code, keeping the other settings.
  function roomAddress(code) {
    const url = new URL(location.href);
    url.searchParams.set('room', code);
    return url.href;
  }

  // Joins room code. page: { showLine, finish(status), resume(), again (the
  // end's button) }. Its ready resolves with the game's arguments and set-up
  // once the side is known.
  function start(code, page) {
    const query = new URLSearchParams(location.search);
    const link = window.DuelstarNetlink.join(code, { lag: Number(query.get('lag')) || 0 });
    // What the player's line shows, and the figures for whoever measures.
    const net = window.duelstarNet = {
      room: code, side: null, state: link.state, path: null, ping: null, round: 0,
      frames: 0, rollbacks: 0, framesRolledBack: 0, deepest: 0, stalls: 0,
      results: [], linkedAt: null, firstFrameAt: null, gone: false, peerLine: null,
    };
    const inbox = [];
    let running = false; // the game runs, and says itself if the other goes
    let leaving = false; // this page closes the link itself
    let waking = null; // the game waits on the rematch with this
    let mine = false; // this player pressed Play again
    let theirs = -1; // the match after which the other player did
    const status = document.getElementById('online');
    const waiting = document.getElementById('waiting');
    const address = document.getElementById('room-link');
    const copy = document.getElementById('copy-link');
    address.value = roomAddress(code);
    // Online, every key set, pad and finger steers this player's one ship.
    document.getElementById('keys-hint').textContent =
      'Your ship: t g f h or the cursor keys, fire s or RETURN · p screenshot · m sound · ESC leaves';
    document.getElementById('touch-hint').textContent =
      'Hold a finger anywhere on the game: your ship flies to it and fires while you hold.';

    function show() {
      const side = net.side ? ` · you fly ${net.side.toUpperCase()}` : '';
      let how = net.state;
      if (net.state === 'linked') {
        how = net.path + (net.ping === null ? '' : ` · ${Math.round(net.ping)} ms`);
      }
      status.textContent = `Room ${code}${side} · ${how}`;
      status.hidden = false;
      waiting.hidden = !BEFORE[net.state] || net.gone;
      if (!waiting.hidden) document.getElementById('waiting-text').textContent = BEFORE[net.state](code);
      address.hidden = copy.hidden = net.state !== 'waiting';
    }

    function sendTagged(tag, body) {
      const frame = new Uint8Array(2 + body.length);
      frame[0] = tag;
      frame[1] = net.round;
      frame.set(body, 2);
      link.send(frame);
    }

    function startNextMatch() {
      net.round = (net.round + 1) % ROUNDS;
      inbox.length = 0;
      mine = false;
      page.again.disabled = false;
      page.resume();
      const wake = waking;
      waking = null;
      wake(true);
    }

    // The other page went, or the link broke: said at once where the game
    // would not say it itself.
    function lose() {
      if (net.gone || leaving) return;
      net.gone = true;
      inbox.length = 0;
      if (net.peerLine) page.showLine(`The other game stopped: ${net.peerLine}`);
      if (running && !waking) return; // the game ends on it with its own line
      if (!net.peerLine) page.showLine('The other player left');
      page.finish(null);
      if (waking) {
        // The end already shows: its button now offers a new room.
        const wake = waking;
        waking = null;
        page.again.textContent = 'New room';
        page.again.disabled = false;
        wake(false);
      }
    }

    const sideKnown = new Promise((resolve) => {
      link.onchange = () => {
        const was = net.state;
        Object.assign(net, { state: link.state, side: link.side, path: link.path, ping: link.ping });
        if (link.state === 'linked' && net.linkedAt === null) net.linkedAt = performance.now();
        show();
        if (link.state === 'waiting' && link.side && was === 'joining') {
          // The one who made the room flies RED and waits for the other.
          resolve(link.side === 'red' ? ['--host'] : ['--join', code]);
        } else if (REFUSED[link.state] && was === 'joining') {
          page.showLine(REFUSED[link.state](code));
          page.finish(null);
        } else if (['left', 'closed'].includes(link.state)) {
          lose();
        }
      };
    });

    show();

    link.onbytes = (frame) => {
      const body = frame.subarray(2);
      if (frame[0] === TAG_PACKET && frame[1] === net.round) {
        if (inbox.length >= INBOX) inbox.shift();
        inbox.push(body.slice());
      } else if (frame[0] === TAG_AGAIN) {
        theirs = frame[1];
        if (mine && waking && theirs === net.round) startNextMatch();
      } else if (frame[0] === TAG_GONE) {
        net.peerLine = new TextDecoder().decode(body);
      }
    };

    // What the game calls (platform.js).
    window.duelstarOnline = {
      take: () => (inbox.length ? inbox.shift() : null),
      gone: () => net.gone,
      linked: () => link.state === 'linked',
      ping: () => link.ping,
      send: (bytes) => {
        if (net.firstFrameAt === null) net.firstFrameAt = performance.now();
        sendTagged(TAG_PACKET, bytes);
      },
      figures: (figures) => {
        Object.assign(net, figures);
        show();
      },
      // The game's last line goes to the other page when it stopped on an
      // error (a desync), so that both say why.
      leave: () => {
        running = false;
        leaving = true;
        const lines = window.duelstar.lines;
        const last = lines[lines.length - 1] || '';
        if (last.startsWith('ERROR: ') && link.state === 'linked') {
          sendTagged(TAG_GONE, new TextEncoder().encode(last));
          setTimeout(() => link.close(), GONE_GRACE);
        } else {
          link.close();
        }
      },
      rematch: (wake) => {
        const lines = window.duelstar.lines;
        net.results.push(lines[lines.length - 1]);
        if (net.gone) {
          wake(false);
          return;
        }
        waking = wake;
        page.finish(0);
      },
    };

    copy.addEventListener('click', () => {
      address.select();
      if (navigator.clipboard && window.isSecureContext) {
        navigator.clipboard.writeText(address.value).catch(() => {});
      } else {
        document.execCommand('copy');
      }
    });

    const script = query.get('script');
    return {
      ready: sideKnown.then((args) => {
        running = true;
        return {
          args,
          // A test aid, as the desktop's: the ship flies itself from this seed.
          preRun: script === null ? [] : [() => { window.Module.ENV.DUELSTAR_NET_SCRIPT = script; }],
        };
      }),
      againText: (status) => (status === 0 && !net.gone ? 'Play again' : 'New room'),
      // Play again waits for the other player; after a leaver, a new room.
      again: () => {
        if (!waking) {
          location.href = roomAddress(newCode());
          return;
        }
        mine = true;
        sendTagged(TAG_AGAIN, new Uint8Array(0));
        if (theirs === net.round) {
          startNextMatch();
        } else {
          page.again.textContent = 'Waiting for the other player…';
          page.again.disabled = true;
        }
      },
    };
  }

  window.DuelstarOnline = { start, newCode, roomAddress };
})();
