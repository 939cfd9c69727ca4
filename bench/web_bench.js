// SPDX-License-Identifier: MIT
// The web page's size and start against its goals. Size: the site's script
// and .wasm together, as served and gzip-compressed. Start: the time from
// navigation to the filled window (the default results in their boxes), in
// headless Chromium, against a static HTML page with the same window and no
// script, served alike. The static page is the web page's own filled DOM,
// saved without its scripts, beside the same style sheet and pictures. Both
// are loaded the same number of times, alternating, each in a fresh browser
// context (nothing cached: the first visit), and the medians are compared.
//
// The time taken is that of each page's first contentful paint: the web page
// shows nothing until its start has filled the window (the results in their
// boxes), so its first paint is the filled window, as the static page's is.
//
//   node bench/web_bench.js --site build/web/site [--runs 21]
//   (NODE_PATH must reach playwright-core: bench/web.sh sets it)

'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const {launch, serve} = require('../tests/web/browser.js');

const SIZE_GOAL = 600 * 1000;
const GZIP_GOAL = 250 * 1000;
const TIME_GOAL = 1.5;

function options() {
  const found = {runs: '21'};
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i += 2) {
    found[args[i].replace(/^--/, '')] = args[i + 1];
  }
  return found;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

function kB(bytes) {
  return (bytes / 1000).toFixed(1) + ' kB';
}

function sizes(site) {
  let raw = 0;
  let gzip = 0;
  for (const name of ['kolvane.js', 'kolvane.wasm']) {
    const bytes = fs.readFileSync(path.join(site, name));
    raw += bytes.length;
    gzip += zlib.gzipSync(bytes, {level: 9}).length;
    console.log(`  ${name.padEnd(14)} ${kB(bytes.length).padStart(10)}`);
  }
  console.log(`size: script and .wasm ${kB(raw)} (goal at most ${kB(SIZE_GOAL)}), ` +
              `gzip ${kB(gzip)} (goal at most ${kB(GZIP_GOAL)})`);
  return raw <= SIZE_GOAL && gzip <= GZIP_GOAL;
}

// The web page's filled DOM without its scripts: the boxes' texts put into
// their value attributes, the preload of the module dropped.
async function staticCopy(browser, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('kolvane-filled').length > 0);
  const html = await page.evaluate(() => {
    for (const box of document.querySelectorAll('input')) {
      box.setAttribute('value', box.value);
    }
    const copy = document.documentElement.cloneNode(true);
    copy.classList.remove('kv-starting');
    for (const gone of copy.querySelectorAll('script, link[rel="preload"], link[rel="manifest"]')) {
      gone.remove();
    }
    return '<!DOCTYPE html>\n' + copy.outerHTML;
  });
  await page.close();
  return html;
}

async function timeOnce(browser, url) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(url);
  const ms = await page.evaluate(() => new Promise((resolve) => {
    new PerformanceObserver((list) => {
      const paint = list.getEntriesByName('first-contentful-paint')[0];
      if (paint) {
        resolve(paint.startTime);
      }
    }).observe({type: 'paint', buffered: true});
  }));
  await context.close();
  return ms;
}

(async () => {
  const opts = options();
  const runs = Number(opts.runs);
  const sizeMet = sizes(opts.site);

  // The site and the static copy side by side in one folder, one server.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kolvane-bench-'));
  for (const name of fs.readdirSync(opts.site)) {
    fs.copyFileSync(path.join(opts.site, name), path.join(folder, name));
  }
  const server = await serve(folder);
  const browser = await launch();
  try {
    fs.writeFileSync(path.join(folder, 'static.html'), await staticCopy(browser, server.url));
    const urls = {page: server.url, static: server.url + 'static.html'};
    const times = {page: [], static: []};
    // One of each first, unmeasured: the server's and the browser's own
    // first-time work.
    await timeOnce(browser, urls.page);
    await timeOnce(browser, urls.static);
    for (let i = 0; i < runs; i++) {
      const order = i % 2 ? ['static', 'page'] : ['page', 'static'];
      for (const kind of order) {
        times[kind].push(await timeOnce(browser, urls[kind]));
      }
    }
    const page = median(times.page);
    const still = median(times.static);
    const ratio = page / still;
    console.log(`start: navigation to the filled window, median of ${runs}: web page ${
        page.toFixed(1)} ms, static page ${still.toFixed(1)} ms, ratio ${ratio.toFixed(2)} (goal at most ${
        TIME_GOAL})`);
    process.exitCode = sizeMet && ratio <= TIME_GOAL ? 0 : 1;
  } finally {
    await browser.close();
    await server.stop();
    fs.rmSync(folder, {recursive: true, force: true});
  }
})().catch((error) => {
  console.error(error);
  process.exit(2);
});
