// SPDX-License-Identifier: MIT
// Steering with real key events while the test holds the page's clock: each
// frame is 20 ms of game time, so a ship moves 10 px per frame. Ships are found
// by their bright health bars. Also: losing focus releases held keys, and a
// hidden page does not advance the match.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const FRAME_MS = 20; // ms of game time per frame
const STEP = 10; // px a ship moves in one such frame at 500 px/s
const BLUE_START = { x: 100, y: 300 };
const RED_START = { x: 700, y: 300 };

const shared = h.serveAndLaunch();

async function started() {
  const opened = await h.open(shared.chromium.browser, shared.server.url, { clock: true });
  await h.startWithClock(opened.page);
  return opened;
}

// key, frames held, and where each ship is then. 30 frames would take either
// ship 300 px, past the middle line that stops it.
const CASES = [
  { key: 'ArrowRight', frames: 10, blue: { x: 200, y: 300 } },
  { key: 'ArrowRight', frames: 30, blue: { x: 350, y: 300 }, exact: true },
  { key: 'ArrowLeft', frames: 5, blue: { x: 50, y: 300 } },
  { key: 'ArrowUp', frames: 10, blue: { x: 100, y: 200 } },
  { key: 'ArrowDown', frames: 10, blue: { x: 100, y: 400 } },
  { key: 'f', frames: 10, red: { x: 600, y: 300 } },
  { key: 'f', frames: 30, red: { x: 450, y: 300 }, exact: true },
  { key: 'h', frames: 5, red: { x: 750, y: 300 } },
  { key: 't', frames: 10, red: { x: 700, y: 200 } },
  { key: 'g', frames: 10, red: { x: 700, y: 400 } },
];

for (const c of CASES) {
  const name = `${c.key} held for ${c.frames} frames`;
  test(name, async () => {
    const { page, context } = await started();
    await page.keyboard.down(c.key);
    await h.step(page, FRAME_MS, c.frames);
    await page.keyboard.up(c.key);
    const seen = await h.ships(page);
    h.near(seen.blue, c.blue || BLUE_START, 'BLUE');
    h.near(seen.red, c.red || RED_START, 'RED');
    if (c.exact) {
      // The middle line stops a ship exactly there.
      const ship = c.blue ? seen.blue : seen.red;
      assert.strictEqual(ship.x, (c.blue || c.red).x);
    }
    // Released, the ship stays.
    await h.step(page, FRAME_MS, 2);
    assert.deepStrictEqual(await h.ships(page), seen);
    await context.close();
  });
}

test('losing focus releases every held key', async () => {
  const { page, context } = await started();
  await page.keyboard.down('ArrowDown');
  await page.keyboard.down('t');
  await h.step(page, FRAME_MS, 5);
  const before = await h.ships(page);
  h.near(before.blue, { x: 100, y: 300 + 5 * STEP }, 'BLUE');
  h.near(before.red, { x: 700, y: 300 - 5 * STEP }, 'RED');
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await h.step(page, FRAME_MS, 5);
  assert.deepStrictEqual(await h.ships(page), before);
  await context.close();
});

test('a hidden page does not advance the match', async () => {
  const { page, context } = await started();
  const shown = () => page.evaluate(() => Module.duelstarFrames.shown);
  const before = await shown();
  await page.evaluate(() => testClock.setHidden(true));
  // A minute passes and the display refreshes, but the game does not go on.
  // (Counted from here: an earlier refresh must not stand in for this one.)
  const delivered = await page.evaluate(() => testClock.delivered());
  await page.evaluate(() => { testClock.advance(60000); testClock.frames(1); });
  await h.waitUntil(page, (n) => testClock.delivered() > n, delivered);
  assert.strictEqual(await shown(), before);
  await page.evaluate(() => testClock.setHidden(false));
  // Back: the next frame's step is that frame's 20 ms, not the minute away.
  await page.keyboard.down('ArrowRight');
  await h.step(page, FRAME_MS, 1);
  await page.keyboard.up('ArrowRight');
  h.near((await h.ships(page)).blue, { x: 100 + STEP, y: 300 }, 'BLUE');
  await context.close();
});
