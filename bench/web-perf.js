#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// The browser build's figures, in Debian's headless Chromium on 127.0.0.1:
// frame rate and the game's own work per frame (update, draw and hand-over,
// from waking at a display refresh to handing the next frame over) while idle
// and in the worst frame; time from navigation to the loading picture; the
// published files' size after gzip; the bytes a first and a second visit
// transfer, from a server that does not compress (as web.sh's) and from one
// that gzips. Needs build-web/ with the worst-frame benchmark built:
//   cmake --build build-web --target web_worst_frame && (cd web/tests && npm ci)
//   node bench/web-perf.js
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');
const h = require('../web/tests/harness.js');

// Every file a host publishes.
const SERVED = fs.readdirSync(h.BUILD, { recursive: true })
  .filter((name) => fs.statSync(path.join(h.BUILD, name)).isFile()).sort();
const BENCH = path.join(h.BUILD, '..', 'bench');
// The game's work per frame is kept only when the page is asked to measure.
const MEASURE = '?measure';
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

// A static server over the published files, like a host's: it answers
// If-Modified-Since with 304 and, with gzip, compresses what the browser
// accepts compressed; counts the bytes of the bodies it sends.
async function countingServer(gzip) {
  const counter = { bytes: 0 };
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname).slice(1);
    if (name === '' || name.endsWith('/')) name += 'index.html';
    const file = path.join(h.BUILD, name);
    if (name.includes('..') || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    const modified = fs.statSync(file).mtime.toUTCString();
    if (request.headers['if-modified-since'] === modified) {
      response.writeHead(304).end();
      return;
    }
    let body = fs.readFileSync(file);
    const headers = { 'Last-Modified': modified, 'Content-Type': {
      '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
      '.webmanifest': 'application/manifest+json', '.png': 'image/png',
    }[path.extname(name)] || 'application/octet-stream' };
    if (gzip && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body, { level: 9 });
      headers['Content-Encoding'] = 'gzip';
    }
    counter.bytes += body.length;
    response.writeHead(200, headers).end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, counter, close: () => server.close() };
}

// Bytes sent for a first visit (until the loading picture shows and the
// service worker has stored the game) and for a second one, in a fresh profile.
async function visits(gzip) {
  const server = await countingServer(gzip);
  const profile = await h.launchProfile();
  const first = await profile.context.newPage();
  await first.goto(server.url);
  await h.waitUntil(first, () => Module.duelstarFrames && Module.duelstarFrames.firstShown &&
    navigator.serviceWorker.controller !== null);
  const firstBytes = server.counter.bytes;
  await first.close();
  server.counter.bytes = 0;
  const second = await profile.context.newPage();
  await second.goto(server.url);
  await h.waitUntil(second, () => Module.duelstarFrames && Module.duelstarFrames.firstShown);
  const secondBytes = server.counter.bytes;
  await profile.close();
  server.close();
  return { firstBytes, secondBytes };
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
  console.log(`all published files after gzip: ${(total / KB).toFixed(0)} KB`);
  for (const gzip of [false, true]) {
    const { firstBytes, secondBytes } = await visits(gzip);
    console.log(`sent by a server ${gzip ? 'that gzips' : 'that does not compress'}: first visit ` +
      `${(firstBytes / KB).toFixed(0)} KB, second visit ${(secondBytes / KB).toFixed(1)} KB`);
  }

  const server = await h.serve();
  const bench = await h.serve({}, BENCH);
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

  const idle = await h.open(chromium.browser, server.url + MEASURE);
  show('idle (opening position, no keys)', await frames(idle.page, IDLE_FRAMES));
  await idle.context.close();

  const worst = await h.open(chromium.browser, bench.url + MEASURE);
  show('worst frame (200 shots, both explosions, banner)', await frames(worst.page, IDLE_FRAMES - 10));
  await worst.context.close();

  await chromium.close();
  server.close();
  bench.close();
})();
