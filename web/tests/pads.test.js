// SPDX-License-Identifier: MIT
// Gamepads in the browser: navigator.getGamepads is replaced in the page by
// scripted pads, listed as Chromium lists them (empty slots are null, the
// standard mapping's d-pad is buttons 12 to 15, the left stick axes 0 and 1).
// Pads appear only after the page has loaded, as a real pad does after its
// first press: the first to appear plays RED, the second BLUE.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const MATCH_TIMEOUT = 120000; // ms: a match takes about ten seconds
const MAX_FPS = 120; // as in the keyboard's matches
const MIN_FPS = 10;
const FRAME_MS = 20; // ms of game time per frame, with the test's clock
const STEP = 10; // px a ship moves in such a frame at 500 px/s
const BLUE_START = { x: 100, y: 300 };
const RED_START = { x: 700, y: 300 };
const DPAD_DOWN = 13; // the standard mapping's d-pad buttons
const DPAD_LEFT = 14;
const STICK_Y = 1; // the left stick's axes
const PAST_HALF = -0.6; // of the stick's travel, upwards
const SHORT_OF_HALF = -0.45;

// Runs in the page before its own scripts.
function scriptedPads() {
  const SLOTS = 4; // Chromium's slots, empty ones null
  const BUTTONS = 17; // the standard mapping's buttons
  const AXES = 4;
  const slots = new Array(SLOTS).fill(null);
  navigator.getGamepads = () => slots.slice();
  window.testPads = {
    plug(index) {
      slots[index] = {
        id: `Scripted pad ${index}`, index, connected: true, mapping: 'standard', timestamp: 0,
        axes: new Array(AXES).fill(0),
        buttons: Array.from({ length: BUTTONS }, () => ({ pressed: false, touched: false, value: 0 })),
      };
    },
    press(index, button, down) {
      slots[index].buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
    },
    axis(index, axis, value) { slots[index].axes[axis] = value; },
    unplug(index) { slots[index] = null; },
  };
}

const shared = h.serveAndLaunch();

// Some frames shown from now, so that the game has read the pads in between.
async function framesPass(page, count) {
  const now = await h.handedOver(page);
  await h.waitHandedOver(page, now + count);
}

async function matchEndsWith(page, winner) {
  const end = await h.waitForExit(page, MATCH_TIMEOUT);
  assert.strictEqual(end.status, 0);
  assert.strictEqual(end.lines.length, 1, `lines: ${JSON.stringify(end.lines)}`);
  const got = new RegExp(`^${winner} wins 3-0 \\( (\\d+) fps \\)$`).exec(end.lines[0]);
  assert.ok(got, `result line: ${end.lines[0]}`);
  assert.ok(Number(got[1]) >= MIN_FPS && Number(got[1]) <= MAX_FPS, `fps ${got[1]}`);
}

test('one pad that appears after the page loaded plays a whole match for RED', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { init: scriptedPads });
  await h.waitHandedOver(page, 2); // past the loading picture
  // In the second slot, behind an empty first one.
  await page.evaluate(() => { testPads.plug(1); testPads.press(1, 0, true); });
  await matchEndsWith(page, 'Red');
  await context.close();
});

test('of two pads the second to appear plays BLUE, whatever its slot', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { init: scriptedPads });
  await h.waitHandedOver(page, 2);
  await page.evaluate(() => testPads.plug(2));
  await framesPass(page, 2);
  await page.evaluate(() => { testPads.plug(0); testPads.press(0, 3, true); });
  await matchEndsWith(page, 'Blue');
  await context.close();
});

test('the stick steers past half its travel, the d-pad steers, and a pad gone releases', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { clock: true, init: scriptedPads });
  await h.startWithClock(page);
  await page.evaluate(() => { testPads.plug(0); testPads.plug(3); });
  const stick = (value) => page.evaluate(([a, v]) => testPads.axis(0, a, v), [STICK_Y, value]);

  await stick(SHORT_OF_HALF);
  await h.step(page, FRAME_MS, 5);
  h.near((await h.ships(page)).red, RED_START, 'RED, stick short of half');

  await stick(PAST_HALF);
  await h.step(page, FRAME_MS, 5);
  const up = { x: RED_START.x, y: RED_START.y - 5 * STEP };
  h.near((await h.ships(page)).red, up, 'RED, stick past half');
  await stick(0);
  await h.step(page, FRAME_MS, 3);
  h.near((await h.ships(page)).red, up, 'RED, stick centred');

  // The second pad's d-pad: BLUE down and left at once.
  await page.evaluate(([d, l]) => { testPads.press(3, d, true); testPads.press(3, l, true); },
    [DPAD_DOWN, DPAD_LEFT]);
  await h.step(page, FRAME_MS, 4);
  const held = { x: BLUE_START.x - 4 * STEP, y: BLUE_START.y + 4 * STEP };
  h.near((await h.ships(page)).blue, held, 'BLUE, d-pad down and left');

  // Pulled out while held: BLUE stops where it was.
  await page.evaluate(() => testPads.unplug(3));
  await h.step(page, FRAME_MS, 3);
  h.near((await h.ships(page)).blue, held, 'BLUE, pad gone');
  await context.close();
});
