'use strict';
// The page's part of bench/join-figures.sh: the page in Debian's Chromium (headless, SwiftShader)
// opens a room's link and joins it from a seat's world, JOINS times, each in a context of its own as
// Car3 (the seat the last join left is free again). Each join is timed as the page has it, from its
// asking ("Joining room …", once its first frame is on screen) to its status naming its seat rather
// than the join or a catch-up; one line a join: its milliseconds.
//   node join-page.js LINK JOINS
const lib = require('../tests/web/lib');

const kLive = /: (Driving|Watching)/;

async function timeJoin(browser, link) {
  const context = await browser.newContext({serviceWorkers: 'block'});
  try {
    await lib.recordRoomStatus(context);
    const page = await context.newPage();
    await page.goto(link + '&seat=3');
    await page.waitForFunction((live) => new RegExp(live).test(document.getElementById('room-status').textContent),
                               kLive.source, {timeout: 60000});
    const times = await page.evaluate(() => window.statusTimes);
    const asked = times.find(([text]) => text.startsWith('Joining room')), live = times.find(([text]) => kLive.test(text));
    return Math.round(live[1] - asked[1]);
  } finally {
    await context.close();
  }
}

(async () => {
  const [link, joins] = process.argv.slice(2);
  const browser = await lib.launch(false);
  try {
    for (let i = 0; i < Number(joins); i++) console.log(await timeJoin(browser, link));
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error('join-page.js: ' + e.message);
  process.exit(1);
});
