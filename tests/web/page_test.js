// The page as a person meets it, in the system's headless Chromium: the first
// picture is the desktop program's first frame, the letters slide and come to
// rest, Return clears the canvas, a stroke becomes a path with the text on it,
// and a drag moves a string along it, all heard (the sound starts with the
// first key, is silent while a path is drawn, and is loudest while a string
// is held); on a dense screen the canvas draws with its pixels, and on a phone
// it fits the screen, a finger drags the strings and a shake clears it.
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
const { kVoicePitches, soundTap, rms, dominantFrequency } = require('./harness/sound');
const { startSiteServer } = require('./harness/site_server');
const { StraightPath } = require('./harness/straight_path');
const { StropheTab, sleep, canvasPoints } = require('./harness/strophe_page');

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

// On a cleared canvas: a stroke drawn with `strokeWith` ('mouse' or 'finger')
// lays the text on a new path, and `dragWith` pulls its rear string back up
// along it. Distances are in canvas points, whatever pixels the pictures have.
// With `hear`, the page's sound tap is on and its sound is judged too.
async function strokeThenDrag(tab, { strokeWith, dragWith, hear = false }) {
  const stroke = new StraightPath([50, 40], [470, 460]);
  const along = (image, ink, maxOff) => {
    const k = image.width / canvasPoints;
    const seen = new StraightPath(stroke.at(0).map((v) => v * k), stroke.at(stroke.length).map((v) => v * k));
    return seen.distancesOf(pixelsOf(image, ink), maxOff * k).map((d) => d / k);
  };
  const half = stroke.length / 2;
  if (hear) await soundTap.take(tab);
  tab.usePointer(strokeWith);
  await tab.moveTo(stroke.at(0));
  await tab.press();
  await tab.trace(stroke.pointsBetween(0, half));
  await sleep(150);
  const halfway = await tab.picture();
  await tab.trace(stroke.pointsBetween(half, stroke.length));
  await sleep(150);
  const drawn = await tab.picture();
  const behind = along(halfway, Ink.Red, 8);
  assert.ok(behind.length > 0 && behind[0] < 30 && behind[behind.length - 1] > half - 60, 'behind the pointer the ribbon is drawn');
  assert.ok(behind[behind.length - 1] < half + 30, 'ahead of the pointer the canvas is white');
  assert.ok(Math.max(...along(drawn, Ink.Red, 8)) > stroke.length - 60, 'the ribbon follows the pointer to the end');
  assert.equal(countInk(drawn).letter, 0, 'no text while drawing');
  if (hear) {
    const sketching = await soundTap.take(tab);
    assert.ok(sketching.length > 0 && sketching.every((x) => x === 0), `silence while drawing: RMS ${rms(sketching)}`);
  }

  await tab.release();
  const laid = await tab.waitForPicture(showsScene, 5000);
  assert.ok(laid, 'the text is laid on the new path');
  const letterPixels = pixelsOf(laid, Ink.Letter);
  const onPath = along(laid, Ink.Letter, 25);
  assert.ok(onPath.length > letterPixels.length * 0.95, `the letters lie on the stroke: ${onPath.length} of ${letterPixels.length}`);
  await sleep(1000);
  const sliding = along(await tab.picture(), Ink.Letter, 25);
  assert.ok(sliding[sliding.length - 1] > onPath[onPath.length - 1] + 20, 'the text slides down the new path');
  if (hear) {
    const pitch = dominantFrequency(await soundTap.take(tab));
    assert.ok(pitch >= kVoicePitches.lowest * 0.95 && pitch <= kVoicePitches.highest * 1.05,
      `the sliding words sing within the voices' range: ${pitch} Hz`);
  }

  let rest = await tab.picture();
  for (let tries = 0; tries < 60; ++tries) {
    await sleep(500);
    const next = await tab.picture();
    if (differingShare(rest, next, 0) === 0) break;
    rest = next;
  }
  const rear = along(rest, Ink.Letter, 25)[0];
  let restLoudness = 0;
  if (hear) {
    await soundTap.take(tab);
    await sleep(500);
    restLoudness = rms(await soundTap.take(tab));
  }

  // Hold the rear string by its first letter and pull it 120 points back up.
  const grab = rear + 12;
  tab.usePointer(dragWith);
  await tab.moveTo(stroke.at(grab));
  await tab.press();
  await tab.trace(stroke.pointsBetween(grab, grab - 120));
  await sleep(300);
  const held = along(await tab.picture(), Ink.Letter, 25);
  assert.ok(held[0] < rear - 80, `the held string follows the ${dragWith}: its rear from ${rear} to ${held[0]}`);
  if (hear) {
    const heldLoudness = rms((await soundTap.take(tab)).slice(-8192));
    assert.ok(heldLoudness > 4 * restLoudness && heldLoudness > 0.01,
      `a held string is heard: RMS ${heldLoudness} held, ${restLoudness} at rest`);
  }
  await tab.release();
  await sleep(1500);
  const released = along(await tab.picture(), Ink.Letter, 25);
  assert.ok(released[0] > held[0] + 30, 'let go, it slides back down');
}

test('Return clears the canvas, a stroke lays the text on a new path, and a drag moves a string along it, all heard', async () => {
  await withTab({}, async (tab) => {
    await soundTap.enable(tab, 5);
    await sleep(1000);
    assert.equal(await soundTap.handedOut(tab), 0, 'no sound before the first gesture, though the letters slide');
    await tab.pressKey('Enter');
    assert.ok(await tab.waitForPicture(showsBlankCanvas), 'Return leaves a white canvas');
    // The sound starts with that key, as soon as its worklet is loaded.
    await tab.page.waitForFunction(() => window.stropheTest.soundTap.handedOut > 0, { timeout: 10000 });
    await strokeThenDrag(tab, { strokeWith: 'mouse', dragWith: 'mouse', hear: true });
  });
});

// Sizes of the alpha masks the page uploads (sprites and the font's atlas),
// at their full resolution, in window.stropheMaskUploads. The page turns
// masks into LUMINANCE_ALPHA textures before they reach WebGL.
function recordMaskUploads() {
  const proto = WebGLRenderingContext.prototype, upload = proto.texImage2D;
  window.stropheMaskUploads = [];
  proto.texImage2D = function (target, level, internalFormat, width, height, border, format) {
    if (arguments.length === 9 && level === 0 && format === 0x190a) window.stropheMaskUploads.push(`${width}x${height}`);
    return upload.apply(this, arguments);
  };
}

const canvasPixels = (tab) => tab.page.$eval('#canvas', (canvas) => {
  const box = canvas.getBoundingClientRect();
  return { buffer: [canvas.width, canvas.height], box: [box.left, box.top, box.right, box.bottom],
    viewport: [window.innerWidth, window.innerHeight] };
});

// Share of the pixels that are neither canvas nor ink, such as glyph edges, to the letters' own.
const edgesPerLetterPixel = (image) => countInk(image).other / countInk(image).letter;

test('at two device pixels per CSS pixel the canvas draws with 1024 × 1024 pixels and the double-resolution sprites; at one again, with 512 × 512', async () => {
  await withTab({ gate: true, beforeScripts: recordMaskUploads, screen: { width: 800, height: 700, deviceScaleFactor: 2 } }, async (tab) => {
    const dense = await canvasPixels(tab);
    assert.deepEqual(dense.buffer, [1024, 1024], 'the drawing buffer has the screen\'s pixels');
    assert.equal(dense.box[2] - dense.box[0], 512, 'shown at 512 CSS pixels');
    const masks = await tab.page.evaluate(() => window.stropheMaskUploads);
    // The dot is 8 × 8 at 1x and 16 × 16 at 2x; the line is 8 × 8 at both.
    assert.deepEqual(masks.filter((size) => size === '8x8' || size === '16x16').sort(), ['16x16', '8x8'],
      `the double-resolution sprites: masks ${masks.join(', ')}`);
    const sharp = await tab.picture();
    assert.equal(sharp.width, 1024);
    assert.ok(showsScene(sharp), `the scene: ${JSON.stringify(countInk(sharp))}`);
    assert.ok(shareNear(sharp, pixelsOf(sharp, Ink.Letter), Ink.Red, 24) > 0.95, 'the letters lie on the ribbon');

    // As a browser zoom or another screen would; the page is held, so the scene is the same.
    await tab.page.emulate({ width: 800, height: 700, deviceScaleFactor: 1 });
    await tab.page.waitForFunction(() => document.querySelector('#canvas').width === 512, { timeout: 10000 });
    const plain = await tab.waitForPicture((image) => image.width === 512 && showsScene(image));
    assert.ok(plain, 'at one pixel per CSS pixel the buffer and the picture follow');
    assert.deepEqual((await canvasPixels(tab)).buffer, [512, 512]);
    assert.ok(edgesPerLetterPixel(sharp) < 0.75 * edgesPerLetterPixel(plain),
      `sharper letters with more pixels: ${edgesPerLetterPixel(sharp).toFixed(3)} edge pixels a letter pixel, ${edgesPerLetterPixel(plain).toFixed(3)} with fewer`);
    assert.deepEqual(await tab.page.evaluate(() => window.stropheMaskUploads), masks, 'the sprites chosen at set-up stay');
  });
});

test('on a phone the whole canvas shows, either way up; a shake clears it, the mouse draws a path and a finger drags a string along it', async () => {
  const phone = { width: 360, height: 640, deviceScaleFactor: 2, mobile: true, touch: true };
  // As some phones' browsers do: motion only with the person's leave, which is refused here.
  const askedForMotion = () => {
    window.stropheMotionAsked = 0;
    DeviceMotionEvent.requestPermission = () => {
      window.stropheMotionAsked++;
      return Promise.reject(new Error('refused'));
    };
  };
  await withTab({ screen: phone, beforeScripts: askedForMotion }, async (tab) => {
    const { buffer, box: [left, top, right, bottom], viewport: [width, height] } = await canvasPixels(tab);
    assert.ok(left >= 0 && top >= 0 && right <= width && bottom <= height, `the canvas ${[left, top, right, bottom]} fits the ${width} × ${height} viewport`);
    assert.equal(right - left, width, 'as wide as the screen');
    assert.equal(bottom - top, right - left, 'and square');
    assert.deepEqual(buffer, [1024, 1024], 'with its 512 points\' pixels');

    // Three readings, as the accelerometer sends them: at rest, a jerk sideways of 4 g, and held there.
    await tab.page.evaluate(() => {
      for (const x of [0, 40, 40]) {
        window.dispatchEvent(new DeviceMotionEvent('devicemotion', { accelerationIncludingGravity: { x, y: 9.81, z: 0 }, interval: 16 }));
      }
    });
    assert.ok(await tab.waitForPicture(showsBlankCanvas), 'a shake leaves a white canvas');
    await strokeThenDrag(tab, { strokeWith: 'mouse', dragWith: 'finger' });
    assert.equal(await tab.page.evaluate(() => window.stropheMotionAsked), 1, 'leave for motion asked once, as the first finger lifted');

    await tab.page.emulate({ ...phone, width: 640, height: 360 });
    await tab.page.waitForFunction(() => window.innerWidth === 640, { timeout: 10000 });
    const turned = await canvasPixels(tab);
    const [l, t, r, b] = turned.box;
    assert.ok(l >= 0 && t >= 0 && r <= 640 && b <= 360 && b - t === 360 && r - l === 360,
      `turned on its side, the canvas ${turned.box} fits the 640 × 360 viewport`);
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
