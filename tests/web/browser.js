// SPDX-License-Identifier: MIT
// What the browser tests share: the site served on 127.0.0.1, Debian's
// Chromium driven by playwright-core (no browser is downloaded), a user who
// acts on the page with real keys and clicks and reads what it shows, and a
// small runner that names each failing case in words.

'use strict';

const {chromium} = require('playwright-core');
const {spawn} = require('child_process');
const path = require('path');
const readline = require('readline');

const SETTINGS_KEY = 'kolvane/NV-Data.kqn';

// Options of the test programs: --site FOLDER and whatever a program adds.
function options() {
  const found = {};
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i += 2) {
    found[args[i].replace(/^--/, '')] = args[i + 1];
  }
  if (!found.site) {
    throw new Error('usage: node ' + path.basename(process.argv[1]) + ' --site FOLDER ...');
  }
  return found;
}

// The site on a free port of 127.0.0.1, served as scripts/serve-web.sh
// serves it; resolves to {url, stop}.
function serve(site) {
  const script = path.join(__dirname, '..', '..', 'scripts', 'serve_web.py');
  const server = spawn('python3', [script, site, '0'], {stdio: ['ignore', 'pipe', 'inherit']});
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error('the server ended with ' + code)));
    readline.createInterface({input: server.stdout}).once('line', (url) => {
      server.removeAllListeners('exit');
      const ended = new Promise((done) => server.once('exit', done));
      resolve({
        url: url.trim(),
        stop: () => {
          server.kill();
          return ended;
        },
      });
    });
  });
}

// Headless Chromium as the notes on this machine have it; playwright-core
// gives every launch a fresh profile folder of its own.
function launch() {
  return chromium.launch({
    executablePath: process.env.KOLVANE_CHROMIUM || '/usr/bin/chromium',
    args: [
      '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--no-first-run'
    ],
  });
}

// Every console error or warning and every uncaught exception of the pages
// watched; a test fails on any.
class TConsoleWatch {
  constructor() {
    this.problems = [];
  }
  watch(page) {
    page.on('console', (message) => {
      if (message.type() === 'error' || message.type() === 'warning') {
        this.problems.push(`console ${message.type()}: ${message.text()}`);
      }
    });
    page.on('pageerror', (error) => this.problems.push('uncaught: ' + error.message));
    return page;
  }
  check() {
    if (this.problems.length) {
      throw new Error('the page reported: ' + this.problems.join('; '));
    }
  }
}

// Distance of two doubles in units in the last place, as GoogleTest's
// EXPECT_DOUBLE_EQ counts it (equal within 4).
function ulps(a, b) {
  const bits = new BigInt64Array(new Float64Array([a, b]).buffer);
  const biased = (v) => (v < 0n ? -(v & 0x7fffffffffffffffn) : v);
  const d = biased(bits[0]) - biased(bits[1]);
  return d < 0n ? -d : d;
}

// A user of the page in one browser context (its own storage and service
// worker): acts with the mouse and the keyboard, sees what the page shows,
// and answers each message box as it comes, recording what it showed.
class TWebUser {
  constructor(context, base, watch) {
    this.context = context;
    this.base = base;
    this.watch = watch;
    this.page = null;
    this.helperPage = null;
    this.messages = [];
  }

  // A document of the site that is not the page, to reach the origin's
  // storage from when the page is closed; its console is not the page's.
  async helper() {
    if (!this.helperPage || this.helperPage.isClosed()) {
      this.helperPage = await this.context.newPage();
      await this.helperPage.goto(this.base + 'manifest.webmanifest');
    }
    return this.helperPage;
  }

  // Puts the bytes as the stored settings file (none when null) before the
  // page opens, as a file left by an earlier visit.
  async store(bytes) {
    await (await this.helper()).evaluate(([key, text]) => {
      if (text === null) {
        localStorage.removeItem(key);
      } else {
        localStorage.setItem(key, text);
      }
    }, [SETTINGS_KEY, bytes]);
  }

  // The stored settings file's bytes, one character per byte; null for none.
  // A document of another process hears of a change to the storage a little
  // later; after a close, the helper waits for that news (or a second).
  async stored() {
    const reader = this.page && !this.page.isClosed() ? this.page : await this.helper();
    return reader.evaluate(async (key) => {
      if (window.kvStorageNews) {
        await Promise.race([window.kvStorageNews, new Promise((r) => setTimeout(r, 1000))]);
        window.kvStorageNews = null;
      }
      return localStorage.getItem(key);
    }, SETTINGS_KEY);
  }

  async open(query = '') {
    this.page = this.watch.watch(await this.context.newPage());
    await this.page.goto(this.base + query);
    await this.filled();
  }

  async filled() {
    await this.page.waitForFunction(
        () => performance.getEntriesByName('kolvane-filled').length > 0);
    await this.settle();
  }

  // Waits until the page has done with the last action, answering every
  // message box on the way with Enter, as a user at the keyboard would.
  async settle() {
    for (;;) {
      await this.page.waitForFunction(
          () => document.getElementById('kv-box').open || !window.kolvaneProbe.busy());
      const box = await this.page.evaluate(() => {
        const dialog = document.getElementById('kv-box');
        if (!dialog.open) {
          return null;
        }
        const page = document.querySelector('[role="tabpanel"]:not([hidden])');
        return {
          caption: document.getElementById('kv-box-caption').textContent,
          text: document.getElementById('kv-box-text').textContent,
          focus: window.kolvaneProbe.focus(),
          page: page ? page.id : '',
          keyboard: document.activeElement.id,
          role: dialog.getAttribute('role'),
        };
      });
      if (!box) {
        return;
      }
      this.messages.push(box);
      await this.page.keyboard.press('Enter');
      await this.page.waitForFunction(() => !document.getElementById('kv-box').open ||
                                           window.kolvaneProbe.busy());
    }
  }

  element(control) {
    return this.page.locator(`[data-control="${control}"]`);
  }

  async clickAt(locator) {
    const box = await locator.boundingBox();
    if (!box) {
      throw new Error('nothing to click: it is not on the screen');
    }
    await this.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    await this.settle();
  }

  async click(control) {
    await this.clickAt(this.element(control));
  }
  // Two quick clicks: the browser reports each, then the double click.
  async doubleClick(control) {
    const box = await this.element(control).boundingBox();
    if (!box) {
      throw new Error('nothing to click: it is not on the screen');
    }
    await this.page.mouse.dblclick(box.x + box.width / 2, box.y + box.height / 2);
    await this.settle();
  }
  async clickTab(page) {
    await this.clickAt(this.page.locator('#' + page + '-tab'));
  }
  async key(key) {
    await this.page.keyboard.press(key);
    await this.settle();
  }
  // Over the whole text of the focused box: select it all, then type.
  async type(text) {
    await this.page.keyboard.press('Control+A');
    await this.settle();
    for (const character of text) {
      await this.page.keyboard.type(character);
      await this.settle();
    }
  }
  // The text reaches the box behind the window's back: no key, no event.
  async putText(control, text) {
    await this.page.evaluate(([name, value]) => {
      document.querySelector(`[data-control="${name}"]`).value = value;
    }, [control, text]);
  }
  // The language box's list, opened with its button, and the item clicked.
  async pickLanguage(item) {
    await this.clickAt(this.page.locator('.kv-combo .kv-drop'));
    await this.clickAt(this.page.locator(`[role="option"]`).nth(item));
  }
  // The browser's "window closes": the page goes.
  async close() {
    if (this.helperPage && !this.helperPage.isClosed()) {
      await this.helperPage.evaluate(() => {
        window.kvStorageNews = new Promise((r) => addEventListener('storage', r, {once: true}));
      });
    }
    await this.page.close();
    return this.page.isClosed();
  }

  // A box's text, or the caption of a label, check box, group box or tab.
  async text(control) {
    return this.page.evaluate((name) => {
      const element = document.querySelector(`[data-control="${name}"]`);
      if (!element) {
        return null;
      }
      const role = element.getAttribute('role');
      if (role === 'tabpanel' || role === 'group') {
        return document.getElementById(element.getAttribute('aria-labelledby')).textContent;
      }
      if (role === 'checkbox') {
        return element.querySelector('.kv-caption').textContent;
      }
      return element.tagName === 'INPUT' ? element.value : element.textContent;
    }, control);
  }
  async wholeTextSelected(control) {
    return this.page.evaluate((name) => {
      const box = document.querySelector(`[data-control="${name}"]`);
      return box.value.length > 0 && box.selectionStart === 0 &&
          box.selectionEnd === box.value.length;
    }, control);
  }
  async colour(control) {
    return this.page.evaluate((name) => {
      const shown = getComputedStyle(document.querySelector(`[data-control="${name}"]`));
      return shown.backgroundColor.match(/\d+/g).slice(0, 3).map(Number);
    }, control);
  }
  async checked(control) {
    return (await this.element(control).getAttribute('aria-checked')) === 'true';
  }
  // The control holding the keyboard focus (the tab row for the page
  // control); empty when none of the window's has it.
  async keyboardFocus() {
    return this.page.evaluate(() => {
      const holder = document.activeElement && document.activeElement.closest('[data-control]');
      return holder ? holder.getAttribute('data-control') : '';
    });
  }
  async logicalFocus() {
    return this.page.evaluate(() => window.kolvaneProbe.focus());
  }
  async shownPage() {
    return this.page.evaluate(
        () => document.querySelector('[role="tabpanel"]:not([hidden])').id);
  }
  async field(name) {
    return this.page.evaluate((field) => window.kolvaneProbe.field(field), name);
  }
  async sinSqRamps() {
    return this.page.evaluate(() => window.kolvaneProbe.sinSqRamps());
  }
}

// The test program's cases, run in order; each failure is named and the
// program ends with 1 when any case failed.
class TRunner {
  constructor() {
    this.cases = [];
  }
  add(name, run) {
    this.cases.push({name, run});
  }
  async run() {
    let failed = 0;
    for (const c of this.cases) {
      const start = Date.now();
      try {
        await c.run();
        console.log(`ok      ${c.name} (${Date.now() - start} ms)`);
      } catch (error) {
        failed++;
        console.log(`FAILED  ${c.name}\n        ${error.message.split('\n').join('\n        ')}`);
      }
    }
    console.log(`${this.cases.length - failed} of ${this.cases.length} cases passed`);
    return failed === 0;
  }
}

function expectEqual(actual, expected, what) {
  if (JSON.stringify(actual) !== JSON.stringify(expected)) {
    throw new Error(`${what}: expected ${JSON.stringify(expected)}, the page shows ${
        JSON.stringify(actual)}`);
  }
}

// Runs the test program's main: serves the site, launches Chromium, adds
// the cases and runs them.
function main(addCases) {
  const opts = options();
  (async () => {
    const server = await serve(opts.site);
    const browser = await launch();
    const runner = new TRunner();
    let passed = false;
    try {
      await addCases(runner, {browser, server, opts});
      passed = await runner.run();
    } finally {
      await browser.close();
      await server.stop();
    }
    process.exit(passed ? 0 : 1);
  })().catch((error) => {
    console.error(error);
    process.exit(1);
  });
}

module.exports = {
  SETTINGS_KEY,
  TConsoleWatch,
  TWebUser,
  expectEqual,
  launch,
  main,
  serve,
  ulps,
};
