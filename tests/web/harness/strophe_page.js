// One strophe page in a browser tab, driven as a person would: pictures of
// the canvas, the mouse or a finger in canvas points, keys; and the page's test switch
// (window.stropheTest) to step it frame by frame with ?gate and read its
// counters. Errors the page throws and files it could not load are kept, so
// a test can show them.
'use strict';

const { decodePng } = require('./png');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The canvas's size in points (CSS pixels at its full size), however large it shows.
const canvasPoints = 512;

class StropheTab {
  constructor(page) {
    this.page = page;
    this.errors = [];
    this.admitted = 0;
    this.pointer = 'mouse';
    this.fingerDown = false;
    this.at = { x: 0, y: 0 };
    page.on('pageerror', (error) => this.errors.push(`page error: ${error.message}`));
    // What the program writes to standard error goes to the console too, and
    // the toolchain's warnings with it: only what failed to load counts. A page
    // without an icon is no fault, though the browser asks for one.
    page.on('response', (response) => {
      if (response.status() >= 400 && !response.url().endsWith('/favicon.ico')) {
        this.errors.push(`${response.status()} for ${response.url()}`);
      }
    });
    page.on('requestfailed', (request) => this.errors.push(`${request.url()} failed: ${request.failure()?.errorText}`));
  }

  // Opens the page; `gate` holds its stepping for admit(), `query` adds fields
  // to the address's query (as written there, encoded), `beforeScripts` runs
  // in the page before any of its own scripts, `screen` is the one it is on
  // (devtools.js, emulate()).
  static async open(browser, siteUrl, { gate = false, query = '', beforeScripts = null, screen = null } = {}) {
    const tab = new StropheTab(await browser.newPage());
    if (screen) await tab.page.emulate(screen);
    if (beforeScripts) await tab.page.evaluateOnNewDocument(beforeScripts);
    const fields = [gate ? 'gate' : '', query].filter((field) => field);
    await tab.page.goto(siteUrl + (fields.length ? '?' + fields.join('&') : ''), { waitUntil: 'load' });
    return tab;
  }

  // Waits until the program has started and drawn its first frame.
  async started(timeoutMs = 30000) {
    try {
      await this.page.waitForFunction(() => window.stropheTest && window.stropheTest.drawn > 0, {
        timeout: timeoutMs,
        polling: 50,
      });
    } catch (error) {
      const text = await this.page.evaluate(() => document.body.innerText).catch(() => '?');
      throw new Error(`the program did not draw in ${timeoutMs} ms; the page says ${JSON.stringify(text)}; ${this.errors.join('; ')}`);
    }
    this.box = await this.page.$eval('#canvas', (canvas) => {
      const r = canvas.getBoundingClientRect();
      return { x: r.left, y: r.top, width: r.width, height: r.height };
    });
  }

  // The counters of window.stropheTest (steps, drawn, animationFrames,
  // catchUpCap, admittedDone), without the frame log.
  state() {
    return this.page.evaluate(() => {
      const t = window.stropheTest;
      return { steps: t.steps, drawn: t.drawn, animationFrames: t.animationFrames, catchUpCap: t.catchUpCap, admittedDone: t.admittedDone };
    });
  }

  frameLog() {
    return this.page.evaluate(() => window.stropheTest.frameLog.map((f) => ({ time: f.time, steps: f.steps, drawn: f.drawn })));
  }

  // With ?gate: lets `frames` more frames step and waits until they are done.
  async admit(frames, timeoutMs = 120000) {
    this.admitted += frames;
    if (!(await this.page.evaluate((n) => window.stropheTest.admit(n), frames))) {
      throw new Error('admit: the page was not opened with ?gate');
    }
    try {
      await this.page.waitForFunction((target) => window.stropheTest.admittedDone >= target, { timeout: timeoutMs, polling: 'raf' }, this.admitted);
    } catch (error) {
      const done = await this.page.evaluate(() => window.stropheTest.admittedDone);
      throw new Error(`admitted ${this.admitted} frames, ${done} done after ${timeoutMs} ms`);
    }
  }

  // The canvas as the browser shows it: { width, height, rgb }.
  async picture() {
    const png = await this.page.screenshot({ type: 'png', clip: this.box });
    return decodePng(Buffer.from(png));
  }

  // Takes pictures until one satisfies `accept`; null when none did in time.
  async waitForPicture(accept, timeoutMs = 10000) {
    const end = Date.now() + timeoutMs;
    do {
      const picture = await this.picture();
      if (accept(picture)) return picture;
      await sleep(50);
    } while (Date.now() < end);
    return null;
  }

  // What press, moveTo and release drive: 'mouse' or 'finger'.
  usePointer(kind) {
    this.pointer = kind;
  }

  // The pointer, in canvas points.
  moveTo([x, y]) {
    this.at = { x: this.box.x + (x * this.box.width) / canvasPoints, y: this.box.y + (y * this.box.height) / canvasPoints };
    if (this.pointer === 'mouse') return this.page.mouse.move(this.at.x, this.at.y);
    return this.fingerDown ? this.page.touchscreen.move(this.at.x, this.at.y) : Promise.resolve();
  }
  press() {
    if (this.pointer === 'mouse') return this.page.mouse.down();
    this.fingerDown = true;
    return this.page.touchscreen.start(this.at.x, this.at.y);
  }
  release() {
    if (this.pointer === 'mouse') return this.page.mouse.up();
    this.fingerDown = false;
    return this.page.touchscreen.end();
  }

  // Moves the pointer through `points` at a hand's pace (`pxPerSecond`), or,
  // with ?gate, letting `framesPerPoint` frames step after each point.
  async trace(points, { pxPerSecond = 400, framesPerPoint = 0 } = {}) {
    let last = null;
    for (const point of points) {
      await this.moveTo(point);
      if (framesPerPoint > 0) {
        await this.admit(framesPerPoint);
      } else if (last) {
        await sleep((Math.hypot(point[0] - last[0], point[1] - last[1]) / pxPerSecond) * 1000);
      }
      last = point;
    }
  }

  pressKey(key) {
    return this.page.keyboard.press(key);
  }

  close() {
    return this.page.close();
  }
}

module.exports = { StropheTab, sleep, canvasPoints };
