'use strict';
// scripts/run.sh --web with no display: the page in headless Chromium, the three cars driven and the
// cameras cycled for a few seconds, a screenshot of each stage saved as web-*.png.
//   node drive.js URL SHOT-DIR
const path = require('path');
const lib = require('./lib');

(async () => {
  const [url, shots] = process.argv.slice(2);
  if (!url || !shots) {
    console.error('usage: drive.js URL SHOT-DIR');
    process.exit(2);
  }
  const browser = await lib.launch();
  try {
    const page = await lib.openPage(browser, url);
    const canvas = page.locator('#canvas');
    await canvas.focus();
    const shot = (name) => canvas.screenshot({path: path.join(shots, 'web-' + name + '.png')});
    const hold = async (seconds, keys) => {
      for (const key of keys) await page.keyboard.down(key);
      await page.waitForTimeout(seconds * 1000);
      for (const key of keys) await page.keyboard.up(key);
    };
    await shot('1-start');
    await hold(3, ['ArrowUp', 'w', 'i']);
    await shot('2-driving');
    await hold(3, ['ArrowUp', 'ArrowLeft', 'w', 'd', 'i']);
    await shot('3-turning');
    for (let mode = 2; mode <= 5; mode++) {
      await page.keyboard.press('c');
      await page.waitForTimeout(700);
      await shot((mode + 2) + '-camera-' + mode);
    }
    if (page.problems.length) console.error('the page reported: ' + page.problems.join('; '));
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error('drive.js: ' + e.message);
  process.exit(1);
});
