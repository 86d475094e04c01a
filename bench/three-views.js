'use strict';
// The page's view for bench/three-views.sh, in Debian's Chromium (headless, SwiftShader): the page
// plays a recording that pauses itself, and its canvas is saved once the three chase views have
// stood still for two seconds with the overlay's third line (the pause's) come up.
//   node three-views.js PAGE-URL OUT.png
const fs = require('fs');
const lib = require('../tests/web/lib');

(async () => {
  const [url, out] = process.argv.slice(2);
  const browser = await lib.launch(false);
  const context = await browser.newContext({viewport: {width: 1000, height: 800}, serviceWorkers: 'block'});
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'),
                             null, {timeout: 120000});
  const canvas = page.locator('#canvas');
  const running = lib.countTextPixels((await lib.quadrants(page))[3]);
  let before = null, stillFor = 0, shot = null;
  for (let i = 0; i < 600 && stillFor < 4; i++) {
    await page.waitForTimeout(500);
    shot = await canvas.screenshot();
    const views = await lib.quadrants(page);
    const still = before && [0, 1, 2].every((v) => lib.changedShare(before[v], views[v]) == 0);
    stillFor = still && lib.countTextPixels(views[3]) > running * 1.2 ? stillFor + 1 : 0;
    before = views;
  }
  await browser.close();
  if (stillFor < 4) throw new Error('the page never stood paused');
  fs.writeFileSync(out, shot);
})().catch((e) => {
  console.error('three-views.js: ' + e.message);
  process.exit(1);
});
