// SPDX-License-Identifier: MIT
// The page's side of the platform layer (WebPlatform.h): the game's clock
// counts only visible time, frames follow the display's refresh, held keys
// press once, and files the game writes are handed to the player as downloads.
mergeInto(LibraryManager.library, {
  $DuelstarPage__deps: ['$SDL'],
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
});
