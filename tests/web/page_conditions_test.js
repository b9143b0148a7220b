// The page under conditions a person brings about: its tab left in the
// background for a while, and a browser without WebGL or without WebAssembly.
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

test('a page hidden for 10 s stops its animation frames and catches up at most the cap when shown again', async () => {
  const browser = await launchChromium();
  try {
    const tab = await StropheTab.open(browser, server.url);
    await tab.started();
    await sleep(1000);
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
