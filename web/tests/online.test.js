// SPDX-License-Identifier: MIT
// The online link between two Chromium pages through the room service, run in
// a network of its own (in-netns.sh): a direct channel, the relay when none
// can open, a full room, and a page closed while the other waits on it.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const assert = require('node:assert');
const { spawn } = require('node:child_process');
const { test, before, after } = require('node:test');
const { chromium } = require('playwright-core');

const CHROMIUM = process.env.DUELSTAR_CHROMIUM || '/usr/bin/chromium';
const SERVE = path.join(__dirname, '..', 'serve.py');
const NETLINK = path.join(__dirname, '..', 'netlink.js');
const PORT = 8000; // free: the network is the test's own
const LINK_TIMEOUT = 15000; // ms to link, the relay's wait included
const LEFT_TIMEOUT = 6000; // ms for a page to hear that the other one went
const MESSAGES = 20; // each way

let server;
let browser;
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'duelstar-online-'));

before(async () => {
  fs.copyFileSync(NETLINK, path.join(folder, 'netlink.js'));
  fs.writeFileSync(path.join(folder, 'index.html'),
    '<!DOCTYPE html><title>link</title><script src="netlink.js"></script>');
  server = spawn('python3', [SERVE, folder, String(PORT)], { stdio: ['ignore', 'pipe', 'inherit'] });
  await new Promise((resolve, reject) => {
    server.stdout.once('data', resolve);
    server.once('exit', (status) => reject(new Error(`serve.py ended with ${status}`)));
  });
  browser = await chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      // Host candidates named by their address: no mDNS answers in this network.
      '--disable-features=WebRtcHideLocalIpsWithMdns'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.kill();
  fs.rmSync(folder, { recursive: true, force: true });
});

// A page joined to room code; its link's states are kept in window.seen and
// what the other page sent in window.heard.
async function joinPage(code, rtc) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`http://127.0.0.1:${PORT}/`);
  await page.evaluate(([room, config]) => {
    window.seen = [];
    window.heard = [];
    window.link = window.DuelstarNetlink.join(room, config ? { rtc: config } : {});
    window.link.onchange = (link) => window.seen.push(`${link.state}/${link.path}`);
    window.link.onbytes = (bytes) => window.heard.push(new TextDecoder().decode(bytes));
  }, [code, rtc]);
  return { page, close: () => context.close() };
}

async function linkState(page, state, timeout = LINK_TIMEOUT) {
  await page.waitForFunction((wanted) => window.link.state === wanted, state, { timeout });
  return page.evaluate(() => ({ side: window.link.side, path: window.link.path }));
}

async function exchange(red, blue) {
  for (const [from, to, word] of [[red, blue, 'red'], [blue, red, 'blue']]) {
    await from.page.evaluate(([count, name]) => {
      for (let i = 0; i < count; i += 1) window.link.send(new TextEncoder().encode(`${name} ${i}`));
    }, [MESSAGES, word]);
    await to.page.waitForFunction((count) => window.heard.length >= count, MESSAGES);
    // The direct channel drops late messages as UDP would; on loopback none are late.
    const heard = await to.page.evaluate(() => window.heard.splice(0));
    assert.deepStrictEqual(new Set(heard), new Set(Array.from({ length: MESSAGES }, (_, i) => `${word} ${i}`)));
  }
  await red.page.waitForFunction(() => window.link.ping !== null);
  return red.page.evaluate(() => window.link.ping);
}

const PATHS = [
  { name: 'direct', rtc: null, path: 'direct' },
  // No candidate may be gathered, so no channel opens and the relay must carry it.
  { name: 'relayed', rtc: { iceServers: [], iceTransportPolicy: 'relay' }, path: 'relayed' },
];

for (const { name, rtc, path: wanted } of PATHS) {
  test(`two pages in one room exchange messages, ${name}`, async () => {
    const code = name === 'direct' ? 'DIRECT' : 'RELAYED';
    const red = await joinPage(code, rtc);
    assert.deepStrictEqual(await linkState(red.page, 'waiting'), { side: 'red', path: null });
    const blue = await joinPage(code, rtc);
    assert.deepStrictEqual(await linkState(red.page, 'linked'), { side: 'red', path: wanted });
    assert.deepStrictEqual(await linkState(blue.page, 'linked'), { side: 'blue', path: wanted });
    const ping = await exchange(red, blue);
    assert.ok(ping >= 0 && ping < 1000, `ping ${ping} ms`);
    console.log(`# ${name}: ping ${ping.toFixed(1)} ms`);
    await red.close();
    await blue.close();
  });
}

test('a third page is told the room is full, and a page closed is heard of within 6 s', async () => {
  const red = await joinPage('THREE');
  const blue = await joinPage('THREE');
  await linkState(red.page, 'linked');
  const third = await joinPage('THREE');
  assert.deepStrictEqual(await linkState(third.page, 'full'), { side: null, path: null });
  await blue.close();
  await linkState(red.page, 'left', LEFT_TIMEOUT);
  await third.close();
  await red.close();
});
