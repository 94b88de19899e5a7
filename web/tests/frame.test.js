// SPDX-License-Identifier: MIT
// The browser shows the desktop game's frames: the opening frame equals the
// one composed from images/ by the desktop tests' own code at the screen's
// 16-bit precision, the banner blended within one level per channel, and p
// downloads a 24-bit screenshot.bmp holding exactly the frame shown.
'use strict';

const { test, before } = require('node:test');
const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const h = require('./harness.js');

const REFERENCE = process.env.DUELSTAR_REFERENCE_FRAME;
const IMAGES = process.env.DUELSTAR_IMAGES || path.join(__dirname, '..', '..', 'images');
const BANNER_TOP = 580; // px
const BANNER_ROWS = 17; // px
const BANNER_START = 800; // px: the banner starts just off the right edge
const BANNER_SPEED = 50; // px/s
const FRAME_MS = 200; // ms of game time per frame here: no keys are held
const FRAMES = 20; // 4 s, so the banner covers a quarter of its row

// The desktop's frame from the reference tool, as 16-bit pixels.
function reference(bannerX) {
  const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'duelstar-ref-')), 'frame');
  execFileSync(REFERENCE, [IMAGES, bannerX === null ? 'none' : String(bannerX), out]);
  const bytes = fs.readFileSync(out);
  fs.rmSync(path.dirname(out), { recursive: true });
  return (x, y) => bytes.readUInt16LE((y * h.WIDTH + x) * 2);
}

function levels(p) {
  return [p >> 11, (p >> 5) & 0x3f, p & 0x1f];
}

// Pixels of the browser's frame that differ from the desktop's by more than
// the allowed levels of 5-6-5 colour: none anywhere, one within the banner.
function differences(rgba, expected, bannerLevels) {
  const found = [];
  for (let y = 0; y < h.HEIGHT; y += 1) {
    const allowed = y >= BANNER_TOP && y < BANNER_TOP + BANNER_ROWS ? bannerLevels : 0;
    for (let x = 0; x < h.WIDTH; x += 1) {
      const i = (y * h.WIDTH + x) * 4;
      const seen = levels(h.rgb565(rgba[i], rgba[i + 1], rgba[i + 2]));
      const want = levels(expected(x, y));
      if (seen.some((v, c) => Math.abs(v - want[c]) > allowed)) found.push({ x, y, seen, want });
    }
  }
  return found;
}

// Where the game puts the banner after n frames of dt: its single-precision
// steps, truncated as the frame drawing truncates it.
function bannerX(frames, ms) {
  const dt = Math.fround(ms * 0.001);
  let offset = BANNER_START;
  for (let i = 0; i < frames; i += 1) offset = Math.fround(offset - Math.fround(dt * BANNER_SPEED));
  return Math.trunc(offset);
}

function parseBmp(bytes) {
  assert.strictEqual(bytes.toString('latin1', 0, 2), 'BM');
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  const depth = bytes.readUInt16LE(28);
  const rowBytes = Math.ceil((width * 3) / 4) * 4;
  const rgba = Buffer.alloc(width * Math.abs(height) * 4);
  for (let y = 0; y < height; y += 1) {
    const row = offset + (height - 1 - y) * rowBytes; // bottom row first
    for (let x = 0; x < width; x += 1) {
      const i = (y * width + x) * 4;
      rgba[i] = bytes[row + x * 3 + 2];
      rgba[i + 1] = bytes[row + x * 3 + 1];
      rgba[i + 2] = bytes[row + x * 3];
      rgba[i + 3] = 255;
    }
  }
  return { width, height, depth, size: bytes.length, rgba };
}

before(() => {
  assert.ok(REFERENCE, 'DUELSTAR_REFERENCE_FRAME names the reference tool');
});
const shared = h.serveAndLaunch();

test('the opening frame is the desktop frame', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url, { clock: true });
  await h.startWithClock(page);
  const wrong = differences(await h.readFrame(page), reference(null), 0);
  assert.deepStrictEqual(wrong.slice(0, 5), [], `${wrong.length} pixels differ`);
  await context.close();
});

test('with the banner in, and p downloads that frame as screenshot.bmp', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { clock: true, downloads: true });
  await h.startWithClock(page);
  await h.step(page, FRAME_MS, FRAMES);
  const x = bannerX(FRAMES, FRAME_MS);
  assert.ok(x > 0 && x < h.WIDTH, `banner at ${x}`);
  const wrong = differences(await h.readFrame(page), reference(x), 1);
  assert.deepStrictEqual(wrong.slice(0, 5), [], `${wrong.length} pixels differ`);

  // p held for one frame: that frame is saved, then shown.
  const download = page.waitForEvent('download');
  await page.keyboard.down('p');
  await h.step(page, FRAME_MS, 1);
  await page.keyboard.up('p');
  const file = await download;
  assert.strictEqual(file.suggestedFilename(), 'screenshot.bmp');
  const saved = parseBmp(fs.readFileSync(await file.path()));
  assert.deepStrictEqual([saved.width, saved.height, saved.depth, saved.size],
    [800, 600, 24, 54 + 800 * 600 * 3]);
  const shown = await h.readFrame(page);
  assert.ok(saved.rgba.equals(shown), 'the screenshot holds the frame shown');
  await context.close();
});
