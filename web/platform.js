// SPDX-License-Identifier: MIT
// The page's side of the platform layer (WebPlatform.h): the game's clock
// counts only visible time, frames follow the display's refresh, and files
// the game writes are handed to the player as downloads; sounds are read for
// Web Audio.
mergeInto(LibraryManager.library, {
  $DuelstarPage__postset: 'DuelstarPage.start();',
  $DuelstarPage: {
    hiddenSince: null,
    hiddenTotal: 0,
    origin: 0,
    start: function() {
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
  // the first (the loading picture) was shown and the game's own work per
  // frame in ms, for whoever measures or scripts the page.
  WaitForNextFrame__deps: ['$DuelstarPage'],
  WaitForNextFrame: function() {
    var frames = Module['duelstarFrames'] ||
        (Module['duelstarFrames'] = {handedOver: 0, shown: 0, firstShown: null, work: []});
    return Asyncify.handleSleep(function(wakeUp) {
      // Called once per frame (the call that resumes the game skips it). The
      // frame's work ends once the game's stack has been put away, which is
      // done when this task's code has run to its end.
      var started = DuelstarPage.workStarted;
      if (started !== null) {
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

  // In place of SDL_mixer's emulation, whose own reading goes through file
  // streams the platform layer replaces: the sound is read from the page's
  // files and decoded by Web Audio, so that it can be placed in stereo. The
  // game's header check has passed it already. Without Web Audio the sound
  // is kept empty, and playing it plays nothing.
  Mix_LoadWAV__deps: ['$SDL', '$FS'],
  Mix_LoadWAV: function(path) {
    var name = UTF8ToString(path);
    var bytes;
    try {
      bytes = FS.readFile(name);
    } catch (e) {
      return 0;
    }
    var sound = {source: name, audio: undefined, webAudio: undefined};
    if (SDL.webAudioAvailable()) {
      var webAudio = sound.webAudio = {onDecodeComplete: []};
      var copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
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
});
