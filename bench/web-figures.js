'use strict';
// The browser's figures for bench/web-figures.sh, in Debian's Chromium (headless, SwiftShader):
// the simulation frame of the replay built for a page, the time from navigation to the page's
// first frame (median of three loads), and the page's frames per second.
//   node web-figures.js WEB-BUILD
const path = require('path');
const lib = require('../tests/web/lib');

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function physics(browser, url) {
  const page = await browser.newPage();
  const lines = [];
  // Isolated, so that the page's clock has microseconds rather than a tenth of a millisecond.
  await page.route(url + 'replay.html', (route) => route.fulfill({contentType: 'text/html',
    headers: {'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp'}, body:
    '<script>var Module = {arguments: ["--bench", "--frames", "3000"], print: (t) => window.lines.push(t)};' +
    'window.lines = [];</script><script src="kelvaron-bench-page.js"></script>'}));
  await page.goto(url + 'replay.html');
  await page.waitForFunction(() => window.lines.some((l) => l.startsWith('driving')), null, {timeout: 120000});
  lines.push(...await page.evaluate(() => window.lines));
  await page.close();
  return lines.filter((l) => /^(idle|driving)/.test(l));
}

// The steps of the start as the page notes them (KELVARON_STARTUP_TIMES in its environment).
async function firstFrame(browser, url) {
  const context = await browser.newContext();
  await context.addInitScript(() => {
    let module;
    Object.defineProperty(window, 'Module', {configurable: true, get: () => module, set: (m) => {
      m.preRun = [() => { ENV.KELVARON_STARTUP_TIMES = '1'; }];
      module = m;
    }});
  });
  const page = await context.newPage();
  let frame = null;
  page.on('console', (m) => {
    const found = /start-up frame ([0-9.]+)/.exec(m.text());
    if (found) frame = Number(found[1]);
  });
  await page.goto(url);
  await page.waitForFunction(() => document.title != 'Kelvaron');
  for (let i = 0; i < 50 && frame === null; i++) await page.waitForTimeout(100);
  await context.close();
  return frame;
}

async function framesPerSecond(browser, url) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.title.startsWith('FPS:'), null, {timeout: 60000});
  const fps = Number((await page.title()).slice(4));
  await page.close();
  return fps;
}

(async () => {
  const server = await lib.serve(path.resolve(process.argv[2]));
  const browser = await lib.launch();
  try {
    for (const line of await physics(browser, server.url)) console.log('Chromium simulation frame, ' + line);
    const starts = [];
    for (let i = 0; i < 3; i++) starts.push(await firstFrame(browser, server.url));
    console.log('Chromium navigation to first frame: median ' + median(starts).toFixed(0) + ' ms of ' +
                starts.map((s) => s.toFixed(0)).join(', '));
    console.log('Chromium page at 640 x 480, SwiftShader: ' + (await framesPerSecond(browser, server.url)).toFixed(1) +
                ' frames per second (paced by requestAnimationFrame)');
  } finally {
    await browser.close();
    server.close();
  }
})().catch((e) => {
  console.error('web-figures.js: ' + e.message);
  process.exit(1);
});
