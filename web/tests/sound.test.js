// SPDX-License-Identifier: MIT
// The browser game's sound, measured in the page's own audio graph: a meter
// (a ScriptProcessor) placed before the destination sums what reaches each
// channel. A shot of each side is heard, louder on its own side; the page's
// sound button silences the game and brings the sound back; its label agrees
// with what is heard when m is pressed during a slow download, and a muted
// game stays muted at Play again. Real time.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const TAP = 100; // ms: shorter than the 500 ms between shots
const AFTER_HIT = 1600; // ms: a shot's flight to the other ship (1.09 s) and its hit's sound
const WINDOW = 6; // meter blocks of 1,024 frames (some 130 ms): the loud part of a shot
const QUIET = 1e-3; // summed level of a block that is silence

const shared = h.serveAndLaunch();

// Installed before the page's scripts: every context's destination is a
// meter that passes the sound on and keeps, for each block, the summed level
// of the left and the right channel.
function placeMeter() {
  window.soundBlocks = [];
  const real = Object.getOwnPropertyDescriptor(BaseAudioContext.prototype, 'destination').get;
  Object.defineProperty(BaseAudioContext.prototype, 'destination', {
    get() {
      if (!this.meter) {
        const meter = this.meter = this.createScriptProcessor(1024, 2, 2);
        meter.channelCount = 2;
        meter.channelCountMode = 'explicit';
        meter.onaudioprocess = (event) => {
          const levels = [0, 1].map((c) => {
            const input = event.inputBuffer.getChannelData(c);
            event.outputBuffer.getChannelData(c).set(input);
            return input.reduce((sum, v) => sum + Math.abs(v), 0);
          });
          window.soundBlocks.push(levels);
        };
        meter.connect(real.call(this));
      }
      return this.meter;
    },
  });
  // The meter runs from the context's start, heard or not.
  const Context = window.AudioContext;
  window.AudioContext = class extends Context {
    constructor(...options) {
      super(...options);
      this.destination; // eslint-disable-line no-unused-expressions
    }
  };
}

// Past the loading picture: the match's frames run.
const running = (page) =>
  h.waitUntil(page, () => window.Module && Module.duelstarFrames && Module.duelstarFrames.shown >= 3);

async function started(url = shared.server.url) {
  const context = await shared.chromium.browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(placeMeter);
  await page.goto(url);
  await running(page);
  return { page, context };
}

const blocks = (page) => page.evaluate(() => window.soundBlocks.length);

// Waits for the first heard block from mark on and sums the shot's window
// from there; null when nothing is heard in time.
async function heardFrom(page, mark, timeout = h.STATE_TIMEOUT) {
  const onset = await h.waitUntil(page, ([from, quiet]) => {
    for (let i = from; i < window.soundBlocks.length; i += 1) {
      if (window.soundBlocks[i][0] + window.soundBlocks[i][1] > quiet) return i + 1;
    }
    return 0;
  }, [mark, QUIET], timeout).catch(() => 0);
  if (!onset) return null;
  await h.waitUntil(page, (n) => window.soundBlocks.length >= n, onset - 1 + WINDOW);
  return page.evaluate(([from, count]) => window.soundBlocks.slice(from, from + count)
    .reduce((sum, b) => ({ left: sum.left + b[0], right: sum.right + b[1] }),
      { left: 0, right: 0 }), [onset - 1, WINDOW]);
}

async function tap(page, key) {
  await page.keyboard.down(key);
  await new Promise((resolve) => setTimeout(resolve, TAP));
  await page.keyboard.up(key);
}

const wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

test("each side's shot is heard, louder on its own side", async () => {
  const { page, context } = await started();
  let mark = await blocks(page);
  await tap(page, 's');
  const red = await heardFrom(page, mark);
  assert.ok(red, "RED's shot is heard");
  assert.ok(red.right > 2 * red.left, `RED's shot: ${JSON.stringify(red)}`);
  await wait(AFTER_HIT);
  mark = await blocks(page);
  await tap(page, 'Enter');
  const blue = await heardFrom(page, mark);
  assert.ok(blue, "BLUE's shot is heard");
  assert.ok(blue.left > 2 * blue.right, `BLUE's shot: ${JSON.stringify(blue)}`);
  await context.close();
});

test('the sound button silences the game, shows it, and brings the sound back', async () => {
  const { page, context } = await started();
  const button = page.locator('#sound');
  assert.strictEqual(await button.innerText(), 'Sound: on');
  await button.click();
  assert.strictEqual(await button.innerText(), 'Sound: off');
  assert.strictEqual(await button.getAttribute('aria-pressed'), 'true');
  // RED fires and hits; nothing of it is heard.
  let mark = await blocks(page);
  await tap(page, 's');
  await wait(AFTER_HIT);
  assert.strictEqual(await heardFrom(page, mark, 1), null, 'a sound while muted');
  assert.ok(await blocks(page) > mark, 'the meter ran meanwhile');
  // The m key switches it back on, and the button shows it.
  await tap(page, 'm');
  assert.strictEqual(await button.innerText(), 'Sound: on');
  mark = await blocks(page);
  await tap(page, 'Enter');
  const blue = await heardFrom(page, mark);
  assert.ok(blue && blue.left > 2 * blue.right, `BLUE's shot: ${JSON.stringify(blue)}`);
  await context.close();
});

// Silent while muted (RED fires and hits, and the meter runs meanwhile), or
// heard (BLUE's shot) while not: what the label says must be what is heard.
async function assertHeard(page, label) {
  assert.strictEqual(await page.locator('#sound').innerText(), label);
  const mark = await blocks(page);
  if (label === 'Sound: off') {
    await tap(page, 's');
    await wait(AFTER_HIT);
    assert.strictEqual(await heardFrom(page, mark, 1), null, `a sound under "${label}"`);
    assert.ok(await blocks(page) > mark, 'the meter ran meanwhile');
  } else {
    await tap(page, 'Enter');
    const blue = await heardFrom(page, mark);
    assert.ok(blue, `nothing heard under "${label}"`);
    await wait(AFTER_HIT);
  }
}

test('m pressed while the game still downloads: the label agrees with what is heard', async () => {
  // A slow host: the game's data arrives only when the test lets it.
  let release;
  const arrived = new Promise((resolve) => { release = resolve; });
  const data = require('node:fs').readFileSync(require('node:path').join(h.BUILD, 'duelstar.data'));
  const server = await h.serve({ 'duelstar.data': () => arrived.then(() => data) });
  const context = await shared.chromium.browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(placeMeter);
  await page.goto(server.url);
  await h.waitUntil(page, () => !document.getElementById('loading').hidden);
  await tap(page, 'm');
  assert.strictEqual(await page.locator('#sound').innerText(), 'Sound: off');
  release();
  await running(page);
  await assertHeard(page, 'Sound: off');
  await tap(page, 'm');
  await assertHeard(page, 'Sound: on');
  await context.close();
  server.close();
});

test('a muted game stays muted at Play again, until m brings the sound back', async () => {
  const { page, context } = await started();
  await page.locator('#sound').click();
  await assertHeard(page, 'Sound: off');
  await page.keyboard.press('Escape');
  await h.waitForExit(page);
  // After the end there is nothing to switch, and the button says so.
  assert.strictEqual(await page.locator('#sound').isDisabled(), true);
  await page.evaluate(() => { window.stillThisPage = true; });
  await page.click('#again');
  await h.waitUntil(page, () => window.stillThisPage === undefined);
  await running(page);
  await assertHeard(page, 'Sound: off');
  await tap(page, 'm');
  await assertHeard(page, 'Sound: on');
  await context.close();
});
