// Measures the built page in the system's headless Chromium through the
// browser tests' harness, and prints the figures docs/MEASUREMENTS.md keeps:
// load to the first drawn frame, frame intervals while the letters slide (at
// one and at two device pixels per CSS pixel) and while a string is dragged, and steps per second under animation frames
// emulated at 30, 60 and 120 Hz. A benchmark, not a test: it judges nothing.
//
//   node bench/web/page_measurements.js build-web/site [loads]
'use strict';

const fs = require('node:fs');
const os = require('node:os');

const { launchChromium } = require('../../tests/web/harness/chromium');
const { Ink, pixelsOf } = require('../../tests/web/harness/inks');
const { startSiteServer } = require('../../tests/web/harness/site_server');
const { StraightPath } = require('../../tests/web/harness/straight_path');
const { StropheTab, sleep } = require('../../tests/web/harness/strophe_page');

const [site, loadsArgument] = process.argv.slice(2);
const loads = Number(loadsArgument || 5);
if (!site || !fs.existsSync(site) || !(loads >= 1)) {
  console.error('usage: page_measurements.js <site folder> [page loads, 5 when left out]');
  process.exit(2);
}

const median = (values) => quantile(values, 0.5);
function quantile(values, q) {
  const sorted = values.filter(Number.isFinite).sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}
const ms = (value) => (Number.isFinite(value) ? `${value.toFixed(value < 100 ? 2 : 0)} ms` : '—');

// Navigation to the first drawn frame, and where the time went, in a fresh
// browser context each time so nothing comes from a cache.
async function loadTimes(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    const tab = await StropheTab.open(context, url);
    await tab.started();
    return await tab.page.evaluate(async () => {
      const resource = (name) => performance.getEntriesByType('resource').find((entry) => entry.name.endsWith(name)) || {};
      const log = window.stropheTest.frameLog;
      const first = log.findIndex((frame) => frame.drawn);
      const script = resource('strophe.js'), wasm = resource('strophe.wasm');
      const bytes = await (await fetch('strophe.wasm', { cache: 'no-store' })).arrayBuffer();
      const compileStart = performance.now();
      await WebAssembly.compile(bytes);
      return {
        firstDrawn: first >= 0 ? log[first].time : NaN,
        // The next animation frame begins once the first drawn one is on screen.
        nextFrame: first >= 0 && first + 1 < log.length ? log[first + 1].time : NaN,
        html: performance.getEntriesByType('navigation')[0].responseEnd,
        scriptAsked: script.fetchStart ?? NaN,
        script: script.responseEnd ?? NaN,
        wasmAsked: wasm.fetchStart ?? NaN,
        wasm: wasm.responseEnd ?? NaN,
        wasmBytes: bytes.byteLength,
        compile: performance.now() - compileStart,
      };
    });
  } finally {
    await context.close();
  }
}

function intervals(log, from, to) {
  const frames = log.filter((frame) => frame.time >= from && frame.time <= to);
  return frames.slice(1).map((frame, i) => frame.time - frames[i].time);
}

function intervalRow(what, values) {
  return `| frame interval p50 / p99 / max ${what} (${values.length} frames) | ${ms(median(values))} / ${ms(quantile(values, 0.99))} / ${ms(Math.max(...values))} |`;
}

async function slidingIntervals(browser, url, deviceScaleFactor = 1) {
  const tab = await StropheTab.open(browser, url, { screen: { width: 800, height: 700, deviceScaleFactor } });
  await tab.started();
  const start = await tab.page.evaluate(() => performance.now());
  await sleep(20000);
  const log = await tab.frameLog();
  await tab.close();
  return intervals(log, start, start + 20000);
}

// A stroke, the text at rest on it, then the rear string dragged up and down
// the stroke for 20 s, the pointer moving 2 px every 10 ms as a mouse reports.
async function draggingIntervals(browser, url) {
  const tab = await StropheTab.open(browser, url);
  await tab.started();
  await tab.pressKey('Enter');
  const stroke = new StraightPath([50, 40], [470, 460]);
  await tab.moveTo(stroke.at(0));
  await tab.press();
  await tab.trace(stroke.pointsBetween(0, stroke.length));
  await tab.release();
  await sleep(15000);
  const letters = stroke.distancesOf(pixelsOf(await tab.picture(), Ink.Letter), 25);
  const grab = letters[0] + 12;
  await tab.moveTo(stroke.at(grab));
  await tab.press();
  const start = await tab.page.evaluate(() => performance.now());
  const end = Date.now() + 20000;
  for (let d = 0, way = -1; Date.now() < end; d += 2 * way) {
    if (Math.abs(d) >= 150) way = -way;
    await tab.moveTo(stroke.at(grab + d));
    await sleep(10);
  }
  const log = await tab.frameLog();
  await tab.release();
  await tab.close();
  return intervals(log, start, start + 20000);
}

// Replaces the browser's animation frames, before the page's scripts run, by
// timer-driven ones at `hz`, stamped with performance.now() as the real ones.
function emulatedAnimationFrames(hz) {
  const period = 1000 / hz;
  let next = performance.now();
  window.requestAnimationFrame = (callback) => {
    const now = performance.now();
    next = Math.max(next + period, now);
    return setTimeout(() => callback(performance.now()), next - now);
  };
  window.cancelAnimationFrame = (id) => clearTimeout(id);
}

async function stepsPerSecond(browser, url, hz) {
  const tab = await StropheTab.open(browser, url, { beforeScripts: `(${emulatedAnimationFrames})(${hz})` });
  await tab.started();
  await sleep(1000);
  const read = () => tab.page.evaluate(() => ({ now: performance.now(), steps: window.stropheTest.steps, frames: window.stropheTest.animationFrames }));
  const first = await read();
  await sleep(20000);
  const last = await read();
  await tab.close();
  const seconds = (last.now - first.now) / 1000;
  return { steps: (last.steps - first.steps) / seconds, frames: (last.frames - first.frames) / seconds };
}

(async () => {
  const loadBefore = os.loadavg();
  const server = await startSiteServer(site);
  const browser = await launchChromium();
  try {
    const times = [];
    for (let i = 0; i < loads; ++i) times.push(await loadTimes(browser, server.url));
    const pick = (key) => median(times.map((t) => t[key]));
    console.log('| figure | value |');
    console.log('|---|---|');
    console.log(`| navigation → first drawn frame on screen (median of ${loads}; each: ${times.map((t) => ms(t.nextFrame)).join(', ')}) | ${ms(pick('nextFrame'))} |`);
    console.log(`| of which: index.html received / strophe.js asked for, received / strophe.wasm asked for, received / the first drawn frame begins | ${ms(pick('html'))} / ${ms(pick('scriptAsked'))}, ${ms(pick('script'))} / ${ms(pick('wasmAsked'))}, ${ms(pick('wasm'))} / ${ms(pick('firstDrawn'))} |`);
    console.log(`| compiling strophe.wasm (${(times[0].wasmBytes / 1024).toFixed(0)} KiB) alone, in the page | ${ms(pick('compile'))} |`);
    console.log(intervalRow('while the letters slide, first 20 s', await slidingIntervals(browser, server.url)));
    console.log(intervalRow('while the letters slide at 2 device pixels per CSS pixel (1024 × 1024), first 20 s',
      await slidingIntervals(browser, server.url, 2)));
    console.log(intervalRow('while dragging, 20 s', await draggingIntervals(browser, server.url)));
    for (const hz of [30, 60, 120]) {
      const rate = await stepsPerSecond(browser, server.url, hz);
      console.log(`| steps per second at animation frames of ${hz} Hz (${rate.frames.toFixed(1)} frames/s seen), 20 s | ${rate.steps.toFixed(2)} |`);
    }
  } finally {
    await browser.close();
    await server.close();
  }
  const loadAfter = os.loadavg();
  const average = (l) => l.map((v) => v.toFixed(2)).join(' / ');
  console.log(`\nload average (1 / 5 / 15 min) ${average(loadBefore)} before, ${average(loadAfter)} after`);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
