#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// The browser build's figures, in Debian's headless Chromium on 127.0.0.1:
// frame rate and the game's own work per frame (update, draw and hand-over,
// from waking at a display refresh to handing the next frame over) while idle
// and in the worst frame; time from navigation to the loading picture; the
// served files' size after gzip. Needs build-web/ with the worst-frame
// benchmark built:
//   cmake --build build-web --target web_worst_frame && (cd web/tests && npm ci)
//   node bench/web-perf.js
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const h = require('../web/tests/harness.js');

const SERVED = ['index.html', 'duelstar.js', 'duelstar.wasm', 'duelstar.data'];
const LOADING_RUNS = 5;
const IDLE_FRAMES = 600; // ten seconds at 60 Hz
const KB = 1024;

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

// Rate and work over count frames after the first game frame.
async function frames(page, count) {
  await h.waitHandedOver(page, 3);
  const start = await page.evaluate(() => ({
    shown: Module.duelstarFrames.shown, at: performance.now(), work: Module.duelstarFrames.work.length,
  }));
  await h.waitUntil(page, (n) => Module.duelstarFrames.shown >= n || duelstar.exitStatus !== null,
    start.shown + count, 120000);
  const end = await page.evaluate((from) => ({
    shown: Module.duelstarFrames.shown, at: performance.now(),
    work: Module.duelstarFrames.work.slice(from),
  }), start.work);
  return {
    fps: ((end.shown - start.shown) * 1000) / (end.at - start.at),
    median: percentile(end.work, 50),
    p99: percentile(end.work, 99),
    max: Math.max(...end.work),
  };
}

function show(what, f) {
  console.log(`${what}: ${f.fps.toFixed(1)} frames/s; work per frame median ` +
    `${f.median.toFixed(2)} ms, 99th percentile ${f.p99.toFixed(2)} ms, most ${f.max.toFixed(2)} ms`);
}

(async () => {
  let total = 0;
  for (const name of SERVED) {
    const bytes = fs.readFileSync(path.join(h.BUILD, name));
    const packed = zlib.gzipSync(bytes, { level: 9 }).length;
    total += packed;
    console.log(`${name}: ${(bytes.length / KB).toFixed(0)} KB, gzip ${(packed / KB).toFixed(0)} KB`);
  }
  console.log(`all served files after gzip: ${(total / KB).toFixed(0)} KB`);

  const server = await h.serve();
  const chromium = await h.launch();
  const toLoading = [];
  for (let i = 0; i < LOADING_RUNS; i += 1) {
    const { page, context } = await h.open(chromium.browser, server.url);
    await h.waitUntil(page, () => Module.duelstarFrames && Module.duelstarFrames.firstShown);
    toLoading.push(await page.evaluate(() => Module.duelstarFrames.firstShown));
    await context.close();
  }
  console.log(`navigation to loading picture: median ${percentile(toLoading, 50).toFixed(0)} ms, ` +
    `slowest ${Math.max(...toLoading).toFixed(0)} ms of ${LOADING_RUNS}`);

  const idle = await h.open(chromium.browser, server.url);
  show('idle (opening position, no keys)', await frames(idle.page, IDLE_FRAMES));
  await idle.context.close();

  const worst = await h.open(chromium.browser, `${server.url}bench/`);
  show('worst frame (200 shots, both explosions, banner)', await frames(worst.page, IDLE_FRAMES - 10));
  await worst.context.close();

  await chromium.close();
  server.close();
})();
