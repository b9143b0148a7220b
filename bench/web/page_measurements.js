// Measures the built page in the system's headless Chromium through the
// browser tests' harness, and prints the figures docs/MEASUREMENTS.md keeps:
// load to the first drawn frame, frame intervals while the letters slide (at
// one and at two device pixels per CSS pixel) and while a string is dragged,
// steps per second under animation frames emulated at 30, 60 and 120 Hz, and
// the sound: press to first audible sample, and the CPU a drag costs with and
// without it. A benchmark, not a test: it judges nothing.
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
const { soundTap } = require('../../tests/web/harness/sound');
const { browserCpuSeconds } = require('./process_cpu');

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

// Return, a stroke, and the text at rest on it: the stroke, and where to
// grab the rear string (its first letter).
async function textAtRestOnStroke(tab) {
  await tab.pressKey('Enter');
  const stroke = new StraightPath([50, 40], [470, 460]);
  await tab.moveTo(stroke.at(0));
  await tab.press();
  await tab.trace(stroke.pointsBetween(0, stroke.length));
  await tab.release();
  await sleep(15000);
  const letters = stroke.distancesOf(pixelsOf(await tab.picture(), Ink.Letter), 25);
  return { stroke, grab: letters[0] + 12 };
}

// The rear string held and dragged up and down the stroke for `seconds`, the
// pointer moving 2 px every 10 ms as a mouse reports.
async function dragFor(tab, { stroke, grab }, seconds) {
  await tab.moveTo(stroke.at(grab));
  await tab.press();
  const end = Date.now() + seconds * 1000;
  for (let d = 0, way = -1; Date.now() < end; d += 2 * way) {
    if (Math.abs(d) >= 150) way = -way;
    await tab.moveTo(stroke.at(grab + d));
    await sleep(10);
  }
  await tab.release();
}

async function draggingIntervals(browser, url) {
  const tab = await StropheTab.open(browser, url);
  await tab.started();
  const text = await textAtRestOnStroke(tab);
  const start = await tab.page.evaluate(() => performance.now());
  await dragFor(tab, text, 20);
  const log = await tab.frameLog();
  await tab.close();
  return intervals(log, start, start + 20000);
}

// Waits until the page has handed out `quietMs` of silence in a row.
async function silence(tab, quietMs = 300, timeoutMs = 20000) {
  const end = Date.now() + timeoutMs;
  let quiet = 0;
  while (Date.now() < end) {
    await sleep(100);
    const samples = await soundTap.take(tab);
    let loud = -1;
    samples.forEach((x, i) => { if (Math.abs(x) >= 1e-3) loud = i; });
    quiet = loud < 0 ? quiet + samples.length : samples.length - loud - 1;
    if (quiet >= (quietMs * 44100) / 1000) return;
  }
  throw new Error('the page never fell silent');
}

async function firstAudible(tab) {
  await tab.page.waitForFunction(() => window.stropheTest.soundTap.firstAudible() !== null, { timeout: 10000 });
  const first = await tab.page.evaluate(() => window.stropheTest.soundTap.firstAudible());
  const handedOut = first.handedOutAt - first.pressAt;
  return { handedOut, queued: handedOut + first.aheadMs + first.sampleMs };
}

// The delay from a press to the first audible sample (1e-3 or more) handed to
// the worklet, and to when it leaves the worklet's queue: the first gesture,
// which starts the sound (the letters slide then, so its first buffer is
// heard), then `repeats` presses on the resting rear string, each held
// 300 ms without moving and let go, with silence before every press.
async function pressToSound(browser, url, repeats) {
  const tab = await StropheTab.open(browser, url);
  await tab.started();
  await soundTap.enable(tab, 2);
  await tab.moveTo([5, 5]);
  await tab.press();
  const start = await firstAudible(tab);
  await tab.release();
  const { baseLatency, outputLatency } = await tab.page.evaluate(() => window.stropheTest.soundTap.contextLatency());
  const { stroke, grab } = await textAtRestOnStroke(tab);
  const presses = [];
  await tab.moveTo(stroke.at(grab));
  for (let i = 0; i < repeats; ++i) {
    await silence(tab);
    await tab.press();
    presses.push(await firstAudible(tab));
    await sleep(300);
    await tab.release();
  }
  const underruns = await tab.page.evaluate(() => window.stropheTest.soundTap.underruns);
  await tab.close();
  return { start, presses, baseLatency, outputLatency, underruns };
}

// CPU over `seconds` of dragging, with the sound started by the drag's own
// press, and in a page without Web Audio: the main thread's task and script
// time (DevTools' Performance metrics) and every process of the browser
// (/proc), with the underruns counted meanwhile.
async function dragCpu(browser, url, seconds, withSound) {
  const noWebAudio = () => { delete window.AudioContext; delete window.webkitAudioContext; };
  const tab = await StropheTab.open(browser, url, withSound ? {} : { beforeScripts: noWebAudio });
  await tab.started();
  const text = await textAtRestOnStroke(tab);
  await tab.page.send('Performance.enable');
  const metrics = async () => Object.fromEntries((await tab.page.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
  const underruns = () => tab.page.evaluate(() => window.stropheTest.soundTap.underruns);
  const before = { m: await metrics(), cpu: browserCpuSeconds(browser.process.pid), u: await underruns() };
  await dragFor(tab, text, seconds);
  const after = { m: await metrics(), cpu: browserCpuSeconds(browser.process.pid), u: await underruns() };
  await tab.close();
  const share = (a, b) => (100 * (a - b)) / seconds;
  return { task: share(after.m.TaskDuration, before.m.TaskDuration), script: share(after.m.ScriptDuration, before.m.ScriptDuration),
           all: share(after.cpu, before.cpu), underruns: after.u - before.u };
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
    const sound = await pressToSound(browser, server.url, 10);
    const handed = sound.presses.map((p) => p.handedOut), queued = sound.presses.map((p) => p.queued);
    console.log(`| first gesture → first audible sample handed out / out of the queue (starts the context and its worklet) | ${ms(sound.start.handedOut)} / ${ms(sound.start.queued)} |`);
    console.log(`| press on a string → first audible sample handed out, median / p90 of ${handed.length} | ${ms(median(handed))} / ${ms(quantile(handed, 0.9))} |`);
    console.log(`| press on a string → that sample out of the worklet's queue, median / p90 | ${ms(median(queued))} / ${ms(quantile(queued, 0.9))} |`);
    console.log(`| the context's own latency after that (baseLatency + outputLatency) | ${ms(1000 * (sound.baseLatency + sound.outputLatency))} |`);
    for (const withSound of [true, false]) {
      const cpu = await dragCpu(browser, server.url, 10, withSound);
      const what = withSound ? `with sound (${cpu.underruns} underruns)` : 'without Web Audio';
      console.log(`| CPU while dragging 10 s ${what}: main thread tasks / scripts, all browser processes | ${cpu.task.toFixed(1)} % / ${cpu.script.toFixed(1)} %, ${cpu.all.toFixed(1)} % |`);
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
