// Starts the system's Chromium headless with a profile of its own in a
// temporary folder, removed when it closes. The background services stay off:
// this machine's network is closed, and their refused connections would only
// slow the browser down.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const devtools = require('./devtools');

const executablePath = process.env.STROPHE_CHROMIUM || '/usr/bin/chromium';

const baseFlags = [
  '--headless=new',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  // WebGL on the software renderer, as there is no GPU.
  '--enable-unsafe-swiftshader',
];

// Resolves to the driven browser (devtools.js); its close() also removes the profile.
async function launchChromium({ extraFlags = [] } = {}) {
  if (!fs.existsSync(executablePath)) throw new Error(`no browser at ${executablePath} (Debian's chromium package)`);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'strophe-chromium-'));
  let browser;
  try {
    browser = await devtools.launch({
      executablePath,
      args: [...baseFlags, `--user-data-dir=${profile}`, ...extraFlags],
      viewport: { width: 800, height: 700, deviceScaleFactor: 1 },
    });
  } catch (error) {
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  const close = browser.close.bind(browser);
  browser.close = async () => {
    try {
      await close();
    } finally {
      fs.rmSync(profile, { recursive: true, force: true });
    }
  };
  return browser;
}

module.exports = { launchChromium };
