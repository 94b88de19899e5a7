// SPDX-License-Identifier: MIT
// How the browser game ends without a winner, and how it reads pictures:
// ESCAPE ends it with no line; a missing or unreadable picture ends it with
// its one ERROR line on the page; every picture it accepts draws as the
// desktop game draws it. Pictures are swapped in the game's file package.
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const h = require('./harness.js');

const REFERENCE = process.env.DUELSTAR_REFERENCE_FRAME;
const IMAGES = process.env.DUELSTAR_IMAGES || path.join(__dirname, '..', '..', 'images');
const SOUNDS = path.join(IMAGES, '..', 'sounds');

// The build's file package with some pictures replaced (a Buffer) or left
// out (null): the loader script's file list and the data file (packed with
// gzip), rebuilt.
function packageWith(changes) {
  const script = fs.readFileSync(path.join(h.BUILD, 'duelstar.js'), 'latin1');
  const data = zlib.gunzipSync(fs.readFileSync(path.join(h.BUILD, 'duelstar.data')));
  const found = /loadPackage\((\{"files":.*?"package_uuid":"[^"]*"\})\)/.exec(script);
  assert.ok(found, 'the file list in duelstar.js');
  const metadata = JSON.parse(found[1]);
  const parts = [];
  const files = [];
  let at = 0;
  for (const file of metadata.files) {
    const name = file.filename.slice(1); // "images/..."
    let bytes = data.subarray(file.start, file.end);
    if (name in changes) bytes = changes[name];
    if (bytes === null) continue;
    files.push({ filename: file.filename, start: at, end: at + bytes.length });
    parts.push(bytes);
    at += bytes.length;
  }
  const rebuilt = { ...metadata, files, remote_package_size: at };
  return {
    'duelstar.js': script.replace(found[1], JSON.stringify(rebuilt)),
    'duelstar.data': zlib.gzipSync(Buffer.concat(parts)),
  };
}

// A picture's pixels (top row first, RGB) from a 24-bit bottom-up BMP.
function readPicture(name) {
  const bytes = fs.readFileSync(path.join(IMAGES, name));
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  const rowBytes = Math.ceil((width * 3) / 4) * 4;
  const rgb = [];
  for (let y = 0; y < height; y += 1) {
    const row = offset + (height - 1 - y) * rowBytes;
    for (let x = 0; x < width; x += 1) {
      rgb.push([bytes[row + x * 3 + 2], bytes[row + x * 3 + 1], bytes[row + x * 3]]);
    }
  }
  return { width, height, rgb };
}

// The picture written again as a BMP of another kind. info: the info
// header's length; depth: 24, 32 or 8 (8 keeps the first 256 colours' worth
// of a grey ramp); topDown: rows stored top row first.
function writePicture(picture, { info = 40, depth = 24, topDown = false, declaredDepth } = {}) {
  const { width, height, rgb } = picture;
  const paletteBytes = depth === 8 ? 256 * (info === 12 ? 3 : 4) : 0;
  const rowBytes = Math.ceil((width * depth) / 32) * 4;
  const offset = 14 + info + paletteBytes;
  const out = Buffer.alloc(offset + rowBytes * height);
  out.write('BM', 0, 'latin1');
  out.writeUInt32LE(out.length, 2);
  out.writeUInt32LE(offset, 10);
  out.writeUInt32LE(info, 14);
  if (info === 12) {
    out.writeUInt16LE(width, 18);
    out.writeUInt16LE(height, 20);
    out.writeUInt16LE(1, 22);
    out.writeUInt16LE(declaredDepth || depth, 24);
  } else {
    out.writeInt32LE(width, 18);
    out.writeInt32LE(topDown ? -height : height, 22);
    out.writeUInt16LE(1, 26);
    out.writeUInt16LE(declaredDepth || depth, 28);
    out.writeUInt32LE(rowBytes * height, 34);
  }
  for (let i = 0; depth === 8 && i < 256; i += 1) {
    out.fill(i, 14 + info + i * 4, 14 + info + i * 4 + 3);
  }
  for (let y = 0; y < height; y += 1) {
    const row = offset + (topDown ? y : height - 1 - y) * rowBytes;
    for (let x = 0; x < width; x += 1) {
      const [r, g, b] = rgb[y * width + x];
      if (depth === 8) {
        out[row + x] = Math.round((r + g + b) / 3);
      } else {
        const at = row + x * (depth / 8);
        out[at] = b;
        out[at + 1] = g;
        out[at + 2] = r;
      }
    }
  }
  return out;
}

let chromium;
before(async () => {
  chromium = await h.launch();
});
after(async () => {
  await chromium.close();
});

// Runs the game with the changed package until it ends or shows its first
// frame; with the test's clock, past the loading picture at once.
async function run(changes, until) {
  const server = await h.serve(packageWith(changes));
  const { page, context } = await h.open(chromium.browser, server.url, { clock: true });
  // A game that cannot show its loading picture ends before its first frame.
  await h.waitUntil(page, () => duelstar.exitStatus !== null ||
    (Module.duelstarFrames && Module.duelstarFrames.handedOver >= 1));
  await page.evaluate(() => testClock.frames(1));
  await h.waitUntil(page, () => duelstar.exitStatus !== null || Module.duelstarFrames.shown >= 1);
  await page.evaluate((t) => testClock.advance(t), h.LOADING_TIME);
  const result = await until(page);
  await context.close();
  server.close();
  return result;
}

test('ESCAPE ends the game with no line, status 0, and the offer to play again', async () => {
  const end = await run({}, async (page) => {
    await h.waitHandedOver(page, 2);
    await page.keyboard.down('Escape');
    await page.evaluate(() => testClock.frames(1));
    const result = await h.waitForExit(page);
    result.again = await page.locator('#again').isVisible();
    return result;
  });
  assert.deepStrictEqual(end, { status: 0, lines: [], again: true });
});

const ship = readPicture('ship_red.bmp');
const REFUSED = [
  { what: 'a missing picture', changes: { 'images/blueboom.bmp': null },
    line: "ERROR: GFX::loadbmp(): Couldn't open images/blueboom.bmp" },
  { what: 'a missing loading picture', changes: { 'images/loading.bmp': null },
    line: "ERROR: GFX::loadbmp(): Couldn't open images/loading.bmp" },
  { what: 'a depth BMP does not define (the header check)',
    changes: { 'images/ship_red.bmp': writePicture(ship, { declaredDepth: 2 }) },
    line: 'ERROR: GFX::loadbmp(): images/ship_red.bmp: Unsupported BMP bits per pixel' },
  { what: 'a paletted picture',
    changes: { 'images/ship_red.bmp': writePicture(ship, { depth: 8 }) },
    line: 'ERROR: GFX::loadbmp(): images/ship_red.bmp: Unsupported BMP bits per pixel in the browser' },
  { what: 'a 52-byte header, which the browser reader does not know',
    changes: { 'images/ship_red.bmp': writePicture(ship, { info: 52 }) },
    line: 'ERROR: GFX::loadbmp(): images/ship_red.bmp: Unsupported BMP header in the browser' },
  { what: 'a missing sound', changes: { 'sounds/hit.wav': null },
    line: "ERROR: SFX::loadwav(): Couldn't open sounds/hit.wav" },
  { what: 'a sound cut short',
    changes: { 'sounds/explosion.wav': fs.readFileSync(path.join(SOUNDS, 'explosion.wav')).subarray(0, 1044) },
    line: 'ERROR: SFX::loadwav(): sounds/explosion.wav: WAV sound data cut short' },
];

for (const c of REFUSED) {
  test(`${c.what} ends the game with its ERROR line`, async () => {
    const end = await run(c.changes, async (page) => {
      const result = await h.waitForExit(page);
      result.shown = await page.locator('#lines').innerText();
      return result;
    });
    assert.deepStrictEqual(end, { status: 1, lines: [c.line], shown: c.line });
  });
}

const ACCEPTED = [
  { what: '32 bits per pixel', options: { depth: 32 } },
  { what: 'rows stored top-down', options: { topDown: true } },
  { what: 'the 12-byte core header', options: { info: 12 } },
  { what: 'the 124-byte header', options: { info: 124 } },
];

for (const c of ACCEPTED) {
  test(`a picture of ${c.what} draws as on the desktop`, async () => {
    const bytes = writePicture(ship, c.options);
    const images = fs.mkdtempSync(path.join(os.tmpdir(), 'duelstar-images-'));
    fs.cpSync(IMAGES, images, { recursive: true });
    fs.writeFileSync(path.join(images, 'ship_red.bmp'), bytes);
    const out = path.join(images, 'frame');
    execFileSync(REFERENCE, [images, 'none', out]);
    const expected = fs.readFileSync(out);
    fs.rmSync(images, { recursive: true });

    const rgba = await run({ 'images/ship_red.bmp': bytes }, async (page) => {
      await h.waitHandedOver(page, 2);
      return h.readFrame(page);
    });
    let wrong = 0;
    for (let i = 0; i < h.WIDTH * h.HEIGHT; i += 1) {
      if (h.rgb565(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]) !== expected.readUInt16LE(i * 2)) {
        wrong += 1;
      }
    }
    assert.strictEqual(wrong, 0, `${wrong} pixels differ from the desktop's frame`);
  });
}
