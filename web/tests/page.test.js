// SPDX-License-Identifier: MIT
// The page around the game, as players and hosts meet it: the end of a match
// shown whole over the last frame at any size and in full screen, clear of
// the explosion banner and the health bars, with keys held or tapped into it
// never pressing Play again, and Enter or Space pressing it once the player
// moves to it; the how-to-play line whole from a phone to a large screen; a
// held key pressing once; files a host left out or broke named on the page,
// with the offer to try again; the page opened as a file; a click in a frame
// giving the game the keyboard, and full screen offered only where a frame
// allows it; offline play and installing; a new release taken at Play again
// and at the next visit; and the local server's one line when its port is
// taken.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const { execFile } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const h = require('./harness.js');

const MATCH_TIMEOUT = 120000; // ms: a match takes about ten seconds
const SERVE = path.join(__dirname, '..', 'serve.py');

const shared = h.serveAndLaunch();

// A key event from the browser's own input, with the repeat flag a held key
// gives, which Playwright's keyboard cannot set.
const KEYS = {
  Enter: { key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: '\r' },
  ' ': { key: ' ', code: 'Space', windowsVirtualKeyCode: 32, text: ' ' },
  p: { key: 'p', code: 'KeyP', windowsVirtualKeyCode: 80, text: 'p' },
};
function sendKey(session, type, name, autoRepeat = false) {
  const { text, ...key } = KEYS[name];
  return session.send('Input.dispatchKeyEvent',
    { type, autoRepeat, ...key, ...(type === 'keyDown' ? { text } : {}) });
}

// Where the end's parts are, and whether the result line shows whole: inside
// the window, not cut by its box, not covered, and large; and where the line
// and the button are on the game's 800x600 screen.
function endLayout() {
  const box = (e) => e.getBoundingClientRect();
  const inside = (r) => r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 0.5 &&
    r.bottom <= innerHeight + 0.5 && r.width > 0 && r.height > 0;
  const overlap = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom &&
    b.top < a.bottom;
  const line = document.querySelector('#lines div');
  const again = document.getElementById('again');
  const r = box(line);
  const top = document.elementFromPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const screen = box(document.getElementById('canvas'));
  const onScreen = (b) => ({
    left: ((b.left - screen.left) * 800) / screen.width,
    right: ((b.right - screen.left) * 800) / screen.width,
    top: ((b.top - screen.top) * 600) / screen.height,
    bottom: ((b.bottom - screen.top) * 600) / screen.height,
  });
  return {
    size: `${innerWidth}x${innerHeight}`,
    lineInside: inside(r),
    lineWhole: line.scrollWidth <= line.clientWidth && line.scrollHeight <= line.clientHeight + 1,
    lineOnTop: line.contains(top),
    lineText: line.innerText,
    fontPx: parseFloat(getComputedStyle(line).fontSize),
    againInside: inside(box(again)),
    againClear: !overlap(box(again), r),
    fullscreen: document.fullscreenElement ? document.fullscreenElement.id : null,
    onScreen: { line: onScreen(r), again: onScreen(box(again)) },
  };
}

// The explosion banner's place on the game's screen (gfx/Layout.h), and the
// boxes of the health bars in a frame.
const BOOM = { left: 250, top: 264, right: 550, bottom: 339 };
function barBoxes(rgba) {
  return h.findBars(rgba, [h.RED_BRIGHT, h.RED_DARK]).concat(
    h.findBars(rgba, [h.BLUE_BRIGHT, h.BLUE_DARK]))
    .map((b) => ({ left: b.x, top: b.y, right: b.x + h.BAR.width, bottom: b.y + h.BAR.height }));
}
const overlaps = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom &&
  b.top < a.bottom;

// Neither the result line nor Play again hides the banner or a health bar.
function assertClear(layout, bars) {
  for (const what of ['line', 'again']) {
    for (const hidden of [BOOM, ...bars]) {
      assert.ok(!overlaps(layout.onScreen[what], hidden),
        `at ${layout.size} the ${what} ${JSON.stringify(layout.onScreen[what])} covers ` +
        `${JSON.stringify(hidden)}`);
    }
  }
}

// Window sizes from a phone (upright and on its side) to 4K; 400x300 is an
// 800x600 window at 200% zoom.
const SIZES = [
  { width: 800, height: 600 }, { width: 360, height: 640 }, { width: 640, height: 360 },
  { width: 400, height: 300 }, { width: 3840, height: 2160 },
];
const MIN_FONT = 16; // px: large enough to read on a phone

function assertWhole(layout, line) {
  assert.deepStrictEqual(layout, {
    ...layout, lineInside: true, lineWhole: true, lineOnTop: true, lineText: line,
    againInside: true, againClear: true,
  }, `at ${layout.size}`);
  assert.ok(layout.fontPx >= MIN_FONT, `font ${layout.fontPx} px at ${layout.size}`);
}

test('after a match: RETURN and held keys never play again; the end shows whole and clear at any size and in full screen', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url);
  const session = await context.newCDPSession(page);
  await h.waitHandedOver(page, 2);
  // BLUE holds fire through the end, then taps it, and space, and more.
  await sendKey(session, 'keyDown', 'Enter');
  const end = await h.waitForExit(page, MATCH_TIMEOUT);
  assert.strictEqual(end.status, 0);
  await page.evaluate(() => { window.stillThisPage = true; });
  for (let i = 0; i < 5; i += 1) await sendKey(session, 'keyDown', 'Enter', true);
  await sendKey(session, 'keyUp', 'Enter');
  for (const name of ['Enter', ' ', 'Enter']) {
    await sendKey(session, 'keyDown', name);
    await sendKey(session, 'keyUp', name);
  }
  // A reload would have taken a moment to start: wait on the page's own clock.
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 500)));
  assert.strictEqual(await page.evaluate(() => window.stillThisPage), true, 'the page was reloaded');
  assert.match(end.lines[0], /^Blue wins 3-0 \( \d+ fps \)$/);
  assert.strictEqual(await page.locator('#lines').innerText(), end.lines[0]);
  // The last frame holds the banner and both ships' bars.
  const bars = barBoxes(await h.readFrame(page));
  assert.strictEqual(bars.length, 2, JSON.stringify(bars));

  for (const size of SIZES) {
    await page.setViewportSize(size);
    const layout = await page.evaluate(endLayout);
    assertWhole(layout, end.lines[0]);
    assertClear(layout, bars);
  }
  await page.setViewportSize({ width: 1024, height: 768 });
  const full = page.locator('#fullscreen');
  assert.strictEqual(await full.innerText(), 'Full screen');
  await full.click();
  // The button says it will leave.
  await h.waitUntil(page, () => document.fullscreenElement !== null &&
    document.getElementById('fullscreen').innerText === 'Leave full screen');
  const layout = await page.evaluate(endLayout);
  assert.strictEqual(layout.fullscreen, 'game');
  assertWhole(layout, end.lines[0]);
  assertClear(layout, bars);
  await full.click();
  await h.waitUntil(page, () => document.fullscreenElement === null &&
    document.getElementById('fullscreen').innerText === 'Full screen');

  // Only a deliberate click plays again.
  await page.click('#again');
  await h.waitUntil(page, () => window.stillThisPage === undefined && window.Module &&
    Module.duelstarFrames && Module.duelstarFrames.handedOver >= 1);
  await context.close();
});

// A keyboard alone: Tab moves to Play again (the game's canvas is no stop),
// and the key presses it.
for (const key of ['Enter', ' ']) {
  test(`Play again answers ${key === ' ' ? 'Space' : key} once the player moves to it`, async () => {
    const { page, context } = await h.open(shared.chromium.browser, shared.server.url);
    await h.waitHandedOver(page, 2);
    await page.keyboard.press('Escape');
    await h.waitForExit(page);
    await page.evaluate(() => { window.stillThisPage = true; });
    await page.keyboard.press('Tab');
    assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'again');
    await page.keyboard.press(key);
    await h.waitUntil(page, () => window.stillThisPage === undefined && window.Module &&
      Module.duelstarFrames && Module.duelstarFrames.handedOver >= 1);
    await context.close();
  });
}

// The how-to-play line under the game, keys' or touch's, shows whole: every
// line of it inside the window and not under a button, and readable.
function hintLayout() {
  const hint = [document.getElementById('keys-hint'), document.getElementById('touch-hint')]
    .find((e) => getComputedStyle(e).display !== 'none');
  const range = document.createRange();
  range.selectNodeContents(hint);
  const rows = Array.from(range.getClientRects());
  return {
    hint: hint.id,
    rows: rows.length,
    whole: rows.every((r) => r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 0.5 &&
      r.bottom <= innerHeight + 0.5 &&
      hint.contains(document.elementFromPoint(r.left + 1, (r.top + r.bottom) / 2)) &&
      hint.contains(document.elementFromPoint(r.right - 1, (r.top + r.bottom) / 2))),
    fontPx: parseFloat(getComputedStyle(hint).fontSize),
    words: hint.textContent,
  };
}

const HINTS = [
  { what: 'keys at 800x600', viewport: { width: 800, height: 600 }, hint: 'keys-hint', minFont: 14 },
  { what: 'keys at 200% zoom', viewport: { width: 400, height: 300 }, hint: 'keys-hint', minFont: 14 },
  { what: 'keys on a large screen', viewport: { width: 1920, height: 1080 }, hint: 'keys-hint', minFont: 20 },
  { what: 'touch on an upright phone', viewport: { width: 360, height: 640 }, touch: true, hint: 'touch-hint', minFont: 14 },
  { what: 'touch on a phone on its side', viewport: { width: 844, height: 390 }, touch: true, hint: 'touch-hint', minFont: 14 },
];

test('the how-to-play line shows whole and readable, from a phone to a large screen', async () => {
  for (const c of HINTS) {
    const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
      { viewport: c.viewport, touch: !!c.touch });
    await h.waitHandedOver(page, 1);
    const layout = await page.evaluate(hintLayout);
    assert.strictEqual(layout.hint, c.hint, c.what);
    assert.ok(layout.rows > 0 && layout.whole, `${c.what}: ${JSON.stringify(layout)}`);
    assert.ok(layout.fontPx >= c.minFont, `${c.what}: font ${layout.fontPx} px`);
    if (c.touch) assert.match(layout.words, /finger.*BLUE.*left.*RED.*right.*fires/);
    else assert.match(layout.words, /m sound.*ESC quits$/);
    await context.close();
  }
});

test('a held p saves one screenshot, as on the desktop', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { clock: true, downloads: true });
  const session = await context.newCDPSession(page);
  let downloads = 0;
  page.on('download', () => { downloads += 1; });
  await h.startWithClock(page);
  await sendKey(session, 'keyDown', 'p');
  await h.step(page, 20);
  for (let i = 0; i < 10; i += 1) {
    await sendKey(session, 'keyDown', 'p', true);
    await h.step(page, 20);
  }
  await sendKey(session, 'keyUp', 'p');
  // A second press is a second screenshot.
  await sendKey(session, 'keyDown', 'p');
  await h.step(page, 20);
  await sendKey(session, 'keyUp', 'p');
  for (const deadline = Date.now() + h.STATE_TIMEOUT; downloads < 2;) {
    assert.ok(Date.now() < deadline, `${downloads} downloads`);
    await new Promise((resolve) => setTimeout(resolve, 10));
  }
  // Downloads are offered as their frame is drawn: a few frames on, no more came.
  await h.step(page, 20, 3);
  assert.strictEqual(downloads, 2);
  await context.close();
});

test('ESCAPE on the loading picture ends in a clear "Game ended"', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url, { clock: true });
  await h.waitHandedOver(page, 1);
  await page.evaluate(() => testClock.frames(1));
  await h.waitUntil(page, () => Module.duelstarFrames.shown >= 1);
  await page.keyboard.press('Escape');
  await page.evaluate((t) => { testClock.advance(t); testClock.frames(1); }, h.LOADING_TIME);
  const end = await h.waitForExit(page);
  assert.deepStrictEqual(end, { status: 0, lines: [] });
  assert.ok(await page.locator('#ended').isVisible());
  assert.strictEqual(await page.locator('#ended').innerText(), 'Game ended');
  assert.ok(await page.locator('#again').isVisible());
  await context.close();
});

// Runs the page with some published files missing (null) or replaced, until
// it ends; what it shows.
async function ending(replaced) {
  const server = await h.serve(replaced);
  const { page, context } = await h.open(shared.chromium.browser, server.url);
  await h.waitUntil(page, () => window.duelstar && duelstar.ended);
  const shown = await page.evaluate(() => ({
    status: duelstar.exitStatus, lines: duelstar.lines.slice(),
    visible: !document.getElementById('end').hidden,
    again: document.getElementById('again').innerText,
  }));
  await page.setViewportSize({ width: 360, height: 640 });
  shown.layout = await page.evaluate(endLayout);
  await context.close();
  server.close();
  return shown;
}

const BROKEN = [
  { what: 'a missing duelstar.data', replaced: { 'duelstar.data': null },
    line: /^ERROR: duelstar\.data: could not be loaded \(404 Not Found\)$/ },
  { what: 'a missing duelstar.wasm', replaced: { 'duelstar.wasm': null },
    line: /^ERROR: duelstar\.wasm: could not be loaded \(404 Not Found\)$/ },
  { what: 'a duelstar.data that is no package', replaced: { 'duelstar.data': '<html>Not here</html>' },
    line: /^ERROR: duelstar\.data: unreadable \(not the gzip-packed pictures and sounds of this game\)$/ },
  { what: 'a duelstar.wasm that is no WebAssembly', replaced: { 'duelstar.wasm': '<html>Not here</html>' },
    line: /^ERROR: duelstar\.wasm: unreadable \(.+\)$/ },
];

for (const c of BROKEN) {
  test(`${c.what} shows an ERROR line naming it`, async () => {
    const shown = await ending(c.replaced);
    assert.strictEqual(shown.status, null);
    assert.strictEqual(shown.lines.length, 1, JSON.stringify(shown.lines));
    assert.match(shown.lines[0], c.line);
    assert.ok(shown.visible);
    // No game ran: the button offers to try again.
    assert.strictEqual(shown.again, 'Try again');
    assert.strictEqual(shown.layout.lineInside && shown.layout.lineWhole && shown.layout.lineOnTop,
      true, JSON.stringify(shown.layout));
  });
}

test('opened as a file, the page says it must be served, and how', async () => {
  const context = await shared.chromium.browser.newContext();
  const page = await context.newPage();
  await page.goto(`file://${path.join(h.BUILD, 'index.html')}`);
  await h.waitUntil(page, () => window.duelstar && duelstar.ended);
  const lines = await page.evaluate(() => duelstar.lines);
  assert.strictEqual(lines.length, 1);
  assert.match(lines[0], /must be served.*\.\/web\.sh.*static web server/);
  assert.strictEqual(await page.locator('#lines').innerText(), lines[0]);
  assert.ok(!(await page.locator('#again').isVisible()));
  await context.close();
});

// The game's own address is 127.0.0.1; localhost is another site.
// A frame may have full screen only where its host allows it
// (allow="fullscreen"); the page offers it only then.
for (const { where, host, allow, fullscreen } of [
  { where: 'on the same site', host: '127.0.0.1', allow: '', fullscreen: false },
  { where: 'on another site', host: 'localhost', allow: '', fullscreen: false },
  { where: 'on another site that allows full screen', host: 'localhost', allow: 'fullscreen', fullscreen: true },
]) {
  test(`in a frame ${where}, a click gives the game the keyboard, keys never scroll the host, and full screen is ${fullscreen ? '' : 'not '}offered`, async () => {
    const server = await h.serve();
    const game = server.url;
    const page = '<!DOCTYPE html><html><body style="height: 5000px; margin: 0">' +
      `<iframe src="${game}" width="800" height="650" allow="${allow}"></iframe></body></html>`;
    const hostServer = await h.serve({ 'host.html': page });
    const context = await shared.chromium.browser.newContext({ viewport: { width: 1024, height: 800 } });
    const tab = await context.newPage();
    await tab.goto(`${hostServer.url.replace('127.0.0.1', host)}host.html`);
    const frame = tab.frames()[1];
    await h.waitHandedOver(frame, 2);
    assert.strictEqual(await frame.locator('#fullscreen').isVisible(), fullscreen);
    if (fullscreen) {
      await frame.locator('#fullscreen').click();
      await h.waitUntil(frame, () => document.fullscreenElement !== null);
      await frame.locator('#fullscreen').click();
      await h.waitUntil(frame, () => document.fullscreenElement === null);
    }
    const canvas = await frame.locator('#canvas').boundingBox();
    await tab.mouse.click(canvas.x + canvas.width / 2, canvas.y + canvas.height / 2);
    await tab.keyboard.down('ArrowDown');
    await tab.keyboard.down('PageDown');
    await tab.keyboard.down(' ');
    await tab.keyboard.press('Escape');
    const end = await h.waitForExit(frame);
    assert.deepStrictEqual(end, { status: 0, lines: [] });
    // Game keys after the end stay in the frame too.
    await tab.keyboard.press('ArrowDown');
    await tab.keyboard.press('End');
    assert.strictEqual(await tab.evaluate(() => window.scrollY), 0);
    await context.close();
    hostServer.close();
    server.close();
  });
}

test('installable, and a second visit plays offline, Play again included', async () => {
  const profile = await h.launchProfile();
  const { context } = profile;
  const page = context.pages()[0] || await context.newPage();
  await page.goto(shared.server.url);
  const session = await context.newCDPSession(page);
  await h.waitUntil(page, () => navigator.serviceWorker.controller !== null);
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  assert.deepStrictEqual(installabilityErrors, []);
  // The cache holds every file published, under the release.
  const cached = await page.evaluate(async () => {
    const names = await caches.keys();
    const cache = await caches.open(names[0]);
    return { names, files: (await cache.keys()).map((r) => new URL(r.url).pathname).sort() };
  });
  const version = /project\(duelstar VERSION ([0-9.]+)/.exec(
    fs.readFileSync(path.join(__dirname, '..', '..', 'CMakeLists.txt'), 'utf8'))[1];
  assert.strictEqual(cached.names.length, 1);
  assert.ok(cached.names[0].startsWith(`duelstar-${version}-`), cached.names[0]);
  const published = fs.readdirSync(h.BUILD, { recursive: true })
    .filter((f) => fs.statSync(path.join(h.BUILD, f)).isFile() && f !== 'sw.js')
    .map((f) => `/${f}`);
  assert.deepStrictEqual(cached.files, ['/', ...published].sort());

  await context.setOffline(true);
  await page.reload();
  await h.waitHandedOver(page, 2);
  await page.keyboard.press('Escape');
  await h.waitForExit(page);
  await page.click('#again');
  await h.waitUntil(page, () => window.duelstar && !duelstar.ended && window.Module &&
    Module.duelstarFrames && Module.duelstarFrames.handedOver >= 1);
  await profile.close();
});

// Waits until the site's caches are just the one named, as its service
// workers see them: they share the site's caches, and run with no page open.
async function cachesBecome(context, name) {
  const deadline = Date.now() + h.STATE_TIMEOUT;
  for (;;) {
    for (const worker of context.serviceWorkers()) {
      const names = await worker.evaluate(() => caches.keys().then((n) => n.join()))
        .catch(() => null);
      if (names === name) return;
    }
    if (Date.now() > deadline) throw new Error(`the caches never became just ${name}`);
    await new Promise((resolve) => setTimeout(resolve, h.POLL_INTERVAL));
  }
}

test('a new release replaces the cache of the one before', async () => {
  const replaced = {};
  const server = await h.serve(replaced);
  const profile = await h.launchProfile();
  const first = await profile.context.newPage();
  await first.goto(server.url);
  await h.waitUntil(first, () => navigator.serviceWorker.controller !== null);
  const [old] = await first.evaluate(() => caches.keys());
  const NEXT = 'duelstar-9.9.9-next';
  replaced['sw.js'] = fs.readFileSync(path.join(h.BUILD, 'sw.js'), 'utf8')
    .replace(/const CACHE = '[^']*'/, `const CACHE = '${NEXT}'`);
  await first.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
  // It waits for the open page to go, so that no page mixes two releases.
  await h.waitUntil(first, () => navigator.serviceWorker.getRegistration().then((r) => r.waiting !== null));
  assert.deepStrictEqual(await first.evaluate(() => caches.keys()), [old, NEXT]);
  await first.close();
  // Once no page is left on the old release the new one takes over, before
  // the next visit.
  await cachesBecome(profile.context, NEXT);
  const next = await profile.context.newPage();
  await next.goto(server.url);
  assert.strictEqual(await next.evaluate(() => caches.keys().then((names) => names.join())), NEXT);
  await profile.close();
  server.close();
});

// The next release, as a host publishes it: a new service worker and a page
// that says which release it is.
const NEXT = 'duelstar-9.9.9-next';
function publishNext(replaced) {
  replaced['sw.js'] = fs.readFileSync(path.join(h.BUILD, 'sw.js'), 'utf8')
    .replace(/const CACHE = '[^']*'/, `const CACHE = '${NEXT}'`);
  replaced['index.html'] = fs.readFileSync(path.join(h.BUILD, 'index.html'), 'utf8')
    .replace('<head>', '<head>\n<meta name="release" content="next">');
}
const onNext = () => document.querySelector('meta[name=release]') !== null;
const playsNext = () => document.querySelector('meta[name=release]') !== null && window.Module &&
  Module.duelstarFrames && Module.duelstarFrames.handedOver >= 1 &&
  caches.keys().then((names) => names.join() === 'duelstar-9.9.9-next');
const waitingRelease = () => navigator.serviceWorker.getRegistration()
  .then((r) => r.waiting !== null);

test('a new release takes over at Play again, never during a match', async () => {
  const replaced = {};
  const server = await h.serve(replaced);
  const profile = await h.launchProfile();
  const page = await profile.context.newPage();
  await page.goto(server.url);
  await h.waitUntil(page, () => navigator.serviceWorker.controller !== null);
  await h.waitHandedOver(page, 2);
  publishNext(replaced);
  // The match ends; the page, left open, finds the release, which waits.
  await page.keyboard.press('Escape');
  await h.waitForExit(page);
  await h.waitUntil(page, waitingRelease);
  assert.strictEqual(await page.evaluate(onNext), false);
  await page.click('#again');
  await h.waitUntil(page, playsNext);
  await profile.close();
  server.close();
});

test('the local server names a taken port and how to pick another, in one line', async () => {
  const taken = http.createServer();
  await new Promise((resolve) => taken.listen(0, '127.0.0.1', resolve));
  const port = taken.address().port;
  const result = await new Promise((resolve) => {
    execFile('python3', [SERVE, h.BUILD, String(port)], (error, stdout, stderr) =>
      resolve({ status: error ? error.code : 0, stdout, stderr }));
  });
  taken.close();
  assert.deepStrictEqual(result, {
    status: 1,
    stdout: `Duelstar: port ${port} is taken; pick another, e.g. PORT=${port + 1} ./web.sh\n`,
    stderr: '',
  });
});
