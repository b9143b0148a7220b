// The page under conditions a person brings about: its tab left in the
// background for a while (the screen wake lock let go and taken again), its
// WebGL context lost, and a browser without WebGL or without WebAssembly.
'use strict';

const assert = require('node:assert/strict');
const { test, before, after } = require('node:test');

const { launchChromium } = require('./harness/chromium');
const { startSiteServer } = require('./harness/site_server');
const { StropheTab, sleep } = require('./harness/strophe_page');

const site = process.env.STROPHE_WEB_SITE;
let server;

before(async () => {
  assert.ok(site, 'STROPHE_WEB_SITE names the built page folder');
  server = await startSiteServer(site);
});

after(async () => {
  await server?.close();
});

const wakeLock = (tab) => tab.page.evaluate(() => {
  const { requests, held, refusals } = window.stropheWakeLock;
  return { requests, held, refusals };
});

test('a page hidden for 10 s stops its animation frames, lets its wake lock go, and catches up at most the cap when shown again', async () => {
  const browser = await launchChromium();
  try {
    const tab = await StropheTab.open(browser, server.url);
    await tab.started();
    await sleep(1000);
    // Headless Chromium grants a visible page the screen wake lock without asking.
    assert.deepEqual(await wakeLock(tab), { requests: 1, held: true, refusals: 0 }, 'the screen stays awake while the page is visible');
    const { catchUpCap } = await tab.state();
    assert.ok(Number.isInteger(catchUpCap) && catchUpCap >= 1 && catchUpCap <= 10, `a small catch-up cap: ${catchUpCap}`);

    // Another tab in front hides this one, as switching tabs does.
    const other = await browser.newPage();
    await other.bringToFront();
    await tab.page.waitForFunction(() => document.visibilityState === 'hidden', { timeout: 5000 });
    await sleep(500);  // frames already on their way
    const hidden = await tab.state();
    await sleep(10000);
    const stillHidden = await tab.state();
    assert.equal(stillHidden.animationFrames, hidden.animationFrames, 'no animation frames while hidden');
    assert.equal(stillHidden.steps, hidden.steps, 'no steps while hidden');
    assert.equal((await wakeLock(tab)).held, false, 'the browser let the lock go with the page');

    await tab.page.bringToFront();
    await tab.page.waitForFunction((seen) => window.stropheTest.drawn > 0 && window.stropheTest.animationFrames > seen + 3,
      { timeout: 10000 }, stillHidden.animationFrames);
    await sleep(1500);
    const log = await tab.frameLog();
    const back = log.findIndex((frame, i) => i > 0 && frame.time - log[i - 1].time > 9000);
    assert.ok(back > 0, 'the frame log shows the 10 s gap');
    assert.ok(log[back].steps <= catchUpCap, `${log[back].steps} steps in the first frame shown again, cap ${catchUpCap}`);
    // The time spent hidden is dropped, not worked off over the next frames.
    const resumed = log.slice(back + 1).filter((frame) => frame.time - log[back].time <= 1000);
    const stepsAfter = resumed.reduce((sum, frame) => sum + frame.steps, 0);
    const span = resumed.length ? resumed[resumed.length - 1].time - log[back].time : 0;
    assert.ok(stepsAfter <= (span * 60) / 1000 + catchUpCap + 1, `${stepsAfter} steps in the ${span} ms after it came back`);
    assert.deepEqual(await wakeLock(tab), { requests: 2, held: true, refusals: 0 }, 'shown again, the page asks for the lock again');
    assert.deepEqual(tab.errors, []);
  } finally {
    await browser.close();
  }
});

test('a lost WebGL context stops the page with one plain line, and a click starts the toy again', async () => {
  const browser = await launchChromium();
  try {
    const tab = await StropheTab.open(browser, server.url);
    await tab.started();
    await tab.page.evaluate(() => Module.canvas.getContext('webgl').getExtension('WEBGL_lose_context').loseContext());
    await tab.page.waitForFunction(() => !document.getElementById('problem').hidden, { timeout: 5000 });
    const stopped = (await tab.state()).animationFrames;
    await sleep(500);
    assert.ok((await tab.state()).animationFrames <= stopped + 1, 'no frames after the loss');
    const text = (await tab.page.evaluate(() => document.body.innerText)).trim();
    assert.match(text, /^strophe lost its picture[^\n]*Click to start again\.$/);

    const reloaded = tab.page.nextLoad();
    await tab.page.mouse.move(100, 100);
    await tab.page.mouse.down();
    await tab.page.mouse.up();
    await reloaded;
    await tab.started();
    assert.deepEqual(tab.errors, []);
  } finally {
    await browser.close();
  }
});

// What the page says in a browser that lacks what it needs, after it has had
// time to start: one line of text naming the missing part.
async function pageWithout(flags) {
  const browser = await launchChromium({ extraFlags: flags });
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(server.url, { waitUntil: 'load' });
    await sleep(2000);
    return {
      text: (await page.evaluate(() => document.body.innerText)).trim(),
      started: await page.evaluate(() => Boolean(window.stropheTest && window.stropheTest.drawn > 0)),
      errors,
    };
  } finally {
    await browser.close();
  }
}

test('without WebGL or without WebAssembly the page says so in one plain line', async () => {
  for (const [flags, missing] of [
    [['--disable-webgl', '--disable-3d-apis'], /WebGL/],
    // Without its compilers (as some locked-down browsers run) V8 offers no WebAssembly.
    [['--js-flags=--jitless'], /WebAssembly/],
  ]) {
    const { text, started } = await pageWithout(flags);
    assert.equal(started, false, `${flags}: the program cannot have started`);
    assert.match(text, missing, `${flags}: the page names what is missing`);
    assert.equal(text.split('\n').filter((line) => line.trim()).length, 1, `${flags}: one line, not ${JSON.stringify(text)}`);
  }
});
