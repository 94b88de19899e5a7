// SPDX-License-Identifier: MIT
// The computer pilot from the page's address: with ?cpu=blue and nobody
// playing, the computer on BLUE wins the whole match 3-0.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert');
const h = require('./harness.js');

const MATCH_TIMEOUT = 120000; // ms: the hard pilot beats an idle player in seconds

const shared = h.serveAndLaunch();

test('?cpu=blue&level=hard with no input ends with BLUE winning 3-0', async () => {
  const { page, context } = await h.open(shared.chromium.browser,
    shared.server.url + '?cpu=blue&level=hard');
  const end = await h.waitForExit(page, MATCH_TIMEOUT);
  assert.strictEqual(end.status, 0);
  assert.strictEqual(end.lines.length, 1, `lines: ${JSON.stringify(end.lines)}`);
  assert.match(end.lines[0], /^Blue wins 3-0 \( \d+ fps \)$/);
  await context.close();
});
