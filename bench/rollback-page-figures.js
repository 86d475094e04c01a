'use strict';
// The page's side of bench/rollback-page-figures.sh: the page opened at a room's LINK in Chromium,
// driving the seat it is given with the arrows (a turn held, then let go, every two seconds) until it
// has reported its state hash for the last tick of TICKS it says one for. Prints its hash lines, the
// gaps between its frames once it drives (median, 99th percentile, longest), then "page: done"; then,
// once the room ends (the script stops the relay), its rollbacks as it says them.
//   node rollback-page-figures.js LINK TICKS
const lib = require('../tests/web/lib');

const percentile = (sorted, p) => sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * p))];

(async () => {
  const [link, ticks] = process.argv.slice(2);
  const browser = await lib.launch(false);
  const context = await browser.newContext({serviceWorkers: 'block'});
  // Every frame the browser shows, as the page's own frames are drawn in animation frames.
  await context.addInitScript(() => {
    window.frameGaps = [];
    let last = 0;
    const note = (now) => {
      if (last) window.frameGaps.push(now - last);
      last = now;
      requestAnimationFrame(note);
    };
    requestAnimationFrame(note);
  });
  const page = await context.newPage();
  const said = [];
  page.on('console', (m) => said.push(m.text()));
  await page.goto(link);
  await page.waitForFunction(() => /Driving Car/.test(document.getElementById('room-status').textContent), null,
                             {timeout: 120000});
  await page.evaluate(() => { window.frameGaps = []; });
  await page.locator('#canvas').focus();
  const last = 'hash ' + (ticks - ticks % 30) + ' ';  // the page says its hash every 30 ticks
  const keys = ['ArrowUp', 'ArrowLeft', 'ArrowUp', 'ArrowRight'];
  for (let i = 0; i < 900 && !said.some((line) => line.startsWith(last)); i++) {
    if (i % 10 == 0) await page.keyboard.down(keys[(i / 10) % keys.length]);
    if (i % 10 == 5) await page.keyboard.up(keys[((i - 5) / 10) % keys.length]);
    await page.waitForTimeout(200);
  }
  const gaps = (await page.evaluate(() => window.frameGaps)).sort((a, b) => a - b);
  said.filter((line) => line.startsWith('hash ')).forEach((line) => console.log(line));
  console.log('page frames: ' + gaps.length + ', gap median ' + percentile(gaps, 0.5).toFixed(1) + ' ms, 99th percentile ' +
              percentile(gaps, 0.99).toFixed(1) + ' ms, longest ' + gaps[gaps.length - 1].toFixed(1) + ' ms');
  console.log('page: done');
  for (let i = 0; i < 150 && !said.some((line) => / rollbacks in /.test(line)); i++) await page.waitForTimeout(100);
  said.filter((line) => / rollbacks in /.test(line)).forEach((line) => console.log('page ' + line));
  await browser.close();
})();
