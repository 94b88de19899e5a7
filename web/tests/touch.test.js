// SPDX-License-Identifier: MIT
// Touch in the browser, at a phone's viewport with a touch screen: real touch
// events sent through Chromium's DevTools protocol (Input.dispatchTouchEvent).
// A finger held in a ship's half flies that ship to it and keeps its fire
// held; lifted, it lets go of both. The page shows its touch line, asks to
// turn an upright phone, and does not scroll under a finger.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const PHONE = { width: 844, height: 390 }; // px, a phone held sideways
const UPRIGHT = { width: 390, height: 844 };
const MATCH_TIMEOUT = 120000; // ms: a match takes about ten seconds
const MAX_FPS = 120; // as in the keyboard's matches
const MIN_FPS = 10;
const FRAME_MS = 20; // ms of game time per frame, with the test's clock
const STEP = 10; // px a ship moves in such a frame at 500 px/s
// A ship stops within 9 px of its finger on each axis; a finger's place is
// read back through the canvas's scaling, which may cost a pixel.
const REACHED = 9 + 1; // px
const RED_START = { x: 700, y: 300 };
const BLUE_START = { x: 100, y: 300 };

const shared = h.serveAndLaunch();

async function phone(viewport = PHONE, clock = false, query = '') {
  const opened = await h.open(shared.chromium.browser, shared.server.url + query,
    { viewport, touch: true, clock });
  opened.cdp = await opened.context.newCDPSession(opened.page);
  return opened;
}

// The page's point over a point of the game's 800x600 screen.
async function onPage(page, spot) {
  const box = await page.locator('#canvas').boundingBox();
  return { x: box.x + (spot.x * box.width) / h.WIDTH, y: box.y + (spot.y * box.height) / h.HEIGHT };
}

// type: touchStart, touchMove or touchEnd; fingers: [{id, x, y}] on the game's
// screen, every finger held after the event (touchEnd lifts them all).
async function touch(opened, type, fingers) {
  const touchPoints = [];
  for (const finger of fingers) {
    touchPoints.push({ id: finger.id, ...(await onPage(opened.page, finger)) });
  }
  await opened.cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
}

test('one finger on BLUE plays a whole match for BLUE', async () => {
  const opened = await phone();
  await h.waitHandedOver(opened.page, 2); // past the loading picture
  await touch(opened, 'touchStart', [{ id: 1, ...BLUE_START }]);
  const end = await h.waitForExit(opened.page, MATCH_TIMEOUT);
  assert.strictEqual(end.status, 0);
  assert.strictEqual(end.lines.length, 1, `lines: ${JSON.stringify(end.lines)}`);
  const got = /^Blue wins 3-0 \( (\d+) fps \)$/.exec(end.lines[0]);
  assert.ok(got, `result line: ${end.lines[0]}`);
  assert.ok(Number(got[1]) >= MIN_FPS && Number(got[1]) <= MAX_FPS, `fps ${got[1]}`);
  await opened.context.close();
});

test('a finger above RED flies it out of the line of BLUE\'s fire', async () => {
  const opened = await phone(PHONE, true);
  const { page } = opened;
  await h.startWithClock(page);
  await page.keyboard.down('Enter'); // BLUE fires along y = 300
  const above = { x: RED_START.x, y: RED_START.y - 150 };
  await touch(opened, 'touchStart', [{ id: 1, ...above }]);
  // BLUE's first shots need more than a second to cross to RED's side.
  await h.step(page, FRAME_MS, 100);
  const seen = await h.ship(page, h.RED_BRIGHT, 'RED'); // whole: never hit
  h.near(seen, above, 'RED', REACHED);
  await page.keyboard.up('Enter');
  // Lifted: the ship stays where it was.
  await touch(opened, 'touchEnd', []);
  await h.step(page, FRAME_MS, 3);
  assert.deepStrictEqual(await h.ship(page, h.RED_BRIGHT, 'RED'), seen);
  await opened.context.close();
});

test('two fingers, one in each half, fly both ships at once; a lifted finger stops its ship', async () => {
  const opened = await phone(PHONE, true);
  const { page } = opened;
  await h.startWithClock(page);
  const red = { id: 1, x: RED_START.x, y: RED_START.y - 150 };
  const blue = { id: 2, x: BLUE_START.x + 150, y: BLUE_START.y };
  await touch(opened, 'touchStart', [red]);
  await touch(opened, 'touchStart', [red, blue]);
  await h.step(page, FRAME_MS, 5);
  const halfway = await h.ships(page);
  h.near(halfway.red, { x: RED_START.x, y: RED_START.y - 5 * STEP }, 'RED');
  h.near(halfway.blue, { x: BLUE_START.x + 5 * STEP, y: BLUE_START.y }, 'BLUE');
  // Both lift and RED's finger comes back (the protocol lifts all fingers at
  // once): RED flies on, BLUE stays.
  await touch(opened, 'touchEnd', []);
  await touch(opened, 'touchStart', [red]);
  await h.step(page, FRAME_MS, 5);
  const later = await h.ships(page);
  h.near(later.red, { x: RED_START.x, y: RED_START.y - 10 * STEP }, 'RED');
  assert.deepStrictEqual(later.blue, halfway.blue);
  await touch(opened, 'touchEnd', []);
  await opened.context.close();
});

// Against the computer the one finger is the player's, wherever it is held: in
// the computer's half it flies the player's ship toward it (up to the middle
// line), never steering by the computer's ship.
test('against the computer, one finger in the computer\'s half flies the player\'s ship to it', async () => {
  const opened = await phone(PHONE, true, '?cpu=blue&level=easy');
  const { page } = opened;
  await h.startWithClock(page);
  const finger = { id: 1, x: BLUE_START.x + 150, y: RED_START.y - 150 };
  await touch(opened, 'touchStart', [finger]);
  // Well before the computer's first shots could cross to RED's side.
  await h.step(page, FRAME_MS, 10);
  h.near(await h.ship(page, h.RED_BRIGHT, 'RED'),
    { x: RED_START.x - 10 * STEP, y: RED_START.y - 10 * STEP }, 'RED');
  await touch(opened, 'touchEnd', []);
  await opened.context.close();
});

test('a touch screen shows the touch line, an upright one asks to turn, and a finger scrolls nothing', async () => {
  for (const [viewport, upright] of [[PHONE, false], [UPRIGHT, true]]) {
    const opened = await phone(viewport);
    const { page } = opened;
    await h.waitHandedOver(page, 1);
    assert.ok(await page.locator('#touch-hint').isVisible());
    assert.strictEqual(await page.locator('#keys-hint').isVisible(), false);
    assert.strictEqual(await page.locator('#turn').isVisible(), upright);
    const box = await page.locator('#canvas').boundingBox();
    assert.ok(box.width <= viewport.width && box.height <= viewport.height, JSON.stringify(box));
    // A drag across the game moves the page neither way.
    await touch(opened, 'touchStart', [{ id: 1, x: 400, y: 500 }]);
    await touch(opened, 'touchMove', [{ id: 1, x: 300, y: 50 }]);
    await touch(opened, 'touchEnd', []);
    const moved = await page.evaluate(() => [window.scrollX, window.scrollY,
      document.scrollingElement.scrollTop, window.visualViewport.scale]);
    assert.deepStrictEqual(moved, [0, 0, 0, 1]);
    await opened.context.close();
  }
});
