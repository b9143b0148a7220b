// The page as a person meets it, in the system's headless Chromium: the first
// picture is the desktop program's first frame, the letters slide and come to
// rest, Return clears the canvas, a stroke becomes a path with the text on it,
// and a drag moves a string along it.
//
// The desktop capture tests/web/desktop_first_frame.png is remade, after a
// native build, by
//   STROPHE_WEB_FIRST_FRAME=$PWD/tests/web/desktop_first_frame.png \
//     build/tests/e2e/e2e_program_tests --gtest_filter='Idle.*'
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test, before, after } = require('node:test');

const { launchChromium } = require('./harness/chromium');
const { Ink, countInk, showsScene, showsBlankCanvas, pixelsOf, shareNear, differingShare, largestDifference } = require('./harness/inks');
const { decodePng } = require('./harness/png');
const { startSiteServer } = require('./harness/site_server');
const { StraightPath } = require('./harness/straight_path');
const { StropheTab, sleep } = require('./harness/strophe_page');

const site = process.env.STROPHE_WEB_SITE;
let server, browser;

before(async () => {
  assert.ok(site, 'STROPHE_WEB_SITE names the built page folder');
  server = await startSiteServer(site);
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

async function withTab(options, body) {
  const tab = await StropheTab.open(browser, server.url, options);
  try {
    await tab.started();
    await body(tab);
    assert.deepEqual(tab.errors, [], 'the page ran without errors');
  } finally {
    await tab.close();
  }
}

test('held at its first frame the page shows the desktop picture; stepped, the letters slide and come to rest', async () => {
  await withTab({ gate: true }, async (tab) => {
    await sleep(300);
    assert.equal((await tab.state()).steps, 0, 'no step before the first admission');
    const first = await tab.picture();
    assert.equal(first.width, 512);
    assert.equal(first.height, 512);
    const counts = countInk(first);
    assert.ok(showsScene(first), `a ribbon and letters on a white canvas: ${JSON.stringify(counts)}`);
    assert.ok(counts.canvas > first.width * first.height * 0.7, 'mostly white');
    assert.ok(shareNear(first, pixelsOf(first, Ink.Letter), Ink.Red, 12) > 0.95, 'the letters lie on the ribbon');

    const desktop = decodePng(fs.readFileSync(path.join(__dirname, 'desktop_first_frame.png')));
    // Two software renderers: glyph edges differ by a few levels here and there.
    const { largest, where } = largestDifference(first, desktop);
    const beyondRounding = differingShare(first, desktop, 2), clearlyOff = differingShare(first, desktop);
    const compared = `${(beyondRounding * 100).toFixed(3)} % of the pixels differ by more than 2 levels, ` +
      `${(clearlyOff * 100).toFixed(4)} % by more than 24, at most ${largest} (at ${where})`;
    assert.ok(beyondRounding <= 0.005 && clearlyOff <= 0.0001, `the desktop's first frame: ${compared}`);

    await tab.admit(20);
    assert.equal((await tab.state()).steps, 20, 'one step for each admitted frame');
    assert.ok(differingShare(first, await tab.picture()) > 0.0005, 'the letters slide');

    // The last glyphs settle by fractions of a level until about 19 s.
    await tab.admit(1200);
    const rest = await tab.picture(), drawnAtRest = (await tab.state()).drawn;
    await tab.admit(120);
    const later = await tab.picture();
    assert.equal(differingShare(rest, later, 0), 0, 'at rest after 20 s the picture no longer changes');
    assert.equal((await tab.state()).drawn, drawnAtRest, 'and the page draws nothing more');
    assert.ok(showsScene(later));
  });
});

test('Return clears the canvas, a stroke lays the text on a new path, and a drag moves a string along it', async () => {
  await withTab({}, async (tab) => {
    await tab.pressKey('Enter');
    assert.ok(await tab.waitForPicture(showsBlankCanvas), 'Return leaves a white canvas');

    const stroke = new StraightPath([50, 40], [470, 460]);
    const half = stroke.length / 2;
    await tab.moveTo(stroke.at(0));
    await tab.press();
    await tab.trace(stroke.pointsBetween(0, half));
    await sleep(150);
    const halfway = await tab.picture();
    await tab.trace(stroke.pointsBetween(half, stroke.length));
    await sleep(150);
    const drawn = await tab.picture();
    const redAlong = (image) => stroke.distancesOf(pixelsOf(image, Ink.Red), 8);
    const behind = redAlong(halfway);
    assert.ok(behind.length > 0 && behind[0] < 30 && behind[behind.length - 1] > half - 60, 'behind the pointer the ribbon is drawn');
    assert.ok(behind[behind.length - 1] < half + 30, 'ahead of the pointer the canvas is white');
    assert.ok(Math.max(...redAlong(drawn)) > stroke.length - 60, 'the ribbon follows the pointer to the end');
    assert.equal(countInk(drawn).letter, 0, 'no text while drawing');

    await tab.release();
    const laid = await tab.waitForPicture(showsScene, 5000);
    assert.ok(laid, 'the text is laid on the new path');
    const letterPixels = pixelsOf(laid, Ink.Letter);
    const onPath = stroke.distancesOf(letterPixels, 25);
    assert.ok(onPath.length > letterPixels.length * 0.95, `the letters lie on the stroke: ${onPath.length} of ${letterPixels.length}`);
    await sleep(1000);
    const sliding = stroke.distancesOf(pixelsOf(await tab.picture(), Ink.Letter), 25);
    assert.ok(sliding[sliding.length - 1] > onPath[onPath.length - 1] + 20, 'the text slides down the new path');

    let rest = await tab.picture();
    for (let tries = 0; tries < 60; ++tries) {
      await sleep(500);
      const next = await tab.picture();
      if (differingShare(rest, next, 0) === 0) break;
      rest = next;
    }
    const resting = stroke.distancesOf(pixelsOf(rest, Ink.Letter), 25);
    const rear = resting[0];

    // Hold the rear string by its first letter and pull it 120 px back up.
    const grab = rear + 12;
    await tab.moveTo(stroke.at(grab));
    await tab.press();
    await tab.trace(stroke.pointsBetween(grab, grab - 120));
    await sleep(300);
    const held = stroke.distancesOf(pixelsOf(await tab.picture(), Ink.Letter), 25);
    assert.ok(held[0] < rear - 80, `the held string follows the pointer: its rear from ${rear} to ${held[0]}`);
    await tab.release();
    await sleep(1500);
    const released = stroke.distancesOf(pixelsOf(await tab.picture(), Ink.Letter), 25);
    assert.ok(released[0] > held[0] + 30, 'let go, it slides back down');
  });
});

test('?text= lays the given words in place of the built-in ones, and an absurd one leaves the page playing', async () => {
  // Whatever the program writes to its standard error reaches the console.
  const keepConsole = () => {
    window.consoleLines = [];
    for (const kind of ['log', 'info', 'warn', 'error']) {
      const write = console[kind];
      console[kind] = (...parts) => {
        window.consoleLines.push(parts.join(' '));
        write.apply(console, parts);
      };
    }
  };
  const builtIn = countInk(decodePng(fs.readFileSync(path.join(__dirname, 'desktop_first_frame.png')))).letter;
  await withTab({ gate: true, query: 'text=Gr%C3%BC%C3%9Fe%5Cn%C3%A0+tous' }, async (tab) => {
    const first = await tab.picture();
    const letters = pixelsOf(first, Ink.Letter);
    assert.ok(showsScene(first));
    assert.ok(letters.length > builtIn * 0.25 && letters.length < builtIn * 0.7,
      `10 letters in place of 22: ${letters.length} letter pixels, the built-in text has ${builtIn}`);
    assert.ok(shareNear(first, letters, Ink.Red, 12) > 0.95, 'the letters lie on the ribbon');
    assert.deepEqual(await tab.page.evaluate(() => [document.title, document.body.innerText].map((text) => text.includes('tous'))),
      [false, false], 'the text reaches the canvas alone');
  });

  const absurd = ('Gr%C3%BC%C3%9Fe%5Cn%E0%A4%A%ZZ%' + 'ab+%5Cn%0D%00'.repeat(800)).slice(0, 10000);
  await withTab({ query: `text=${absurd}`, beforeScripts: keepConsole }, async (tab) => {
    const before = (await tab.state()).steps;
    await sleep(500);
    assert.ok((await tab.state()).steps > before, 'the page plays on');
    assert.ok(showsScene(await tab.picture()));
    const lines = await tab.page.evaluate(() => window.consoleLines);
    assert.deepEqual(lines.filter((line) => line.startsWith('strophe')), [], 'nothing said in the console');
  });
});
