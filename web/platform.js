// SPDX-License-Identifier: MIT
// The page's side of the platform layer (WebPlatform.h): the game's clock
// counts only visible time, frames follow the display's refresh, held keys
// press once, files the game writes are handed to the player as downloads,
// gamepads take the players' seats as they appear, fingers on the game are
// kept for the ships they steer, sounds are read for Web Audio, and the
// page's sound switch is asked for.
mergeInto(LibraryManager.library, {
  $DuelstarPage__deps: ['$SDL', '$Browser'],
  $DuelstarPage__postset: 'DuelstarPage.start();',
  $DuelstarPage: {
    hiddenSince: null,
    hiddenTotal: 0,
    origin: 0,
    // The game's work per frame is kept only for a measurement, asked for
    // with ?measure in the page's address (bench/web-perf.js does).
    measuring: false,
    start: function() {
      DuelstarPage.measuring = /[?&]measure(&|$)/.test(location.search);
      // SDL 1.2 has key repeat off, so a held key is one press, as on the
      // desktop (one screenshot per press of p); the browser's repeats are
      // dropped before SDL's emulation takes them for new presses. Done here,
      // before SDL_Init listens with it.
      var receive = SDL.receiveEvent;
      SDL.receiveEvent = function(event) {
        if (event.repeat && (event.type === 'keydown' || event.type === 'keypress')) {
          event.preventDefault();
          return;
        }
        receive(event);
      };
      // The emulation reads every picture back from its canvas as it is
      // loaded; canvases told so beforehand keep their pixels where that is
      // cheap (the page does the same for its own canvas).
      var createContext = Browser.createContext;
      Browser.createContext = function(canvas, useWebGL, setInModule, attributes) {
        if (!useWebGL) canvas.getContext('2d', {willReadFrequently: true});
        return createContext(canvas, useWebGL, setInModule, attributes);
      };
      DuelstarPage.origin = performance.now();
      if (document.hidden) DuelstarPage.hiddenSince = DuelstarPage.origin;
      document.addEventListener('visibilitychange', function() {
        var now = performance.now();
        if (document.hidden && DuelstarPage.hiddenSince === null) {
          DuelstarPage.hiddenSince = now;
        } else if (!document.hidden && DuelstarPage.hiddenSince !== null) {
          DuelstarPage.hiddenTotal += now - DuelstarPage.hiddenSince;
          DuelstarPage.hiddenSince = null;
        }
      });
    },
    now: function() {
      var now = performance.now();
      var hidden = DuelstarPage.hiddenTotal;
      if (DuelstarPage.hiddenSince !== null) hidden += now - DuelstarPage.hiddenSince;
      return now - DuelstarPage.origin - hidden;
    },
    // Calls back at the first display refresh seen while the page is visible.
    whenVisibleFrame: function(callback) {
      requestAnimationFrame(function() {
        if (document.hidden) {
          document.addEventListener('visibilitychange', function again() {
            if (document.hidden) return;
            document.removeEventListener('visibilitychange', again);
            DuelstarPage.whenVisibleFrame(callback);
          });
        } else {
          callback();
        }
      });
    },
    // Keeps the time the game's own work took in each frame: from waking up
    // to handing the next frame over.
    workStarted: null,
  },

  // Module.duelstarFrames counts frames handed over and shown, keeps when
  // the first (the loading picture) was shown and, when measuring, the game's
  // own work per frame in ms, for whoever measures or scripts the page.
  WaitForNextFrame__deps: ['$DuelstarPage'],
  WaitForNextFrame: function() {
    var frames = Module['duelstarFrames'] ||
        (Module['duelstarFrames'] = {handedOver: 0, shown: 0, firstShown: null, work: []});
    return Asyncify.handleSleep(function(wakeUp) {
      // Called once per frame (the call that resumes the game skips it). The
      // frame's work ends once the game's stack has been put away, which is
      // done when this task's code has run to its end.
      var started = DuelstarPage.workStarted;
      if (started !== null && DuelstarPage.measuring) {
        queueMicrotask(function() {
          frames.work.push(performance.now() - started);
          // A window of recent frames is all a measurement needs.
          if (frames.work.length > 8192) frames.work.splice(0, 4096);
        });
      }
      frames.handedOver += 1;
      DuelstarPage.whenVisibleFrame(function() {
        frames.shown += 1;
        if (frames.firstShown === null) frames.firstShown = performance.now();
        DuelstarPage.workStarted = performance.now();
        wakeUp();
      });
    });
  },

  VisibleMilliseconds__deps: ['$DuelstarPage'],
  VisibleMilliseconds: function() {
    return DuelstarPage.now();
  },

  WaitVisible__deps: ['$DuelstarPage'],
  WaitVisible: function(ms) {
    var until = DuelstarPage.now() + ms;
    return Asyncify.handleSleep(function(wakeUp) {
      (function check() {
        var left = until - DuelstarPage.now();
        if (left <= 0) {
          // A pause is no frame's work.
          DuelstarPage.workStarted = null;
          wakeUp();
        } else {
          // Looks again at least every CHECK_MS, since the clock stands
          // still while the page is hidden.
          setTimeout(check, Math.min(left, 100 /* CHECK_MS */));
        }
      })();
    });
  },

  OfferDownload: function(path) {
    var name = UTF8ToString(path);
    var data = FS.readFile(name);
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([data], {type: 'image/bmp'}));
    link.download = PATH.basename(name);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
    FS.unlink(name);
  },
  OfferDownload__deps: ['$FS', '$PATH'],

  // The Gamepad API's pads in the two seats, RED's first. A browser lists a
  // pad only once it has been used, so a pad takes the first free seat when
  // it first appears; a pad that goes away frees its seat and holds nothing.
  $DuelstarPads: {
    seats: [null, null], // the Gamepad API's index of each seat's pad
    STICK_SCALE: 32767, // SDL's axis value at full travel
    FIRE_BUTTONS: 4, // buttons 0 to 3 fire
    // The standard mapping's d-pad buttons, and the hat bit (SDL_HAT_UP, ...)
    // each stands for: the game reads a d-pad as SDL's hat.
    DPAD: [{button: 12, bit: 1}, {button: 15, bit: 2}, {button: 13, bit: 4}, {button: 14, bit: 8}],
    // Chromium lists empty slots as null; older browsers have no getGamepads.
    present: function() {
      var listed = navigator.getGamepads ? navigator.getGamepads() : [];
      var pads = [];
      for (var i = 0; i < (listed ? listed.length : 0); i++) {
        var pad = listed[i];
        if (pad && pad.connected !== false) pads.push(pad);
      }
      return pads;
    },
    pressed: function(pad, index) {
      var button = pad.buttons[index];
      if (button === undefined || button === null) return false;
      return typeof button === 'object' ? !!button.pressed : button > 0.5;
    },
    axis: function(pad, index) {
      var value = Number(pad.axes[index]) || 0;
      return Math.round(Math.max(-1, Math.min(1, value)) * DuelstarPads.STICK_SCALE);
    },
    read: function(out) {
      var pads = DuelstarPads.present();
      var seats = DuelstarPads.seats;
      var byIndex = {};
      pads.forEach(function(pad) { byIndex[pad.index] = pad; });
      seats.forEach(function(index, seat) {
        if (index !== null && !byIndex[index]) seats[seat] = null;
      });
      pads.forEach(function(pad) {
        if (seats.indexOf(pad.index) >= 0) return;
        var free = seats.indexOf(null);
        if (free >= 0) seats[free] = pad.index;
      });
      seats.forEach(function(index, seat) {
        var pad = index === null ? null : byIndex[index];
        var fire = 0, hat = 0, x = 0, y = 0;
        if (pad) {
          for (var b = 0; b < DuelstarPads.FIRE_BUTTONS; b++) {
            if (DuelstarPads.pressed(pad, b)) fire |= 1 << b;
          }
          if (pad.mapping === 'standard') {
            DuelstarPads.DPAD.forEach(function(d) {
              if (DuelstarPads.pressed(pad, d.button)) hat |= d.bit;
            });
          }
          x = DuelstarPads.axis(pad, 0);
          y = DuelstarPads.axis(pad, 1);
        }
        var at = (out >> 2) + seat * 4 /* PAD_FIELDS */;
        HEAP32[at] = fire;
        HEAP32[at + 1] = hat;
        HEAP32[at + 2] = x;
        HEAP32[at + 3] = y;
      });
    },
  },

  ReadPads__deps: ['$DuelstarPads'],
  ReadPads: function(out) {
    DuelstarPads.read(out);
  },

  // Fingers on the game's canvas. A finger belongs to the ship whose half of
  // the picture it first touched (BLUE's the left, RED's the right) until it
  // lifts; the first finger held in a half is the one that ship follows.
  // Touches on the canvas never scroll, zoom or select.
  $DuelstarTouch__postset: 'DuelstarTouch.start();',
  $DuelstarTouch: {
    WIDTH: 800, // px, the game's screen
    HEIGHT: 600, // px
    fingers: [], // {id, red, x, y} in the order they touched
    start: function() {
      var canvas = Module['canvas'];
      if (!canvas) return;
      var place = function(touch) {
        var box = canvas.getBoundingClientRect();
        var x = (touch.clientX - box.left) * DuelstarTouch.WIDTH / (box.width || 1);
        var y = (touch.clientY - box.top) * DuelstarTouch.HEIGHT / (box.height || 1);
        return {x: Math.max(0, Math.min(DuelstarTouch.WIDTH, x)),
                y: Math.max(0, Math.min(DuelstarTouch.HEIGHT, y))};
      };
      var find = function(id) {
        for (var i = 0; i < DuelstarTouch.fingers.length; i++) {
          if (DuelstarTouch.fingers[i].id === id) return i;
        }
        return -1;
      };
      var update = function(event) {
        event.preventDefault();
        var changed = event.changedTouches;
        for (var i = 0; i < changed.length; i++) {
          var touch = changed[i];
          var at = find(touch.identifier);
          if (event.type === 'touchend' || event.type === 'touchcancel') {
            if (at >= 0) DuelstarTouch.fingers.splice(at, 1);
            continue;
          }
          var spot = place(touch);
          if (at < 0) {
            DuelstarTouch.fingers.push({id: touch.identifier, red: spot.x >= DuelstarTouch.WIDTH / 2,
                                        x: spot.x, y: spot.y});
          } else {
            DuelstarTouch.fingers[at].x = spot.x;
            DuelstarTouch.fingers[at].y = spot.y;
          }
        }
      };
      ['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function(type) {
        canvas.addEventListener(type, update, {passive: false});
      });
    },
    read: function(out) {
      [true, false].forEach(function(red, side) {
        var finger = null;
        for (var i = 0; i < DuelstarTouch.fingers.length && !finger; i++) {
          if (DuelstarTouch.fingers[i].red === red) finger = DuelstarTouch.fingers[i];
        }
        var at = (out >> 2) + side * 3 /* TOUCH_FIELDS */;
        HEAPF32[at] = finger ? 1 : 0;
        HEAPF32[at + 1] = finger ? finger.x : 0;
        HEAPF32[at + 2] = finger ? finger.y : 0;
      });
    },
  },

  ReadTouches__deps: ['$DuelstarTouch'],
  ReadTouches: function(out) {
    DuelstarTouch.read(out);
  },

  // The page's sound switch (window.duelstarSound), which is also told the
  // game's audio once there is one; sound stays on on a page without it.
  SoundMuted__deps: ['$SDL'],
  SoundMuted: function() {
    var ask = window['duelstarSound'];
    return ask && ask(SDL.audioContext || null) ? 1 : 0;
  },

  // For the platform layer's Mix_LoadWAV_RW, in place of SDL_mixer's
  // emulation, which reads nothing through the platform layer's file streams:
  // the sound is decoded by Web Audio, so that it can be placed in stereo.
  // The game's header check has passed it already. Without Web Audio the
  // sound is kept empty, and playing it plays nothing.
  DecodeSound__deps: ['$SDL'],
  DecodeSound: function(data, size) {
    var bytes = HEAPU8.subarray(data, data + size);
    var sound = {source: '', audio: undefined, webAudio: undefined};
    if (SDL.webAudioAvailable()) {
      var webAudio = sound.webAudio = {onDecodeComplete: []};
      // A copy: decoding takes the buffer away, and the bytes are the game's.
      var copy = bytes.slice().buffer;
      SDL.audioContext.decodeAudioData(copy, function(decoded) {
        webAudio.decodedBuffer = decoded;
        var waiting = webAudio.onDecodeComplete;
        webAudio.onDecodeComplete = undefined;
        waiting.forEach(function(play) { play(); });
      }, function() {
        // Undecodable: the sound stays silent, as a mixer's broken chunk would.
        sound.webAudio = undefined;
      });
    }
    SDL.audios.push(sound);
    return SDL.audios.length - 1;
  },

  // The online link (WebLink.cpp), kept by the page's online.js as
  // window.duelstarOnline; a page without it is never online.
  OnlineTake: function(out, capacity) {
    var online = window['duelstarOnline'];
    for (;;) {
      var bytes = online.take();
      if (bytes === null) return online.gone() ? -2 /* ONLINE_GONE */ : -1 /* ONLINE_NOTHING */;
      if (bytes.length > capacity) continue;
      HEAPU8.set(bytes, out);
      return bytes.length;
    }
  },

  OnlineSend: function(bytes, size) {
    window['duelstarOnline'].send(HEAPU8.slice(bytes, bytes + size));
  },

  OnlineLeave: function() {
    window['duelstarOnline'].leave();
  },

  OnlineLinked: function() {
    return window['duelstarOnline'].linked() ? 1 : 0;
  },

  OnlinePing: function() {
    return Math.round(window['duelstarOnline'].ping() || 0);
  },

  OnlineFigures: function(frames, rollbacks, framesRolledBack, deepest, stalls) {
    window['duelstarOnline'].figures({frames: frames, rollbacks: rollbacks,
                                      framesRolledBack: framesRolledBack, deepest: deepest,
                                      stalls: stalls});
  },

  OnlineRematch: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      window['duelstarOnline'].rematch(function(again) { wakeUp(again ? 1 : 0); });
    });
  },
});
