// SPDX-License-Identifier: MIT
// Whole matches in real time: one player holds fire until the other ship has
// been destroyed three times; the page shows the result line and the game
// ends with status 0. Frames follow the display refresh, so the result line's
// frame rate is the refresh rate, never that of a busy loop. The browser's
// console holds no warning or error from the first load to Play again's.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

// Headless Chromium refreshes at 60 Hz, which the mean of whole-millisecond
// frame rates puts at 60 to 70; a busy loop ran at about 230.
const MAX_FPS = 120;
const MIN_FPS = 10; // even on a loaded machine
const MATCH_TIMEOUT = 120000; // ms: a match takes about ten seconds

const shared = h.serveAndLaunch();

for (const { winner, fire } of [
  { winner: 'Red', fire: 's' },
  { winner: 'Blue', fire: 'Enter' },
]) {
  test(`${winner} wins a whole match 3-0`, async () => {
    const { page, context } = await h.open(shared.chromium.browser, shared.server.url);
    const warnings = [];
    page.on('console', (message) => {
      if (['warning', 'error'].includes(message.type())) warnings.push(message.text());
    });
    await h.waitHandedOver(page, 2); // past the loading picture
    await page.keyboard.down(fire);
    const end = await h.waitForExit(page, MATCH_TIMEOUT);
    assert.strictEqual(end.status, 0);
    assert.strictEqual(end.lines.length, 1, `lines: ${JSON.stringify(end.lines)}`);
    const got = new RegExp(`^${winner} wins 3-0 \\( (\\d+) fps \\)$`).exec(end.lines[0]);
    assert.ok(got, `result line: ${end.lines[0]}`);
    const fps = Number(got[1]);
    assert.ok(fps >= MIN_FPS && fps <= MAX_FPS, `fps ${fps}`);
    // The line is on the page too, and the last frame stays with an offer to play again.
    assert.strictEqual(await page.locator('#lines').innerText(), end.lines[0]);
    assert.ok(await page.locator('#again').isVisible());
    const frame = await h.readFrame(page);
    assert.ok(h.findShips(frame, h.RED_BRIGHT).length + h.findShips(frame, h.BLUE_BRIGHT).length > 0,
      'the last frame is still shown');
    // The next match loads as quietly.
    await page.keyboard.up(fire);
    await page.evaluate(() => { window.stillThisPage = true; });
    await page.click('#again');
    await h.waitUntil(page, () => window.stillThisPage === undefined && window.Module &&
      Module.duelstarFrames && Module.duelstarFrames.handedOver >= 2);
    assert.deepStrictEqual(warnings, []);
    await context.close();
  });
}
