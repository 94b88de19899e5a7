// SPDX-License-Identifier: MIT
// Whole online matches between two Chromium pages of the browser build, served
// with the room service by serve.py in a network of the test's own
// (in-netns.sh): the ships fly themselves (?script=), both pages must end on
// the same result, over the direct channel and over the relay; a rematch once
// both press Play again; a third page told the room is full; a page closed
// mid-match heard of within 6 s; rollbacks over a link with added delay; a
// desync ending the match on both pages with the state in the console; a
// room on a static host that has no room service.
'use strict';

const path = require('node:path');
const assert = require('node:assert');
const { spawn } = require('node:child_process');
const { test, before, after } = require('node:test');
const { chromium } = require('playwright-core');
const { serve } = require('./harness.js');

const CHROMIUM = process.env.DUELSTAR_CHROMIUM || '/usr/bin/chromium';
const SITE = process.env.DUELSTAR_WEB_BUILD || path.join(__dirname, '..', '..', 'build-web', 'site');
const SERVE = path.join(__dirname, '..', 'serve.py');
const PORT = 8000; // free: the network is the test's own
const LINK_TIMEOUT = 30000; // ms for both games to load and link, the relay's wait included
const MATCH_TIMEOUT = 180000; // ms: a scripted match takes well under a minute
const LEFT_TIMEOUT = 6000; // ms for a page to say that the other one went
const LAG = 40; // ms each page holds back what arrives
const RESULT = /^(Red|Blue) wins (\d)-(\d) \( \d+ fps \)$/;

let server;
let browser;
const BROWSER_ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  // Host candidates named by their address: no mDNS answers in this network.
  '--disable-features=WebRtcHideLocalIpsWithMdns',
  // Both pages play at the display's pace though neither is in front.
  '--disable-renderer-backgrounding', '--disable-background-timer-throttling',
  '--disable-backgrounding-occluded-windows'];

before(async () => {
  server = spawn('python3', [SERVE, SITE, String(PORT)], { stdio: ['ignore', 'pipe', 'inherit'] });
  await new Promise((resolve, reject) => {
    server.stdout.once('data', resolve);
    server.once('exit', (status) => reject(new Error(`serve.py ended with ${status}`)));
  });
  browser = await chromium.launch({
    executablePath: CHROMIUM, headless: true, args: BROWSER_ARGS,
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.kill();
});

// Every WebRTC connection the page makes may use only TURN servers, and it
// is given none: no direct channel can open, as behind a strict firewall.
function blockDirect() {
  const Original = window.RTCPeerConnection;
  window.RTCPeerConnection = function (config) {
    return new Original({ ...config, iceServers: [], iceTransportPolicy: 'relay' });
  };
  window.RTCPeerConnection.prototype = Original.prototype;
}

// A page at ?room=code plus query, its console kept; relayed, without a
// direct channel.
async function openPage(code, query = '', relayed = false) {
  const context = await browser.newContext();
  if (relayed) await context.addInitScript(blockDirect);
  const page = await context.newPage();
  const consoleLines = [];
  page.on('console', (message) => consoleLines.push(message.text()));
  await page.goto(`http://127.0.0.1:${PORT}/?room=${code}${query}`);
  return { page, consoleLines, close: () => context.close() };
}

async function linked(page) {
  await page.waitForFunction(() => window.duelstarNet && window.duelstarNet.state === 'linked',
    null, { timeout: LINK_TIMEOUT });
  return page.evaluate(() => ({ side: window.duelstarNet.side, path: window.duelstarNet.path }));
}

// The result of the match numbered round (from 1) as both pages show it, the
// frame rate cut off: it is each page's own.
async function results(pages, round) {
  const lines = [];
  for (const { page } of pages) {
    await page.waitForFunction((n) => window.duelstarNet.results.length >= n, round,
      { timeout: MATCH_TIMEOUT });
    const line = await page.evaluate((n) => window.duelstarNet.results[n - 1], round);
    const got = RESULT.exec(line);
    assert.ok(got, `result line: ${line}`);
    assert.ok(Math.max(Number(got[2]), Number(got[3])) === 3, `a whole match: ${line}`);
    assert.strictEqual(await page.locator('#again').innerText(), 'Play again');
    lines.push(`${got[1]} ${got[2]}-${got[3]}`);
  }
  assert.strictEqual(lines[0], lines[1], 'both pages show the same result');
  return lines[0];
}

async function figures(page) {
  return page.evaluate(() => ({ ...window.duelstarNet }));
}

// A whole scripted match between two pages of room code; each flies from its own seed.
async function playMatch(code, query = '', relayed = false) {
  const red = await openPage(code, `&script=1${query}`, relayed);
  await red.page.waitForFunction(() => window.duelstarNet && window.duelstarNet.state === 'waiting');
  const blue = await openPage(code, `&script=2${query}`, relayed);
  const sides = [await linked(red.page), await linked(blue.page)];
  const result = await results([red, blue], 1);
  return { red, blue, sides, result };
}

function report(name, net) {
  console.log(`# ${name}: linked ${net.linkedAt.toFixed(0)} ms and first frame ` +
    `${net.firstFrameAt.toFixed(0)} ms after opening the link, ` +
    `ping ${net.ping === null ? '-' : net.ping.toFixed(1)} ms, ${net.frames} frames, ` +
    `${net.rollbacks} rollbacks (${net.framesRolledBack} frames, deepest ${net.deepest}), ` +
    `${net.stalls} stalls`);
}

test('a whole match over the direct channel ends alike on both pages; a rematch once both press Play again', async () => {
  const { red, blue, sides, result } = await playMatch('DIRECT');
  assert.deepStrictEqual(sides, [{ side: 'red', path: 'direct' }, { side: 'blue', path: 'direct' }]);
  assert.match(await red.page.locator('#online').innerText(), /^Room DIRECT · you fly RED · direct · \d+ ms$/);
  report('direct, red', await figures(red.page));
  report('direct, blue (opened the link)', await figures(blue.page));
  console.log(`# direct: ${result}`);

  // One press waits for the other player's.
  await red.page.click('#again');
  assert.strictEqual(await red.page.locator('#again').innerText(), 'Waiting for the other player…');
  assert.strictEqual(await red.page.evaluate(() => window.duelstarNet.round), 0);
  assert.ok(await blue.page.locator('#end').isVisible(), 'the other page still shows the result');
  await blue.page.click('#again');
  for (const { page } of [red, blue]) {
    await page.waitForFunction(() => window.duelstarNet.round === 1 && !window.duelstar.ended);
  }
  console.log(`# rematch: ${await results([red, blue], 2)}`);

  // Gone while the other waits at the end: said there, and a new room offered.
  await blue.close();
  await red.page.waitForFunction(() => window.duelstar.lines.includes('The other player left'),
    null, { timeout: LEFT_TIMEOUT });
  assert.strictEqual(await red.page.locator('#again').innerText(), 'New room');
  await red.close();
});

test('a whole match through the relay ends alike on both pages', async () => {
  const { red, blue, sides, result } = await playMatch('RELAYED', '', true);
  assert.deepStrictEqual(sides, [{ side: 'red', path: 'relayed' }, { side: 'blue', path: 'relayed' }]);
  report('relayed', await figures(red.page));
  console.log(`# relayed: ${result}`);
  await red.close();
  await blue.close();
});

test('over a link with added delay the pages roll back, and still agree', async () => {
  const { red, blue } = await playMatch('LAGGED', `&lag=${LAG}`);
  // The page whose game runs behind may always hold the other's inputs in
  // time, so the rollbacks are counted over the two.
  let rollbacks = 0;
  for (const [name, side] of [['red', red], ['blue', blue]]) {
    const net = await figures(side.page);
    report(`lag ${LAG} ms each way, ${name}`, net);
    rollbacks += net.rollbacks;
    assert.ok(net.ping >= 2 * LAG, `ping ${net.ping} ms with ${LAG} ms held back each way`);
  }
  assert.ok(rollbacks > 0, `rollbacks on the two pages: ${rollbacks}`);
  await red.close();
  await blue.close();
});

test('a third page hears the room is full; a page closed mid-match is heard of within 6 s', async () => {
  const red = await openPage('LEAVER', '&script=1');
  await red.page.waitForFunction(() => window.duelstarNet && window.duelstarNet.state === 'waiting');
  const blue = await openPage('LEAVER', '&script=2');
  await linked(red.page);
  const third = await openPage('LEAVER');
  await third.page.waitForFunction(() => window.duelstar.ended, null, { timeout: LINK_TIMEOUT });
  assert.deepStrictEqual(await third.page.evaluate(() => window.duelstar.lines),
    ['Room LEAVER is full: it already has its two players.']);
  assert.strictEqual(await third.page.locator('#again').innerText(), 'New room');

  await red.page.waitForFunction(() => window.duelstarNet.frames > 0, null, { timeout: LINK_TIMEOUT });
  await blue.close();
  await red.page.waitForFunction(() => window.duelstar.ended, null, { timeout: LEFT_TIMEOUT });
  const lines = await red.page.evaluate(() => window.duelstar.lines);
  assert.deepStrictEqual(lines, ['ERROR: Net: The other player left']);
  assert.strictEqual(await red.page.locator('#again').innerText(), 'New room');
  // A new room is a fresh code of the same kind.
  await red.page.click('#again');
  await red.page.waitForFunction(() => window.duelstarNet && window.duelstarNet.room !== 'LEAVER' &&
    window.duelstarNet.state === 'waiting');
  assert.match(await red.page.evaluate(() => window.duelstarNet.room), /^[A-Z0-9]{6}$/);
  await third.close();
  await red.close();
});

test('Play online makes a room and shows its link, with a copy button; the link opened elsewhere joins it', async () => {
  const context = await browser.newContext();
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  const maker = await context.newPage();
  await maker.goto(`http://127.0.0.1:${PORT}/`);
  await maker.click('#online-play');
  await maker.waitForFunction(() => window.duelstarNet && window.duelstarNet.state === 'waiting');
  assert.ok(await maker.locator('#room-link').isVisible());
  const link = await maker.locator('#room-link').inputValue();
  assert.strictEqual(link, maker.url());
  assert.match(link, /\?room=[A-Z0-9]{6}$/);
  await maker.click('#copy-link');
  assert.strictEqual(await maker.evaluate(() => navigator.clipboard.readText()), link);

  const other = await browser.newContext();
  const joiner = await other.newPage();
  await joiner.goto(link);
  assert.deepStrictEqual([await linked(maker), await linked(joiner)],
    [{ side: 'red', path: 'direct' }, { side: 'blue', path: 'direct' }]);
  assert.ok(await maker.locator('#waiting').isHidden(), 'the link goes once the match starts');
  assert.ok(await joiner.locator('#online-play').isHidden(), 'no second room from a room');
  assert.match(await joiner.locator('#keys-hint').innerText(), /^Your ship: /);
  await context.close();
  await other.close();
});

test('on a static host without the room service, a room says so and offers a new one', async () => {
  const plain = await serve();
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`${plain.url}?room=STATIC`);
  await page.waitForFunction(() => window.duelstar.ended, null, { timeout: LINK_TIMEOUT });
  assert.deepStrictEqual(await page.evaluate(() => window.duelstar.lines),
    ['The room service cannot be reached.']);
  assert.strictEqual(await page.locator('#again').innerText(), 'New room');
  await context.close();
  plain.close();
});

// Flips a bit of every checksum this page's game sends: the other game must
// find that the two disagree. A packet's checksum, when it has one, is its
// last 8 bytes, after a flag byte at 17 plus the number of inputs it carries.
function corruptChecksums() {
  const online = window.duelstarOnline;
  const send = online.send;
  online.send = (bytes) => {
    const flag = 17 + bytes[11];
    if (bytes[flag] === 1) bytes[bytes.length - 1] ^= 1;
    send(bytes);
  };
}

test('a desync ends the match on both pages with a clear line, the state in the console', async () => {
  const red = await openPage('DESYNC', '&script=1');
  await red.page.waitForFunction(() => window.duelstarNet && window.duelstarNet.state === 'waiting');
  const blue = await openPage('DESYNC', '&script=2');
  await blue.page.evaluate(corruptChecksums);
  await red.page.waitForFunction(() => window.duelstar.ended, null, { timeout: LINK_TIMEOUT });
  const lines = await red.page.evaluate(() => window.duelstar.lines);
  assert.strictEqual(lines.length, 1, `lines: ${JSON.stringify(lines)}`);
  assert.match(lines[0], /^ERROR: Net: The two games disagree at frame \d+ \(checksum [0-9a-f]{16} here, [0-9a-f]{16} there\); this game's state is in the browser's console$/);
  assert.ok(red.consoleLines.some((line) => /^step \d+ winner \d+ checksum [0-9a-f]{16}/.test(line)),
    'the state is in the console');
  assert.ok(red.consoleLines.some((line) => /^blue shot 0 direction/.test(line)), 'down to the shots');
  // The other page's own frames must see it: on a loaded machine that is no
  // leaver's 6 s, and a line lost on the way would show as a leaver below.
  await blue.page.waitForFunction(() => window.duelstar.ended, null, { timeout: LINK_TIMEOUT });
  const told = await blue.page.evaluate(() => window.duelstar.lines);
  assert.strictEqual(told[0], `The other game stopped: ${lines[0]}`);
  assert.strictEqual(await red.page.evaluate(() => window.duelstar.exitStatus), 1);
  await red.close();
  await blue.close();
});
