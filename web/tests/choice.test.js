// SPDX-License-Identifier: MIT
// Who plays, chosen on the page: "Two players" or "Against the computer" with
// its level and ship. The choice starts a match against the computer, Play
// again and the next visit keep it, the address wins over it, junk or refused
// storage plays two players as the page always did, and the choice answers the
// mouse, the keyboard alone and a finger.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const MATCH_TIMEOUT = 120000; // ms: the hard pilot beats an idle player in seconds
const PHONE = { width: 844, height: 390 }; // px, a phone held sideways

const shared = h.serveAndLaunch();

// The game's command line as the page gave it, once the game has started.
async function started(page) {
  await h.waitUntil(page, () => window.Module && Module.duelstarFrames &&
    Module.duelstarFrames.handedOver >= 1);
  return page.evaluate(() => duelstar.arguments);
}

// Runs act, which makes the page load again, and waits for the new page's game.
async function reloadedBy(page, act) {
  await page.evaluate(() => { window.stillThisPage = true; });
  await act();
  await h.waitUntil(page, () => window.stillThisPage === undefined);
  return started(page);
}

// What the dialog shows when opened, then closed again.
async function dialogShows(page) {
  await page.click('#players');
  const shown = await page.evaluate(() => ({
    players: document.querySelector('#choice form').elements.players.value,
    level: document.getElementById('level').value,
    cpu: document.getElementById('cpu').value,
  }));
  await page.click('#choice button[value="cancel"]');
  return shown;
}

test('the choice on the page starts a match against the computer; Play again and the next visit keep it', async () => {
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url);
  assert.deepStrictEqual(await started(page), []);
  assert.strictEqual(await page.locator('#players').innerText(), 'Two players\u2026');
  await page.click('#players');
  await page.locator('#choice').getByLabel('Against the computer').check();
  await page.selectOption('#level', 'hard');
  await page.selectOption('#cpu', 'red');
  assert.match(await page.locator('#you-fly').innerText(), /^You fly BLUE, on the left:/);
  const args = await reloadedBy(page, () => page.click('#start'));
  assert.deepStrictEqual(args, ['--cpu', 'red', '--level', 'hard']);
  assert.strictEqual(await page.locator('#players').innerText(), 'vs computer, hard\u2026');
  assert.match(await page.locator('#keys-hint').innerText(), /^You fly BLUE, on the left: /);
  // Nobody plays BLUE: the computer on RED wins.
  for (const match of ['first', 'Play again']) {
    const end = await h.waitForExit(page, MATCH_TIMEOUT);
    assert.strictEqual(end.status, 0, match);
    assert.strictEqual(end.lines.length, 1, `${match}: ${JSON.stringify(end.lines)}`);
    assert.match(end.lines[0], /^Red wins 3-0 \( \d+ fps \)$/, match);
    if (match === 'first') {
      assert.deepStrictEqual(await reloadedBy(page, () => page.click('#again')),
        ['--cpu', 'red', '--level', 'hard']);
    }
  }
  // A later visit to the bare address.
  const later = await context.newPage();
  await later.goto(shared.server.url);
  assert.deepStrictEqual(await started(later), ['--cpu', 'red', '--level', 'hard']);
  assert.deepStrictEqual(await dialogShows(later), { players: 'computer', level: 'hard', cpu: 'red' });
  await context.close();
});

// What the page starts with from the address and from what an earlier visit
// kept (null: nothing); stored after: what is kept once the page has started.
const STARTS = [
  { what: 'nothing chosen', address: '', stored: null, args: [], button: 'Two players' },
  { what: 'a kept choice', address: '', stored: 'cpu=blue&level=easy',
    args: ['--cpu', 'blue', '--level', 'easy'], button: 'vs computer, easy',
    shown: { players: 'computer', level: 'easy', cpu: 'blue' } },
  { what: 'a kept demo match', address: '', stored: 'cpu=red,blue&level=hard',
    args: ['--cpu', 'red', '--cpu', 'blue', '--level', 'hard'], button: 'Computer demo, hard' },
  { what: 'the address over a kept choice', address: '?cpu=red&level=hard',
    stored: 'cpu=blue&level=easy', args: ['--cpu', 'red', '--level', 'hard'],
    button: 'vs computer, hard', shown: { players: 'computer', level: 'hard', cpu: 'red' } },
  { what: 'the address for two players over a kept choice', address: '?cpu=',
    stored: 'cpu=blue&level=easy', args: [], button: 'Two players',
    shown: { players: 'two', level: 'normal', cpu: 'blue' } },
  { what: 'an address level alone', address: '?level=hard', stored: null, args: [],
    button: 'Two players' },
  { what: 'kept junk', address: '', stored: '{"cpu": "blue"} \u0000', args: [],
    button: 'Two players' },
  { what: 'a kept unknown ship', address: '', stored: 'cpu=green&level=hard', args: [],
    button: 'Two players' },
  { what: 'a kept unknown level', address: '', stored: 'cpu=blue&level=insane',
    args: ['--cpu', 'blue', '--level', 'normal'], button: 'vs computer, normal' },
];

test('the page starts with the address, else the kept choice, else two players', async () => {
  for (const c of STARTS) {
    const init = c.stored === null ? null
      : { content: `localStorage.setItem('duelstar.players', ${JSON.stringify(c.stored)});` };
    const { page, context } = await h.open(shared.chromium.browser, shared.server.url + c.address,
      { init });
    assert.deepStrictEqual(await started(page), c.args, c.what);
    assert.strictEqual(await page.locator('#players').innerText(), `${c.button}\u2026`, c.what);
    if (c.shown) assert.deepStrictEqual(await dialogShows(page), c.shown, c.what);
    // Only a choice made on the page is kept.
    assert.strictEqual(await page.evaluate(() => localStorage.getItem('duelstar.players')),
      c.stored, c.what);
    assert.strictEqual(await page.evaluate(() => duelstar.exitStatus), null, c.what);
    await context.close();
  }
});

test('where storage is refused, the choice still starts its match and Play again keeps it', async () => {
  const refuse = () => {
    Object.defineProperty(window, 'localStorage', {
      get() { throw new DOMException('refused', 'SecurityError'); },
    });
  };
  const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
    { init: refuse });
  assert.deepStrictEqual(await started(page), []);
  await page.click('#players');
  await page.locator('#choice').getByLabel('Against the computer').check();
  const chosen = ['--cpu', 'blue', '--level', 'normal'];
  assert.deepStrictEqual(await reloadedBy(page, () => page.click('#start')), chosen);
  await page.keyboard.press('Escape');
  await h.waitForExit(page);
  assert.deepStrictEqual(await reloadedBy(page, () => page.click('#again')), chosen);
  await context.close();
});

// The same choice by the keyboard alone and by a finger, with the dialog's
// defaults: the computer on BLUE at the normal level. Keys on the choice never
// reach the game: ESCAPE there closes the dialog and the match plays on.
const WAYS = {
  async keyboard(page) {
    await page.keyboard.press('Tab');
    assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'players');
    await page.keyboard.press('Enter');
    assert.ok(await page.locator('#choice').isVisible());
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Escape');
    assert.ok(!(await page.locator('#choice').isVisible()));
    assert.strictEqual(await page.evaluate(() => duelstar.exitStatus), null);
    await page.keyboard.press('Tab');
    await page.keyboard.press('Space');
    assert.ok(await page.locator('#choice').isVisible());
    await page.keyboard.press('ArrowDown');
    assert.strictEqual(await page.evaluate(() => document.activeElement.value), 'computer');
    return reloadedBy(page, () => page.keyboard.press('Enter'));
  },
  async finger(page) {
    await page.locator('#players').tap();
    await page.locator('#choice').getByLabel('Against the computer').tap();
    return reloadedBy(page, () => page.locator('#start').tap());
  },
};

for (const [way, choose] of Object.entries(WAYS)) {
  test(`the choice by ${way === 'keyboard' ? 'the keyboard alone' : 'a finger'}`, async () => {
    const touch = way === 'finger';
    const { page, context } = await h.open(shared.chromium.browser, shared.server.url,
      touch ? { viewport: PHONE, touch } : {});
    await h.waitHandedOver(page, 2);
    assert.deepStrictEqual(await choose(page), ['--cpu', 'blue', '--level', 'normal']);
    const hint = touch ? '#touch-hint' : '#keys-hint';
    assert.match(await page.locator(hint).innerText(),
      touch ? /^Hold a finger anywhere: your ship, RED,/ : /^You fly RED, on the right: cursor keys/);
    await context.close();
  });
}
