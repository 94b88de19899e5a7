// SPDX-License-Identifier: MIT
// What the browser tests share: a static server over the build folder,
// Debian's headless Chromium, the page with an optional hand on its clock and
// display refreshes, and the game's frame read back from its canvas.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const assert = require('node:assert');
const { before, after } = require('node:test');
const { chromium } = require('playwright-core');

// What a host publishes, as the browser build leaves it.
const BUILD = process.env.DUELSTAR_WEB_BUILD || path.join(__dirname, '..', '..', 'build-web', 'site');
const CHROMIUM = process.env.DUELSTAR_CHROMIUM || '/usr/bin/chromium';
const WIDTH = 800; // px
const HEIGHT = 600; // px
const STATE_TIMEOUT = 60000; // ms for any state the page should reach

const TYPES = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

// Serves the build folder (or root) on 127.0.0.1; replaced maps a file name
// to other contents served in its place, or null to leave it out, or to a
// function whose promise gives the contents (a slow host).
async function serve(replaced = {}, root = BUILD) {
  const server = http.createServer(async (request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname).slice(1);
    if (name === '' || name.endsWith('/')) name += 'index.html';
    let body = replaced[name] !== undefined ? replaced[name] : readOrNull(path.join(root, name));
    if (typeof body === 'function') body = await body();
    if (name.includes('..') || body === null) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream',
      'Cache-Control': 'no-store',
    });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

function readOrNull(file) {
  try {
    return fs.readFileSync(file);
  } catch {
    return null;
  }
}

// The closed network here makes Chromium's background services hang or
// retry, so all of them stay off. Playwright gives every launch a fresh
// profile folder of its own (--user-data-dir) and removes it on close.
const CHROMIUM_OPTIONS = {
  executablePath: CHROMIUM,
  headless: true,
  args: [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
  ],
};
async function launch() {
  const browser = await chromium.launch(CHROMIUM_OPTIONS);
  return { browser, close: () => browser.close() };
}

// A Chromium of its own with a lasting profile in a new folder, as a player's
// is: installing is offered only outside incognito windows, which the
// contexts above are. Closing it removes the folder.
async function launchProfile() {
  const folder = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'duelstar-profile-'));
  const context = await chromium.launchPersistentContext(folder,
    { ...CHROMIUM_OPTIONS, viewport: { width: 1024, height: 800 } });
  return {
    context,
    close: async () => {
      await context.close();
      fs.rmSync(folder, { recursive: true, force: true });
    },
  };
}

// Installed before the page's own scripts: display refreshes wait until the
// test lets them through, the clock (performance.now) moves only when the
// test moves it, and the page can be made to look hidden.
function takeTheClock() {
  const realFrame = window.requestAnimationFrame.bind(window);
  let now = 0;
  let budget = 0;
  const waiting = [];
  performance.now = () => now;
  let hidden = false;
  Object.defineProperty(document, 'hidden', { get: () => hidden });
  Object.defineProperty(document, 'visibilityState', { get: () => (hidden ? 'hidden' : 'visible') });
  let delivered = 0;
  function release() {
    while (budget > 0 && waiting.length > 0) {
      budget -= 1;
      const callback = waiting.shift();
      realFrame((time) => {
        delivered += 1;
        callback(time);
      });
    }
  }
  window.requestAnimationFrame = (callback) => {
    waiting.push(callback);
    release();
    return 0;
  };
  window.testClock = {
    advance(ms) { now += ms; },
    frames(count) { budget += count; release(); },
    delivered() { return delivered; },
    setHidden(value) {
      hidden = value;
      document.dispatchEvent(new Event('visibilitychange'));
    },
  };
}

// A test file's server over the build folder and its Chromium: started
// before the file's tests, stopped after them.
function serveAndLaunch() {
  const shared = { server: null, chromium: null };
  before(async () => {
    shared.server = await serve();
    shared.chromium = await launch();
  });
  after(async () => {
    await shared.chromium.close();
    shared.server.close();
  });
  return shared;
}

// Opens the game; with clock set, the test drives time and refreshes. A
// phone's viewport and touch screen, and scripts run before the page's own
// (init, e.g. scripted gamepads), are the test's to choose.
async function open(browser, url,
  { clock = false, downloads = false, viewport = { width: 1024, height: 800 }, touch = false,
    init = null } = {}) {
  const context = await browser.newContext({
    viewport,
    acceptDownloads: downloads,
    hasTouch: touch,
    isMobile: touch,
  });
  const page = await context.newPage();
  const console = [];
  page.on('console', (message) => console.push(message.text()));
  if (clock) await page.addInitScript(takeTheClock);
  if (init) await page.addInitScript(init);
  await page.goto(url);
  return { page, context, console };
}

// Polls the page until predicate(arg) holds there; its value. (Playwright's
// own poller stalls while the test holds the page's clock.) A page going
// away under a poll, as at Play again, is polled again once the next is in.
const POLL_INTERVAL = 10; // ms
async function waitUntil(page, predicate, arg, timeout = STATE_TIMEOUT) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const value = await page.evaluate(predicate, arg).catch((error) => {
      if (/context was destroyed|navigat/i.test(error.message)) return false;
      throw error;
    });
    if (value) return value;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${predicate}`);
    await new Promise((resolve) => setTimeout(resolve, POLL_INTERVAL));
  }
}

// Frames the game has handed over (the loading picture is the first).
function handedOver(page) {
  return page.evaluate(() => (Module.duelstarFrames ? Module.duelstarFrames.handedOver : 0));
}

function waitHandedOver(page, count) {
  return waitUntil(page, (n) => Module.duelstarFrames && Module.duelstarFrames.handedOver >= n,
    count);
}

// With the test's clock: lets one refresh through after ms of game time and
// waits until the game has drawn the next frame.
async function step(page, ms, count = 1) {
  for (let i = 0; i < count; i += 1) {
    const before = await handedOver(page);
    await page.evaluate((t) => { testClock.advance(t); testClock.frames(1); }, ms);
    await waitHandedOver(page, before + 1);
  }
}

// Gets past the loading picture: its refresh, its 2.5 s and the first frame.
const LOADING_TIME = 2500; // ms
async function startWithClock(page) {
  await waitHandedOver(page, 1);
  await page.evaluate(() => testClock.frames(1));
  await waitUntil(page, () => Module.duelstarFrames.shown >= 1);
  await page.evaluate((t) => testClock.advance(t), LOADING_TIME);
  await waitHandedOver(page, 2);
}

// The canvas as RGBA bytes.
async function readFrame(page) {
  const encoded = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const bytes = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    const CHUNK = 0x8000;
    for (let i = 0; i < bytes.length; i += CHUNK) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + CHUNK));
    }
    return btoa(text);
  });
  return Buffer.from(encoded, 'base64');
}

// Waits until the game has ended; its status and printed lines.
async function waitForExit(page, timeout = STATE_TIMEOUT) {
  await waitUntil(page, () => window.duelstar && window.duelstar.exitStatus !== null, null,
    timeout);
  return page.evaluate(() => ({ status: duelstar.exitStatus, lines: duelstar.lines.slice() }));
}

// An RGB colour cut to the screen's 16 bits (5, 6 and 5 bits).
function rgb565(r, g, b) {
  return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

// Health bars: the same search as the desktop tests make in screenshots.
const BAR = { width: 50, height: 5, left: 25, above: 50 };
const RED_BRIGHT = rgb565(255, 0, 0);
const BLUE_BRIGHT = rgb565(0, 0, 255);
// The dark bar under each bright one, all that is left of a destroyed ship's.
const RED_DARK = rgb565(128, 0, 0);
const BLUE_DARK = rgb565(0, 0, 128);

// The top left corners of whole bars drawn in the colours (one, or a ship's
// bright and dark together, for a bar of any length).
function findBars(rgba, colours) {
  const at = (x, y) => {
    const i = (y * WIDTH + x) * 4;
    return colours.includes(rgb565(rgba[i], rgba[i + 1], rgba[i + 2]));
  };
  const found = [];
  for (let y = 0; y + BAR.height <= HEIGHT; y += 1) {
    for (let x = 0; x + BAR.width <= WIDTH; x += 1) {
      if (!at(x, y) || (x > 0 && at(x - 1, y)) || (y > 0 && at(x, y - 1))) continue;
      let whole = true;
      for (let dy = 0; dy < BAR.height && whole; dy += 1) {
        for (let dx = 0; dx < BAR.width && whole; dx += 1) whole = at(x + dx, y + dy);
      }
      if (whole) found.push({ x, y });
    }
  }
  return found;
}

// Ship centres from the fully visible bright bars of the colour.
function findShips(rgba, colour) {
  return findBars(rgba, [colour]).map((bar) => ({ x: bar.x + BAR.left, y: bar.y + BAR.above }));
}

// A ship's centre from its health bar, which shows whole and bright only
// while the ship is unhurt and no shot crosses it: exactly one is expected.
async function ship(page, colour, what) {
  const bars = findShips(await readFrame(page), colour);
  assert.strictEqual(bars.length, 1, `${what}'s bars: ${JSON.stringify(bars)}`);
  return bars[0];
}

async function ships(page) {
  return { red: await ship(page, RED_BRIGHT, 'RED'), blue: await ship(page, BLUE_BRIGHT, 'BLUE') };
}

// Positions are sums of rounded steps, drawn truncated: 1 px either way.
const SLACK = 1; // px
function near(seen, expected, what, slack = SLACK) {
  assert.ok(Math.abs(seen.x - expected.x) <= slack && Math.abs(seen.y - expected.y) <= slack,
    `${what} at ${JSON.stringify(seen)}, expected ${JSON.stringify(expected)} within ${slack} px`);
}

module.exports = {
  BUILD, WIDTH, HEIGHT, STATE_TIMEOUT, POLL_INTERVAL, LOADING_TIME, RED_BRIGHT, BLUE_BRIGHT,
  RED_DARK, BLUE_DARK, BAR, serve, launch, launchProfile, serveAndLaunch, open, waitUntil, handedOver, waitHandedOver, step, startWithClock, readFrame, waitForExit,
  rgb565, findBars, findShips, ship, ships, near,
};
