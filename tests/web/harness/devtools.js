// A small driver for Chromium over its DevTools protocol, on the pipe the
// browser opens with --remote-debugging-pipe (descriptors 3 and 4, one JSON
// message per NUL-terminated line): tabs, script evaluation, screenshots,
// mouse and keys, and the page's errors. It needs nothing beyond Node, so the
// browser tests fetch nothing to run.
'use strict';

const { spawn } = require('node:child_process');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

class Connection {
  constructor(toBrowser, fromBrowser, timeoutMs) {
    this.toBrowser = toBrowser;
    this.timeoutMs = timeoutMs;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = new Map();  // session id ('' for the browser) → handler
    this.closed = null;
    let buffered = '';
    fromBrowser.setEncoding('utf8');
    fromBrowser.on('data', (chunk) => {
      buffered += chunk;
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const message = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        this.receive(message);
      }
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const call = this.pending.get(message.id);
      if (!call) return;
      this.pending.delete(message.id);
      clearTimeout(call.timer);
      if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
      return;
    }
    const listener = this.listeners.get(message.sessionId || '');
    if (listener) listener(message.method, message.params);
  }

  send(method, params = {}, sessionId = undefined) {
    if (this.closed) return Promise.reject(new Error(`${method}: ${this.closed}`));
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.pending.delete(id);
        reject(new Error(`${method}: no answer in ${this.timeoutMs} ms`));
      }, this.timeoutMs);
      this.pending.set(id, { method, resolve, reject, timer });
      this.toBrowser.write(JSON.stringify(message) + '\0');
    });
  }

  close(why) {
    this.closed = why;
    for (const call of this.pending.values()) {
      clearTimeout(call.timer);
      call.reject(new Error(`${call.method}: ${why}`));
    }
    this.pending.clear();
  }
}

// An expression that calls `fn` (a function or its source) with `args`.
function callExpression(fn, args) {
  return `(${fn.toString()})(...${JSON.stringify(args)})`;
}

class Page {
  constructor(connection, targetId, sessionId) {
    this.connection = connection;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.handlers = { pageerror: [], response: [], requestfailed: [] };
    this.requests = new Map();  // request id → url
    this.loaded = null;
    this.buttons = 0;
    this.position = { x: 0, y: 0 };
    connection.listeners.set(sessionId, (method, params) => this.event(method, params));
    this.mouse = {
      move: (x, y) => {
        this.position = { x, y };
        return this.mouseEvent('mouseMoved', this.buttons ? 'left' : 'none');
      },
      down: () => {
        this.buttons = 1;
        return this.mouseEvent('mousePressed', 'left');
      },
      up: () => {
        this.buttons = 0;
        return this.mouseEvent('mouseReleased', 'left');
      },
    };
    this.keyboard = { press: (key) => this.pressKey(key) };
    // One finger, as a touch screen sends it.
    this.touchscreen = {
      start: (x, y) => this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] }),
      move: (x, y) => this.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x, y }] }),
      end: () => this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] }),
    };
  }

  // The screen the page believes it is on: its viewport in CSS pixels, the
  // device pixels per CSS pixel, a phone's layout (`mobile`), a touch screen.
  async emulate({ width, height, deviceScaleFactor = 1, mobile = false, touch = false }) {
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor, mobile });
    if (touch) await this.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  }

  send(method, params) {
    return this.connection.send(method, params, this.sessionId);
  }

  event(method, params) {
    const emit = (name, value) => this.handlers[name].forEach((handler) => handler(value));
    if (method === 'Page.loadEventFired' && this.loaded) this.loaded();
    else if (method === 'Runtime.exceptionThrown') {
      const details = params.exceptionDetails;
      emit('pageerror', { message: (details.exception && details.exception.description) || details.text });
    } else if (method === 'Network.requestWillBeSent') {
      this.requests.set(params.requestId, params.request.url);
    } else if (method === 'Network.responseReceived') {
      const { status, url } = params.response;
      emit('response', { status: () => status, url: () => url });
    } else if (method === 'Network.loadingFailed') {
      const url = this.requests.get(params.requestId) || '?';
      emit('requestfailed', { url: () => url, failure: () => ({ errorText: params.errorText }) });
    }
  }

  on(name, handler) {
    this.handlers[name].push(handler);
  }

  // Resolves when the page's next document has loaded (a navigation or a reload).
  nextLoad() {
    return new Promise((resolve) => { this.loaded = resolve; });
  }

  async goto(url) {
    const loaded = this.nextLoad();
    const result = await this.send('Page.navigate', { url });
    if (result.errorText) throw new Error(`${url}: ${result.errorText}`);
    await loaded;
  }

  async evaluate(fn, ...args) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
      expression: callExpression(fn, args),
      awaitPromise: true,
      returnByValue: true,
    });
    if (exceptionDetails) {
      throw new Error((exceptionDetails.exception && exceptionDetails.exception.description) || exceptionDetails.text);
    }
    return result.value;
  }

  // Polls `fn` (every `polling` ms, or every animation frame for 'raf') until
  // it answers something truthy.
  async waitForFunction(fn, { timeout = 30000, polling = 50 } = {}, ...args) {
    const every = polling === 'raf' ? 16 : polling;
    const end = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, ...args);
      if (value) return value;
      if (Date.now() >= end) throw new Error(`waiting for ${fn.toString().slice(0, 80)}: ${timeout} ms passed`);
      await sleep(every);
    }
  }

  $eval(selector, fn) {
    return this.evaluate(`(selector) => (${fn.toString()})(document.querySelector(selector))`, selector);
  }

  async screenshot({ clip }) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png', clip: { ...clip, scale: 1 } });
    return Buffer.from(data, 'base64');
  }

  evaluateOnNewDocument(fn) {
    return this.send('Page.addScriptToEvaluateOnNewDocument', { source: callExpression(fn, []) });
  }

  bringToFront() {
    return this.send('Page.bringToFront');
  }

  mouseEvent(type, button) {
    return this.send('Input.dispatchMouseEvent', {
      type, button, buttons: this.buttons, x: this.position.x, y: this.position.y, clickCount: button === 'none' ? 0 : 1,
    });
  }

  // Keys the tests press, as a keyboard sends them.
  async pressKey(key) {
    const keys = { Enter: { code: 'Enter', windowsVirtualKeyCode: 13, text: '\r' } };
    const known = keys[key];
    if (!known) throw new Error(`pressKey: ${key} is not one the driver knows`);
    await this.send('Input.dispatchKeyEvent', { type: 'keyDown', key, ...known });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', key, code: known.code, windowsVirtualKeyCode: known.windowsVirtualKeyCode });
  }

  async close() {
    this.connection.listeners.delete(this.sessionId);
    await this.connection.send('Target.closeTarget', { targetId: this.targetId });
  }
}

// Tabs of one browser context: the default one, or a fresh one with nothing
// cached.
class Context {
  constructor(connection, browserContextId, viewport) {
    this.connection = connection;
    this.browserContextId = browserContextId;
    this.viewport = viewport;
  }

  async newPage() {
    const params = { url: 'about:blank' };
    if (this.browserContextId) params.browserContextId = this.browserContextId;
    const { targetId } = await this.connection.send('Target.createTarget', params);
    const { sessionId } = await this.connection.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this.connection, targetId, sessionId);
    await Promise.all([page.send('Page.enable'), page.send('Runtime.enable'), page.send('Network.enable')]);
    await page.emulate(this.viewport);
    return page;
  }

  close() {
    return this.connection.send('Target.disposeBrowserContext', { browserContextId: this.browserContextId });
  }
}

class Browser extends Context {
  constructor(process, connection, viewport) {
    super(connection, null, viewport);
    this.process = process;
  }

  async createBrowserContext() {
    const { browserContextId } = await this.connection.send('Target.createBrowserContext');
    return new Context(this.connection, browserContextId, this.viewport);
  }

  // Asks the browser to close, and ends it if it does not within a few seconds.
  async close() {
    const exited = new Promise((resolve) => {
      if (this.process.exitCode !== null || this.process.signalCode !== null) resolve();
      else this.process.once('exit', resolve);
    });
    this.connection.send('Browser.close').catch(() => {});
    const timer = setTimeout(() => this.process.kill('SIGKILL'), 5000);
    await exited;
    clearTimeout(timer);
    this.connection.close('the browser has closed');
  }
}

// Starts the browser at `executablePath` with `args` and answers once its
// protocol does.
async function launch({ executablePath, args, viewport, timeoutMs = 120000 }) {
  const child = spawn(executablePath, [...args, '--remote-debugging-pipe', 'about:blank'], {
    stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'],
  });
  let stderr = '';
  child.stderr.on('data', (chunk) => { stderr = (stderr + chunk).slice(-4000); });
  const connection = new Connection(child.stdio[3], child.stdio[4], timeoutMs);
  child.on('exit', (code, signal) => connection.close(`the browser ended (${signal || code})`));
  child.stdio[3].on('error', () => {});
  try {
    await connection.send('Browser.getVersion');
  } catch (error) {
    child.kill('SIGKILL');
    throw new Error(`${executablePath} did not start: ${error.message}\n${stderr}`);
  }
  return new Browser(child, connection, viewport);
}

module.exports = { launch };
